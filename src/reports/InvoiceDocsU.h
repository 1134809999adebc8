#pragma once
// The invoice, bill and packing-list commands as the main window, the report
// chooser and the invoice editor run them: the span or the invoices are asked
// for, the documents appended, and the viewer shown.
class QWidget;

namespace tlv {

// "Print Selected Dates" and the other "Invoices" and "Bills" rows: by dates
// (the date-span dialog) or by invoices picked one at a time from the invoice
// list until it is cancelled; invoices as invoices, or bills; shown in the
// viewer, or each one e-mailed alone to its customer.
void runInvoiceBatch(bool byDates, bool invoices, bool byEmail, QWidget *parent = nullptr);

// The main window's "Packing List": every invoice of a span.
void runPackingListBatch(QWidget *parent = nullptr);

// The "Statements" rows: by dates, every customer with an open invoice in
// the span; selected, every invoice of customers picked one at a time.
void runStatementBatch(bool byDates, bool byEmail, QWidget *parent = nullptr);

// The invoice editor's "Print" and "Packing List": the invoice loaded in the
// editor (its header buffer and the in-memory invoice), shown in the viewer.
void showLoadedInvoice(QWidget *parent = nullptr);
void showLoadedPackingList(QWidget *parent = nullptr);
// The invoice editor's "EMail": the loaded invoice sent to its customer
// (after the set-up message when mail is not set up).
void mailLoadedInvoiceNow();

} // namespace tlv
