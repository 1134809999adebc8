#pragma once
// The line dialog of the invoice editor: one product's description, unit
// price, quantity and tax flags. It closes with a result in lineItemResult()
// (Save, Delete or Cancel); the editor does the rest.
#include "invoicing/InvoiceEditor.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tlv {

class MoneyEdit;

class TItemDef : public QDialog
{
    Q_OBJECT
public:
    explicit TItemDef(QWidget *parent = nullptr);

    // Fills the dialog; the total shown is the money-rounded product.
    void setLine(const LineFields &f);
    // The dialog's fields as they stand.
    LineFields line() const;

public slots:
    void FormShow();
    void BtnSaveClick();
    void BtnDeleteClick();
    void BtnCancelClick();
    // Leaving the unit price or quantity shows the total again.
    void MaskEdit1Exit();
    void MaskEdit2Exit();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showTotal();
    void closeWith(int result);

    QLineEdit *m_product = nullptr;  // Edit1
    QLineEdit *m_desc = nullptr;     // Edit2
    QLineEdit *m_comment = nullptr;  // Edit3
    MoneyEdit *m_price = nullptr;    // MaskEdit1
    MoneyEdit *m_quantity = nullptr; // MaskEdit2
    MoneyEdit *m_total = nullptr;    // MaskEdit3
    QCheckBox *m_tax1 = nullptr;     // CheckBox1
    QCheckBox *m_tax2 = nullptr;     // CheckBox2
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace tlv
