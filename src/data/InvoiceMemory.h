#pragma once
// The invoice the editor and the printing code work on: the INV6 buffer
// (db().inv6.buf) as its header, plus the line items, the payments and the
// customer's address block held here as text.
#include "data/Records.h"

#include <QList>
#include <QStringList>

namespace tlv {

// Columns of a line-item row.
enum ItemColumn {
    ItemPrID = 0,    // product identifier as stored
    ItemQty = 1,     // quantity, "%9.2f"
    ItemPrice = 2,   // unit price, "%8.2f"
    ItemTax1 = 3,    // "t" or "f"
    ItemTax2 = 4,    // "t" or "f"
    ItemDesc = 5,    // description as stored
    ItemComment = 6, // second description line, trimmed
    ItemRCode = 7,   // the product's licence code, trimmed; "" without product
    ItemPMemo = 8,   // the product's invoice text, trimmed; "" without product
    itemColumnCount = 9
};

// Columns of a payment row.
enum PaymentColumn {
    PaymentDate = 0,   // in the user's short date format
    PaymentAmount = 1, // "%10.2f"
    paymentColumnCount = 2
};

struct InvoiceMemory
{
    QList<QStringList> items;       // rows of itemColumnCount texts
    QList<QStringList> payments;    // rows of paymentColumnCount texts
    QStringList address{QString()}; // the customer address block, up to five lines
    long customerRecNo = 0;         // record of the customer found by the last load

    // The highest row index; -1 when there are no rows.
    int highestItem() const { return int(items.size()) - 1; }
    int highestPayment() const { return int(payments.size()) - 1; }

    void reset();
};

InvoiceMemory &invoiceMemory();

// The line-item row and payment row of a buffer, as the load writes them.
QStringList itemRow(const ItemRecord &item, const QString &rcode, const QString &pmemo);
QStringList paymentRow(const PaymentRecord &payment);

// The customer address block: the name line, then addr1 to addr4, each
// trimmed, with the postal code after the last line in use (or on a line of
// its own, indented by 20 blanks, when that line is longer than 22 characters).
QStringList buildAddressBlock(const CustomerRecord &c);

// Loads the INV6 record recNo into the INV6 buffer and its line items,
// payments and customer into the in-memory invoice. INV6, ITM5, PMT, Prod5 and
// CUST5 must be open. Line and payment records marked for deletion are left
// out. False when there is no such invoice record.
bool loadInvoice(long recNo);

} // namespace tlv
