#pragma once
// The invoice pick list (caption "Select Invoice"): the invoices in number
// order with their date and "Credit Card / Note" line; the selected
// invoice's customer is shown beside the list. The seek field takes an
// invoice number of up to six digits.
//
// Usage (INV6 open; CUST5 open for the customer display):
//
//     db().selected.invoice = lastInvoiceRecNo;   // the list opens on it
//     bool created = false;
//     while (runPickInv(/*allowNew=*/true, &created)) {
//         if (!created)
//             editInvoice(db().selected.invoice);
//     }
//
// "New" opens the invoice editor through the hook set with
// setNewRecordEditor(PickTable::Invoice, ...) (see PickList.h).
#include "picklists/PickGridU.h"

namespace tlv {

class TPickInv : public TPickGrid
{
    Q_OBJECT
public:
    explicit TPickInv(QWidget *parent = nullptr);

protected:
    GridLayout layout() const override;
    void selectOrder() override;
    PickRow row(long recNo, bool deleted) override;
    QString seekKey(const QString &typed) const override;
    QString sideText(long recNo) override;
};

TPickInv &pickInv();

// Runs the invoice pick list; true when an invoice was chosen or created, the
// record number in db().selected.invoice. "Invoice Database is Empty"
// refuses an empty table when New is not allowed.
bool runPickInv(bool allowNew, bool *created = nullptr);

} // namespace tlv
