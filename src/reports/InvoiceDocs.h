#pragma once
// The customer-facing documents printed on the business's stationery: the
// invoice (titled "Bill" or "Statement" when it is printed as a reminder),
// the packing list, and the letterhead they and the account statement begin
// with. Each document of a batch starts on a new page of the one report
// document, with page number 1.
#include "reports/RptUtil.h"

#include <QDate>
#include <QList>
#include <QStringList>

namespace tlv {

struct SettingsRecord;

// What the letterhead needs to know about the printer: its vertical
// resolution and the height of a line of the report font on it.
struct PrinterLines
{
    int dpiY = 96;
    int lineHeight = 0;
};
PrinterLines printerLines();

// Appends the letterhead rows (top margin, logo, name and address lines with
// the rule under them, the date row) to a document of width doc.width.
void appendLetterhead(ReportDocument &doc, const SettingsRecord &s, const PrinterLines &printer,
                      const QDate &today);

// A document of a batch begins on a new page (after an "EJECT" row when the
// document holds rows), as page 1, titled `title` on its following pages,
// with the letterhead and the bold, centred title row.
void beginLetterheadDocument(ReportDocument &doc, const QString &title);
// An empty row, then the document's column heading rows.
void appendColumnHeadings(ReportDocument &doc);

// The invoice document: W = 73, N = 12, begun, with its column codes and headings.
void setUpInvoiceDocument();
// Appends the loaded invoice (the INV6 buffer and the in-memory invoice).
// asInvoice titles it "Invoice" and adds the product and invoice memos;
// otherwise it is a "Bill" while a balance is due, else a "Statement".
// forMail leaves out the "Credit Card or Note" text.
void appendInvoice(bool asInvoice, bool forMail);

// The packing list document: W = 50, N = 8, begun, with codes and headings.
void setUpPackingList();
// Appends the packing list of the loaded invoice.
void appendPackingList();

// Word-wraps a memo to the printed width of a document of `width` columns:
// line feeds end lines, carriage returns are dropped, and a line that grows
// wider than the page is split after its last blank (a word longer than the
// line is split where it overflows). Measured with the report font as the
// printer prints it.
QStringList wrapForPrinter(const QString &text, int width);

// The e-mail hand-over of the report document: when `address` (trimmed) is
// longer than three characters, it is sent there with the title as the
// subject and its e-mail text as the body, and, when the mail settings ask
// for it, its pages attached as the PDF file `pdfName`. The progress caption
// reads "Sending EMail " and the count of documents handed over in the batch
// (`counter`, advanced here). True when the message went.
bool mailReportDocument(const QString &address, const QString &pdfName, int &counter);
// The customer's e-mail address of the loaded invoice; "" when the customer
// is not on file.
QString loadedCustomerEmail();

// The e-mail batches by dates: every invoice of the span (bills: those with
// a balance due) built alone without the card note and handed over. Returns
// the messages sent.
int mailInvoicesDated(const QDate &from, const QDate &to, bool invoices);
// The loaded invoice built alone and handed over.
bool mailLoadedInvoice(bool asInvoice, int &counter);

// The INV6 records dated within [from, to], in date order, without those
// marked deleted. INV6 open.
QList<long> invoicesDated(const QDate &from, const QDate &to);
// The INV6 record of an invoice number; 0 when there is none. INV6 open.
long invoiceRecordOf(int number);

// The batches by dates, without a window: every invoice of the span is
// loaded and appended as an invoice; for bills only those with a balance
// due are appended, not as invoices. The invoice or packing-list document
// must be set up. True when something was appended.
bool appendInvoicesDated(const QDate &from, const QDate &to, bool invoices);
bool appendPackingListsDated(const QDate &from, const QDate &to);

} // namespace tlv
