#pragma once
// The payment list of the invoice editor (caption "Select Payment"): the
// in-memory invoice's payments, one row each. Choosing one opens it in the
// payment dialog; saving there changes the row, deleting removes it, and the
// list closes whatever the dialog's result.
#include <QDialog>

class QPushButton;
class QTableWidget;

namespace tlv {

class TPmtDef;

class TPickPmt : public QDialog
{
    Q_OBJECT
public:
    // The dialog is the editor's payment dialog, shared with "Add Paym't".
    explicit TPickPmt(TPmtDef *paymentDialog, QWidget *parent = nullptr);

    QTableWidget *grid() const { return m_grid; }

public slots:
    void FormShow();
    void BtnSelectClick();
    void BtnCancelClick();
    // Edits the payment of the grid row (the heading being row 0).
    void editRow(int row);

protected:
    void showEvent(QShowEvent *event) override;

private:
    TPmtDef *m_paymentDialog;
    QTableWidget *m_grid = nullptr; // StringGrid1
    QPushButton *m_select = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace tlv
