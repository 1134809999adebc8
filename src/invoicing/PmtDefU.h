#pragma once
// The payment dialog of the invoice editor (caption "Payment"): the date paid
// and the amount. It closes with a result in paymentResult() (Save, Delete or
// Cancel); the editor and the payment list do the rest.
#include <QDate>
#include <QDialog>

class QPushButton;

namespace tlv {

class DateEdit;
class MoneyEdit;

class TPmtDef : public QDialog
{
    Q_OBJECT
public:
    explicit TPmtDef(QWidget *parent = nullptr);

    // Fills the dialog; Delete is offered only for a payment already listed.
    void setPayment(const QDate &date, const QString &amount, bool canDelete);
    QDate date() const;
    // The amount as the field shows it ("%10.2f" once left or saved).
    QString amountText() const;

public slots:
    void FormShow();
    void BtnSaveClick();
    void BtnDeleteClick();
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void closeWith(int result);

    DateEdit *m_date = nullptr;    // DateTimePicker1
    MoneyEdit *m_amount = nullptr; // MaskEdit2
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace tlv
