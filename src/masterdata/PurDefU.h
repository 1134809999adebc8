#pragma once
// The purchase window: creates, edits and deletes one inventory purchase. It
// works on the selected purchase record (0: a new purchase) and leaves the
// saved purchase's record number there.
#include "data/Records.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tlv {

class DateEdit;
class MoneyEdit;

class TPurDef : public QDialog
{
    Q_OBJECT
public:
    explicit TPurDef(QWidget *parent = nullptr);

    // The product chosen with "Product" during this opening; 0 none.
    long chosenProduct() const { return m_chosenProduct; }

public slots:
    void FormShow();
    void BtnProductClick();
    void BtnSaveClick();
    void BtnDeleteClick();
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *m_product = nullptr;
    QLineEdit *m_productId = nullptr;
    DateEdit *m_date = nullptr;
    MoneyEdit *m_quantity = nullptr;
    MoneyEdit *m_cost = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_cancel = nullptr;

    PurchaseRecord m_loaded; // the purchase as opened
    long m_chosenProduct = 0;
};

// Shows the purchase window modally on the selected purchase (Pur5 and Prod5
// open); true when it was saved or deleted.
bool editPurchase(QWidget *parent = nullptr);

// Makes the purchase window the purchase pick list's "Add New Purchase".
void installPurchaseEditor();

// The main window's "Inventory Purchases" command: the purchase pick list and
// the purchase window in turn until the list is cancelled; Pur5 is packed at
// the end when a purchase was deleted.
void runPurchaseCommand(QWidget *parent);

} // namespace tlv
