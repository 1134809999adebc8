#pragma once
// What the invoice editor and its line dialog do to the in-memory invoice,
// without the windows: numbering, starting a new invoice, the customer and
// the line-item rows.
#include "data/Records.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace tlv {

// ---- Dialog results -----------------------------------------------------------------
// How an editing dialog of the invoice (line item, payment) was closed; each
// dialog sets its result to Cancel when it is shown, so closing it any other
// way counts as Cancel.
enum DialogResult { DialogSave = 1, DialogDelete = 2, DialogCancel = 3 };
int &lineItemResult();
int &paymentResult();

// ---- Numbering -------------------------------------------------------------------------
// INV6 must be open. Neither touches the INV6 buffer; both leave the table in
// invoice number order.

// The number after the last invoice in number order; 1 for an empty table.
int nextInvoiceNumber();
// The record number of the last invoice in number order; 0 for an empty table.
int lastInvoiceRecord();

// ---- The invoice -------------------------------------------------------------------------

// A new invoice in the header buffer: the next number (INV6 open), no customer,
// dated today, everything else empty or 0; no lines and no payments.
void startNewInvoice(const QDate &today);

// ---- The customer --------------------------------------------------------------------------

// Whether an address can be mailed to: an "@" after its first character.
bool hasUsableEmail(const QString &email);

// The record the customer pick list starts on: with no customer chosen yet the
// first customer by name (0 for an empty table), otherwise the selected
// customer. CUST5 must be open.
int startingCustomer();

// Makes the customer at recNo the invoice's customer: reads it into the
// customer buffer, takes its number and builds the address block. False, with
// nothing changed, when there is no such record.
bool takeCustomer(int recNo);

// Finds the invoice's customer by number (CCNO order) without reading it;
// returns its record number, or 0 when there is none.
int invoiceCustomerRecord();

// ---- Line items ------------------------------------------------------------------------------

// The fields of the line dialog, as text where the dialog holds text.
struct LineFields
{
    QString prId;
    QString description; // PDesc
    QString comment;     // IComm, the second description line
    QString price;       // "%8.2f"
    QString quantity;    // "%9.2f"
    bool tax1 = false;
    bool tax2 = false;
};

// A product as the dialog of "Add Item" first shows it: one of it at its
// price. Texts are trimmed here and in the next.
LineFields lineFieldsOf(const ProductRecord &p, const QLocale &locale = QLocale());
// The dialog's fields for a line of the line-item table.
LineFields lineFieldsOf(const QStringList &row);

// The new line-item row of a dialog closed with Save; the licence code and the
// invoice text come from the product, trimmed.
QStringList newLineRow(const LineFields &f, const ProductRecord &product);
// Writes the dialog's fields back into an existing row; the product's licence
// code and invoice text stay as they were.
void updateLineRow(QStringList &row, const LineFields &f);

// The grid's total column of a line: the line amount as "%10.2f", a blank,
// then the two tax flags side by side ("     12.50 tf").
QString gridTotalText(const QStringList &row, const QLocale &locale = QLocale());

} // namespace tlv
