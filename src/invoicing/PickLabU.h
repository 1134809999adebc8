#pragma once
// The label stock pick list (caption "PickLab"): every label stock by name
// in a list box.
//
// Usage (LABELS open):
//
//     db().selected.labelStock = startRecNo;
//     bool created = false;
//     if (runPickLab(/*allowNew=*/true, &created))
//         use(db().selected.labelStock);
//
// "New" opens the label stock window through the hook set with
// setNewRecordEditor(PickTable::LabelStock, ...) (see PickList.h).
#include "invoicing/PickList.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace tlv {

class TPickLab : public QDialog
{
    Q_OBJECT
public:
    explicit TPickLab(QWidget *parent = nullptr);

    void setNewAllowed(bool allowed);
    // Cancel, Escape and the close box: nothing chosen (selected record -1).
    void reject() override;
    QListWidget *list() const { return m_list; }

public slots:
    void FormShow();
    void BtnSelectClick();
    void BtnNewClick();
    void BtnCancelClick();
    void ListBox1DblClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QListWidget *m_list = nullptr;
    QPushButton *m_select = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_cancel = nullptr;
};

TPickLab &pickLab();

// Runs the label stock pick list; true when a label stock was chosen or
// created, the record number in db().selected.labelStock. "Label Database
// is Empty" refuses an empty table when New is not allowed.
bool runPickLab(bool allowNew, bool *created = nullptr);

} // namespace tlv
