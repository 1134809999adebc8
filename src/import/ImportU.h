#pragma once
// The import window (caption "Import"): an import format chosen or defined,
// a file named, then "Import" reads customers or products from the file, or
// "Preview" tells line by line what an import would do without writing.
#include "import/Importer.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace tlv {

class TImport : public QDialog
{
    Q_OBJECT
public:
    explicit TImport(ImportKind kind, QWidget *parent = nullptr);

    long currentFormat() const { return m_current; }

public slots:
    void FormShow();
    void ComboBox1Change(int index);
    void BtnAddClick();
    void BtnEditClick();
    void BtnBrowseClick();
    void BtnImportClick();
    void BtnPreviewClick();
    void BtnExitClick();
    void BtnHelpClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillFormats();
    // The three checks; false (after their message) when the import cannot run.
    bool mayImport();
    ImportResult run(const ImportOptions &options);

    ImportKind m_kind;
    long m_current = 0;         // the current format's record number
    QList<long> m_formatRecNos; // of the list's entries
    bool m_noFormats = false;
    QString m_fileName;

    QComboBox *m_formats = nullptr; // ComboBox1
    QLineEdit *m_file = nullptr;    // Edit1
    QStatusBar *m_status = nullptr; // StatusBar1
};

// The preview's list of lines, with the counts at its end.
class TImportPreview : public QDialog
{
    Q_OBJECT
public:
    TImportPreview(const QString &text, QWidget *parent = nullptr);
};

// The main window's "Import Customers" and "Import Products".
void runImport(ImportKind kind, QWidget *parent);

} // namespace tlv
