#include "reports/InvoiceDocs.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "data/Money.h"
#include "data/Settings.h"
#include "mail/EMail.h"
#include "mail/MailConn.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "platform/Progress.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QTemporaryDir>
#include <cstring>

namespace tlv {

namespace {

constexpr int invoiceWidth = 73;
constexpr int invoiceCells = 12;
constexpr int packingWidth = 50;
constexpr int packingCells = 8;

// A column number as the markup writes it: right-justified in two characters.
QString col2(int n)
{
    return QStringLiteral("%1").arg(n, 2);
}

bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

// Appends a row holding the given cells (index, text).
void appendRow(ReportDocument &doc, std::initializer_list<std::pair<int, QString>> cells)
{
    doc.newRow();
    for (const auto &[cell, text] : cells)
        doc.putCell(doc.lastRow(), cell, text);
}

} // namespace

void beginLetterheadDocument(ReportDocument &doc, const QString &title)
{
    if (!doc.rows.isEmpty()) {
        appendRow(doc, {{0, QStringLiteral("EJECT")}});
        doc.lineCount = 0;
    }
    doc.pageNumber = 1;
    doc.titles = QStringList{title}; // the heading of its following pages
    appendLetterhead(doc, settings(), printerLines(), clock().today());
    doc.newRow();
    doc.putCell(doc.lastRow(), 0, QStringLiteral("C") + col2(doc.width / 2) + title);
    doc.setFlags(doc.lastRow(), QStringLiteral("B"));
}

void appendColumnHeadings(ReportDocument &doc)
{
    doc.newRow();
    for (const QStringList &heading : std::as_const(doc.headings)) {
        doc.newRow();
        for (int i = 0; i < heading.size(); ++i)
            doc.putCell(doc.lastRow(), i, heading[i]);
    }
}

namespace {

// The address lines the document is sent to: the customer's block, or for
// an invoice whose customer is no longer on file, its customer number, so
// that the owner sees whom it was written for.
QStringList addressLines()
{
    const InvoiceMemory &m = invoiceMemory();
    if (m.customerRecNo <= 0)
        return {QStringLiteral("Customer No. ") + QString::number(db().inv6.buf.CuNo), QString()};
    QStringList lines = m.address;
    while (lines.size() < 2)
        lines << QString();
    return lines;
}

void setUp(int width, int cells, const QStringList &codes, const QStringList &headings)
{
    ReportDocument &doc = report();
    doc.width = width;
    doc.cellCount = cells;
    doc.beginReport();
    doc.columnCodes = codes;
    doc.setColumnHeadings(headings);
}

} // namespace

PrinterLines printerLines()
{
    Printer &p = printer();
    const QImage device = measuringDevice(p.dpiX(), p.dpiY());
    return {p.dpiY(), QFontMetrics(reportFont(), &device).height()};
}

void appendLetterhead(ReportDocument &doc, const SettingsRecord &s, const PrinterLines &p, const QDate &today)
{
    const int w = doc.width;
    doc.lineCount = 0;
    const QString prefix = s.LHJustify == 2   ? QStringLiteral("C") + col2(w / 2)
                           : s.LHJustify == 3 ? QStringLiteral("R") + col2(w)
                                              : QStringLiteral("L00");
    // Inches are held in hundredths, so the comparisons are exact.
    const std::int64_t lineUnits = std::int64_t(p.lineHeight) * 100;
    if (lineUnits > 0) {
        const std::int64_t margin = std::int64_t(p.dpiY) * Hundredths::of(s.TopMargin).units();
        while (margin > lineUnits * doc.lineCount)
            doc.newRow();
    }
    const QStringList lines = {s.Company, s.Addr1, s.Addr2, s.Addr3, s.Addr4};
    const bool noText = std::all_of(lines.begin(), lines.end(), blank);
    if (!blank(s.LogoFile)) {
        appendRow(doc, {{0, QStringLiteral("I") + prefix + s.LogoFile.trimmed()}});
        doc.setFlags(doc.lastRow(), pictureFlags(s.LogoHeight, s.LogoWidth));
        const std::int64_t room =
            lineUnits > 0 ? std::int64_t(p.dpiY) * Hundredths::of(s.LogoHeight).units() / lineUnits : 0;
        for (std::int64_t i = 0; i < room; ++i)
            doc.newRow();
        if (room > 1 && noText)
            doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    }
    if (!noText) {
        for (const QString &line : {s.Company, s.Addr1, s.Addr2})
            appendRow(doc, {{0, prefix + line.trimmed()}, {doc.cellCount - 1, QStringLiteral("B")}});
        if (!blank(s.Addr3) || !blank(s.Addr4))
            appendRow(doc, {{0, prefix + s.Addr3.trimmed()}, {doc.cellCount - 1, QStringLiteral("B")}});
        if (!blank(s.Addr4))
            appendRow(doc, {{0, prefix + s.Addr4.trimmed()}, {doc.cellCount - 1, QStringLiteral("B")}});
        doc.setFlags(doc.lastRow(), doc.flags(doc.lastRow()) + QStringLiteral("U"));
    }
    appendRow(doc, {{0, QStringLiteral("R") + col2(w) + dateToShort(today)}});
    doc.newRow();
}

void setUpInvoiceDocument()
{
    setUp(invoiceWidth, invoiceCells,
          {QStringLiteral("V00"), QStringLiteral("L01"), QStringLiteral("V12"), QStringLiteral("L13"),
           QStringLiteral("V41"), QStringLiteral("R49"), QStringLiteral("V50"), QStringLiteral("R59"),
           QStringLiteral("V60"), QStringLiteral("R72"), QStringLiteral("V73")},
          {QString(), QStringLiteral("Item Code"), QString(), QStringLiteral("Description"), QString(),
           QStringLiteral("Price"), QString(), QStringLiteral("Qty"), QString(), QStringLiteral("Total"),
           QString()});
}

void appendInvoice(bool asInvoice, bool forMail)
{
    ReportDocument &doc = report();
    const InvoiceRecord &h = db().inv6.buf;
    const InvoiceMemory &m = invoiceMemory();
    const SettingsRecord &s = settings();
    const Hundredths due = Hundredths::of(h.Due);
    const QString title = asInvoice            ? QStringLiteral("Invoice")
                          : due > Hundredths() ? QStringLiteral("Bill")
                                               : QStringLiteral("Statement");
    beginLetterheadDocument(doc, title);

    const QStringList address = addressLines();
    doc.newRow();
    appendRow(doc, {{0, QStringLiteral("L00To:")},
                    {1, QStringLiteral("L10") + address[0]},
                    {2, QStringLiteral("R60Invoice No:")},
                    {3, QStringLiteral("L62") + QString::number(h.IvNo)}});
    appendRow(doc, {{1, QStringLiteral("L10") + address[1]},
                    {2, QStringLiteral("R60Invoice Date:")},
                    {3, QStringLiteral("L62") + dateToShort(h.IDate)}});
    for (int i = 2; i < address.size(); ++i)
        appendRow(doc, {{1, QStringLiteral("L10") + address[i]}});
    appendColumnHeadings(doc);

    Hundredths subtotal;
    const QString number = QString::number(h.CuNo);
    for (const QStringList &item : m.items) {
        doc.pageCheck(doc.lineCount + 3, true);
        const Hundredths line =
            lineAmountOf(Hundredths::read(item[ItemPrice]), Hundredths::read(item[ItemQty]));
        doc.newRow();
        const QStringList texts = {QString(), item[ItemPrID].trimmed(),
                                   QString(), item[ItemDesc].trimmed(),
                                   QString(), item[ItemPrice],
                                   QString(), item[ItemQty],
                                   QString(), line.text(12),
                                   QString()};
        for (int c = 0; c < texts.size(); ++c)
            doc.putColumn(c, texts[c]);
        auto ruledRow = [&](const QString &text) {
            appendRow(doc, {{0, QStringLiteral("V00")},
                            {2, QStringLiteral("V12")},
                            {3, QStringLiteral("L13") + text},
                            {4, QStringLiteral("V41")},
                            {6, QStringLiteral("V50")},
                            {8, QStringLiteral("V60")},
                            {10, QStringLiteral("V73")}});
        };
        if (!blank(item[ItemComment]))
            ruledRow(item[ItemComment].trimmed());
        if (!blank(item[ItemRCode]))
            ruledRow(QStringLiteral("License No. ") + item[ItemRCode].trimmed() + number);
        subtotal += line;
    }
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    doc.pageCheck(doc.lineCount + 6, true);

    Hundredths paid;
    for (const QStringList &payment : m.payments)
        paid += Hundredths::read(payment[PaymentAmount]);
    const Hundredths ship = Hundredths::of(h.Ship);
    const Hundredths tax = Hundredths::of(h.Tax);
    const int firstTotalRow = doc.lastRow() + 1;
    auto totalRow = [&](const QString &caption, Hundredths amount) {
        appendRow(doc, {{7, QStringLiteral("R59") + caption},
                        {8, QStringLiteral("V60")},
                        {9, QStringLiteral("R72") + amount.text(12)},
                        {10, QStringLiteral("V73")}});
    };
    const Hundredths percent = Hundredths::of(h.Discount);
    if (percent > Hundredths()) {
        const Hundredths discount = percentOf(percent, subtotal);
        totalRow(percent.text(5) + QStringLiteral("% Discount:"), -discount);
        subtotal -= discount;
    }
    totalRow(QStringLiteral("SubTotal:"), subtotal);
    totalRow(s.ShipLine.trimmed() + QLatin1Char(':'), ship);
    totalRow(s.TaxLine.trimmed() + QLatin1Char(':'), tax);
    totalRow(QStringLiteral("Total:"), subtotal + ship + tax);
    totalRow(QStringLiteral("Amount Paid:"), paid);
    totalRow(QStringLiteral("Balance Due:"), due);
    appendRow(doc, {{10, QStringLiteral("H6073")}});
    // The card number or note is for the owner's paper copy, never for mail.
    if (!forMail && !blank(h.IMemo))
        doc.putCell(firstTotalRow, 0, QStringLiteral("L01") + h.IMemo.trimmed());

    if (!asInvoice)
        return;
    QStringList memos;
    for (const QStringList &item : m.items)
        if (!blank(item[ItemPMemo]))
            memos << item[ItemPMemo];
    if (!blank(h.REM))
        memos << h.REM;
    for (const QString &memo : std::as_const(memos)) {
        const QStringList lines = wrapForPrinter(memo, doc.width);
        if (lines.isEmpty())
            continue;
        doc.newRow();
        for (const QString &line : lines) {
            doc.pageCheck(doc.lineCount + 1, false);
            appendRow(doc, {{0, QStringLiteral("L00") + line}});
        }
    }
}

void setUpPackingList()
{
    setUp(packingWidth, packingCells,
          {QStringLiteral("V00"), QStringLiteral("L01"), QStringLiteral("V12"), QStringLiteral("L13"),
           QStringLiteral("V41"), QStringLiteral("R49"), QStringLiteral("V50")},
          {QString(), QStringLiteral("Item Code"), QString(), QStringLiteral("Description"), QString(),
           QStringLiteral("Qty"), QString()});
}

void appendPackingList()
{
    ReportDocument &doc = report();
    beginLetterheadDocument(doc, QStringLiteral("Packing List"));
    const QStringList address = addressLines();
    doc.newRow();
    doc.newRow();
    appendRow(doc, {{0, QStringLiteral("L00Ship To:")}, {1, QStringLiteral("L10") + address[0]}});
    for (int i = 1; i < address.size(); ++i)
        appendRow(doc, {{1, QStringLiteral("L10") + address[i]}});
    doc.newRow();
    appendRow(doc, {{2, QStringLiteral("L00Invoice No:  ") + QString::number(db().inv6.buf.IvNo)}});
    appendColumnHeadings(doc);
    for (const QStringList &item : invoiceMemory().items) {
        doc.pageCheck(doc.lineCount + 3, true);
        doc.newRow();
        const QStringList texts = {QString(), item[ItemPrID].trimmed(),
                                   QString(), item[ItemDesc].trimmed(),
                                   QString(), item[ItemQty],
                                   QString()};
        for (int c = 0; c < texts.size(); ++c)
            doc.putColumn(c, texts[c]);
        if (!blank(item[ItemComment]))
            appendRow(doc, {{0, QStringLiteral("V00")},
                            {2, QStringLiteral("V12")},
                            {3, QStringLiteral("L13") + item[ItemComment].trimmed()},
                            {4, QStringLiteral("V41")},
                            {6, QStringLiteral("V50")}});
    }
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
}

QStringList wrapForPrinter(const QString &text, int width)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    Printer &p = printer();
    const QImage device = measuringDevice(p.dpiX(), p.dpiY());
    const QFont font =
        fitReportFont(reportFont(), &device, width, p.pageSizePixels().width(), smallestPrinterPoints);
    const QFontMetrics metrics(font, &device);
    const int wrapWidth = width * metrics.horizontalAdvance(QLatin1Char('B'));
    QStringList lines;
    QString line;
    for (const QChar c : trimmed) {
        if (c == QLatin1Char('\n')) {
            lines << line;
            line.clear();
            continue;
        }
        if (c == QLatin1Char('\r'))
            continue;
        line += c;
        if (line.size() < 2 || metrics.horizontalAdvance(line) <= wrapWidth)
            continue;
        const qsizetype blankAt = line.lastIndexOf(QLatin1Char(' '));
        if (blankAt > 0 && !line.left(blankAt).trimmed().isEmpty()) {
            // Up to and including the blank stays; the word after it moves on.
            lines << line.left(blankAt + 1);
            line = line.mid(blankAt + 1).left(100);
        } else {
            // One word wider than the page: broken where it overflows.
            lines << line.left(line.size() - 1);
            line = line.right(1);
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

bool mailReportDocument(const QString &address, const QString &pdfName, int &counter)
{
    const QString to = address.trimmed();
    if (to.size() <= 3)
        return false;
    ReportDocument &doc = report();
    ++counter;
    progress().showStatus(QStringLiteral("Sending EMail ") + QString::number(counter));
    EMailSender &mail = emailSender();
    mail.recipients = QStringList{to};
    mail.subject = doc.titles.value(0).trimmed();
    mail.text = emailText(doc, false);
    mail.attachments.clear();
    if (loadMailConnection(QDir::currentPath()).attachPdf) {
        // The pages as printing puts them on the selected printer's paper.
        QTemporaryDir dir;
        Printer &p = printer();
        PdfPrinter pdf(dir.filePath(QStringLiteral("document.pdf")), p.pageLayout(), p.dpiY());
        QFile file(pdf.fileName());
        if (dir.isValid() && printReport(doc, pdf) == PrintStatus::Printed && file.open(QIODevice::ReadOnly))
            mail.attachments = {{pdfName, QStringLiteral("application/pdf"), file.readAll()}};
    }
    const bool sent = mail.send() == EMailSender::Outcome::Sent;
    progress().showStatus(QString());
    return sent;
}

QString loadedCustomerEmail()
{
    return invoiceMemory().customerRecNo > 0 ? db().cust5.buf.email : QString();
}

bool mailLoadedInvoice(bool asInvoice, int &counter)
{
    setUpInvoiceDocument();
    appendInvoice(asInvoice, true);
    const QString name = report().titles.value(0) + QLatin1Char(' ') + QString::number(db().inv6.buf.IvNo);
    const bool sent = mailReportDocument(loadedCustomerEmail(), name + QStringLiteral(".pdf"), counter);
    report().endReport();
    return sent;
}

int mailInvoicesDated(const QDate &from, const QDate &to, bool invoices)
{
    int counter = 0, sent = 0;
    for (const long record : invoicesDated(from, to)) {
        if (!loadInvoice(record))
            continue;
        if (!invoices && Hundredths::of(db().inv6.buf.Due) <= Hundredths())
            continue;
        if (mailLoadedInvoice(invoices, counter))
            ++sent;
    }
    return sent;
}

QList<long> invoicesDated(const QDate &from, const QDate &to)
{
    QList<long> records;
    Table &inv = db().inv6;
    inv.useTag(tag::InvD);
    FIELD4 *date = inv.field(fld::IDate);
    const QByteArray last = dateToText(to).toLatin1();
    inv.seek(dateToText(from));
    for (; !inv.eof(); inv.skip()) {
        // The date as the tag keys it: "yyyymmdd".
        if (std::memcmp(f4str(date), last.constData(), 8) > 0)
            break;
        if (!inv.isDeleted())
            records << inv.recNo();
    }
    return records;
}

long invoiceRecordOf(int number)
{
    Table &inv = db().inv6;
    inv.useTag(tag::Inv);
    if (number <= 0 || inv.seek(paddedNumber(number, 6)) != 0 || inv.isDeleted())
        return 0;
    return inv.recNo();
}

bool appendInvoicesDated(const QDate &from, const QDate &to, bool invoices)
{
    bool any = false;
    for (const long record : invoicesDated(from, to)) {
        if (!loadInvoice(record))
            continue;
        if (!invoices && Hundredths::of(db().inv6.buf.Due) <= Hundredths())
            continue;
        appendInvoice(invoices, false);
        any = true;
    }
    return any;
}

bool appendPackingListsDated(const QDate &from, const QDate &to)
{
    bool any = false;
    for (const long record : invoicesDated(from, to)) {
        if (!loadInvoice(record))
            continue;
        appendPackingList();
        any = true;
    }
    return any;
}

} // namespace tlv
