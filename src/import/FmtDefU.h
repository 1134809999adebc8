#pragma once
// The import format window (caption "Import Format Definition"): the name of
// a format, the column of each field it imports, the separator and the least
// number of columns a line must have. Customer formats show thirteen slots,
// product formats four. ImportF must be open.
#include "import/ImportFormats.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tlv {

class TFmtDef : public QDialog
{
    Q_OBJECT
public:
    // `current` is the format's record number, 0 for a new format of `kind`;
    // a saved new format leaves its record number there.
    TFmtDef(long &current, ImportKind kind, QWidget *parent = nullptr);
    ~TFmtDef() override;

public slots:
    void FormShow();
    void BtnSaveClick();
    void BtnCancelClick();
    void BtnHelpClick();
    void EditNumberExit(); // any number field left

protected:
    void showEvent(QShowEvent *event) override;

private:
    long &m_current;
    ImportKind m_kind;
    QLineEdit *m_name = nullptr; // Edit1
    QLineEdit *m_slot[13] = {};  // Edit2 .. Edit14
    QLabel *m_slotCaption[13] = {};
    QLabel *m_rightHeadings[2] = {};  // "Field" / "Number" over slots 8-13
    QLineEdit *m_delimiter = nullptr; // Edit15
    QLineEdit *m_least = nullptr;     // Edit16
};

// Shows the format window modally; true when the format was saved.
bool editFormat(long &current, ImportKind kind, QWidget *parent = nullptr);

} // namespace tlv
