#include "reports/Statements.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "reports/InvoiceDocs.h"
#include "reports/RptUtil.h"

#include <cstring>

namespace tlv {

namespace {

constexpr int statementWidth = 59;
constexpr int statementCells = 12;

void appendCells(ReportDocument &doc, std::initializer_list<std::pair<int, QString>> cells)
{
    doc.newRow();
    for (const auto &[cell, text] : cells)
        doc.putCell(doc.lastRow(), cell, text);
}

} // namespace

void setUpStatementDocument()
{
    ReportDocument &doc = report();
    doc.width = statementWidth;
    doc.cellCount = statementCells;
    doc.beginReport();
    doc.titles = QStringList{QStringLiteral("Account Statement")};
    doc.columnCodes = {QStringLiteral("V00"), QStringLiteral("R07"), QStringLiteral("V09"),
                       QStringLiteral("R18"), QStringLiteral("V20"), QStringLiteral("R31"),
                       QStringLiteral("V33"), QStringLiteral("R44"), QStringLiteral("V46"),
                       QStringLiteral("R57"), QStringLiteral("V59")};
    doc.setColumnHeadings({QString(), QStringLiteral("Invoice"), QString(), QStringLiteral("Date"), QString(),
                           QStringLiteral("Charges"), QString(), QStringLiteral("Payments"), QString(),
                           QStringLiteral("Amount Due"), QString()});
}

QList<StatementLine> statementLines(int cuno, const QDate *from, const QDate *to)
{
    QList<StatementLine> lines;
    Db &d = db();
    Table &inv = d.inv6;
    // Gathered first: loading an invoice moves the invoice table.
    QList<long> records;
    inv.useTag(tag::InvC);
    if (inv.seek(paddedNumber(cuno, 6)) != 0)
        return lines;
    FIELD4 *customer = inv.field(fld::CuNo);
    FIELD4 *due = inv.field(fld::Due);
    FIELD4 *date = inv.field(fld::IDate);
    const QByteArray first = from ? dateToText(*from).toLatin1() : QByteArray();
    const QByteArray last = to ? dateToText(*to).toLatin1() : QByteArray();
    for (; !inv.eof() && f4long(customer) == cuno; inv.skip()) {
        if (inv.isDeleted())
            continue;
        if (from && to) {
            if (f4double2(due) == 0)
                continue;
            const char *stored = f4str(date);
            if (std::memcmp(stored, first.constData(), 8) < 0 || std::memcmp(stored, last.constData(), 8) > 0)
                continue;
        }
        records << inv.recNo();
    }
    for (const long record : std::as_const(records)) {
        if (!loadInvoice(record))
            continue;
        const InvoiceRecord &h = d.inv6.buf;
        const InvoiceMemory &m = invoiceMemory();
        TenThousandths items;
        for (const QStringList &item : m.items)
            items +=
                TenThousandths::productOf(Hundredths::read(item[ItemPrice]), Hundredths::read(item[ItemQty]));
        const Hundredths percent = Hundredths::of(h.Discount);
        if (percent > Hundredths())
            items = items - TenThousandths::of(percentOf(percent, items));
        StatementLine line;
        line.invoice = h.IvNo;
        line.date = h.IDate;
        line.charges = (items + TenThousandths::of(Hundredths::of(h.Ship) + Hundredths::of(h.Tax))).rounded();
        for (const QStringList &payment : m.payments)
            line.payments += Hundredths::read(payment[PaymentAmount]);
        line.due = Hundredths::of(h.Due);
        lines << line;
    }
    return lines;
}

bool appendStatement(const QStringList &address, const QList<StatementLine> &lines)
{
    if (lines.isEmpty())
        return false;
    ReportDocument &doc = report();
    beginLetterheadDocument(doc, QStringLiteral("Account Statement"));
    doc.newRow();
    appendCells(doc, {{0, QStringLiteral("L00To:")}, {1, QStringLiteral("L10") + address.value(0)}});
    for (int i = 1; i < address.size(); ++i)
        appendCells(doc, {{1, QStringLiteral("L10") + address[i]}});
    appendColumnHeadings(doc);
    Hundredths charges, payments, due;
    for (const StatementLine &line : lines) {
        doc.pageCheck(doc.lineCount + 1, true);
        doc.newRow();
        const QStringList texts = {QString(), QStringLiteral("%1").arg(line.invoice, 6),
                                   QString(), dateToShort(line.date),
                                   QString(), line.charges.text(11),
                                   QString(), line.payments.text(11),
                                   QString(), line.due.text(11),
                                   QString()};
        for (int c = 0; c < texts.size(); ++c)
            doc.putColumn(c, texts[c]);
        // The totals add what was printed.
        charges += Hundredths::read(texts[5]);
        payments += Hundredths::read(texts[7]);
        due += Hundredths::read(texts[9]);
    }
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    doc.pageCheck(doc.lineCount + 1, true);
    appendCells(doc, {{1, QStringLiteral("R18Totals")},
                      {4, QStringLiteral("V20")},
                      {5, QStringLiteral("R31") + charges.text(11)},
                      {6, QStringLiteral("V33")},
                      {7, QStringLiteral("R44") + payments.text(11)},
                      {8, QStringLiteral("V46")},
                      {9, QStringLiteral("R57") + due.text(11)},
                      {10, QStringLiteral("V59")}});
    appendCells(doc, {{10, QStringLiteral("H2059")}});
    return true;
}

namespace {

// The live customers in postal-code order (only those numbered in `only`
// when it is not empty). Numbers first: the statements move the table.
QList<int> customersByPostalCode(const QList<int> &only)
{
    Table &cust = db().cust5;
    QList<int> customers;
    cust.useTag(tag::CZip);
    FIELD4 *number = cust.field(fld::cuno);
    for (cust.top(); !cust.eof(); cust.skip())
        if (!cust.isDeleted() && (only.isEmpty() || only.contains(int(f4long(number)))))
            customers << int(f4long(number));
    return customers;
}

// The statement alone in the document, handed over to the customer's
// address, and the document emptied for the next customer.
bool mailStatement(const QList<StatementLine> &lines, int &counter)
{
    setUpStatementDocument();
    appendStatement(invoiceMemory().address, lines);
    const bool sent =
        mailReportDocument(loadedCustomerEmail(), QStringLiteral("Account Statement.pdf"), counter);
    report().endReport();
    return sent;
}

} // namespace

int mailStatementsDated(const QDate &from, const QDate &to, const QList<int> &only)
{
    int counter = 0, sent = 0;
    for (const int cuno : customersByPostalCode(only)) {
        const QList<StatementLine> lines = statementLines(cuno, &from, &to);
        if (!lines.isEmpty() && mailStatement(lines, counter))
            ++sent;
    }
    return sent;
}

bool mailStatementOfCustomer(int cuno, int &counter)
{
    const QList<StatementLine> lines = statementLines(cuno, nullptr, nullptr);
    if (lines.isEmpty() || invoiceMemory().customerRecNo <= 0)
        return false;
    return mailStatement(lines, counter);
}

bool appendStatementsDated(const QDate &from, const QDate &to, const QList<int> &only)
{
    bool any = false;
    for (const int cuno : customersByPostalCode(only)) {
        const QList<StatementLine> lines = statementLines(cuno, &from, &to);
        if (!lines.isEmpty())
            any |= appendStatement(invoiceMemory().address, lines);
    }
    return any;
}

bool appendStatementOfCustomer(int cuno)
{
    const QList<StatementLine> lines = statementLines(cuno, nullptr, nullptr);
    // The address block of the customer, as the last load found it.
    if (lines.isEmpty() || invoiceMemory().customerRecNo <= 0)
        return false;
    return appendStatement(invoiceMemory().address, lines);
}

} // namespace tlv
