#include "reports/SalesReports.h"

#include "data/Cp1252.h"
#include "data/Database.h"
#include "data/Helpers.h"
#include "data/Money.h"
#include "data/Settings.h"
#include "platform/Progress.h"
#include "platform/Ui.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"

#include <QHash>
#include <algorithm>
#include <cstring>
#include <vector>

namespace tlv {

namespace {

const QString noInvoices = QStringLiteral("No Invoices within selected dates.");
const QString noPayments = QStringLiteral("No Payments within selected dates.");
const QString processingSales = QStringLiteral("Processing Sales");

QString trimmedRight(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return text.left(n);
}

// Trunc((k * 100 + 100) / total) after the k-th record (from 0).
void showRecordProgress(long k, long total)
{
    if (total > 0)
        progress().showProgress(static_cast<int>((k * 100 + 100) / total));
}

QStringList codes(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *c : list)
        out << QLatin1String(c);
    return out;
}

// Every rule position of the last row gets its bare code.
void putRules(ReportDocument &doc)
{
    for (int i = 0; i < doc.columnCodes.size(); ++i)
        if (doc.columnCodes[i].startsWith(QLatin1Char('V')))
            doc.putCell(doc.lastRow(), i, doc.columnCodes[i]);
}

// Amount cells of the last row: the column code and "%width.2f" of the
// amount in the user's notation, built in one piece.
class AmountCells
{
public:
    explicit AmountCells(ReportDocument &doc) : m_doc(doc), m_point(QLocale().decimalPoint()) {}
    void put(int cell, Hundredths amount, int width)
    {
        QString text = m_doc.columnCodes.value(cell);
        amount.appendText(text, width, m_point);
        m_doc.putCell(m_doc.lastRow(), cell, text);
    }
    void put(int cell, TenThousandths amount, int width) { put(cell, amount.rounded(), width); }

private:
    ReportDocument &m_doc;
    QString m_point;
};

void setSpanTitle(ReportDocument &doc, const char *before, const char *between)
{
    doc.titles << QLatin1String(before) + dateToShort(selection().startDate) + QLatin1String(between) +
                      dateToShort(selection().endDate);
}

// The live records of a table dated within the selection's span, in the
// order of a date tag: positioned by a seek on the starting date, ended at
// the first record dated after the ending date. Records marked deleted wait
// for their pack and are no sale or payment: they are stepped over here, for
// every report that walks a span. The constructor counts them (the 100 percent
// of the progress display).
class SpanWalk
{
public:
    SpanWalk(Table &table, const char *tagName, const char *dateField)
        : m_table(table), m_date(table.field(dateField)), m_startKey(dateToText(selection().startDate)),
          m_endKey(dateToText(selection().endDate).toLatin1())
    {
        m_table.useTag(tagName);
        for (bool more = first(); more; more = next())
            ++m_count;
    }

    long count() const { return m_count; }
    // On the first record; false when there is none.
    bool first()
    {
        m_table.seek(m_startKey);
        return settle();
    }
    bool next()
    {
        m_table.skip();
        return settle();
    }

private:
    bool settle()
    {
        for (; !m_table.eof(); m_table.skip()) {
            // The date as the tag keys it: "yyyymmdd".
            if (std::memcmp(f4str(m_date), m_endKey.constData(), 8) > 0)
                return false;
            if (!m_table.isDeleted())
                return true;
        }
        return false;
    }

    Table &m_table;
    FIELD4 *m_date;
    QString m_startKey;
    QByteArray m_endKey;
    long m_count = 0;
};

// A date field shown in the short date format. Reports walk in date order,
// so the text of the previous record's date is kept and reused.
class ShortDates
{
public:
    explicit ShortDates(FIELD4 *field) : m_field(field) {}
    const QString &current()
    {
        const char *raw = f4str(m_field);
        if (std::memcmp(raw, m_raw, sizeof m_raw) != 0) {
            std::memcpy(m_raw, raw, sizeof m_raw);
            m_text = dateToShort(fieldio::readDate(m_field));
        }
        return m_text;
    }

private:
    FIELD4 *m_field;
    char m_raw[8] = {};
    QString m_text;
};

// The fields of an invoice header the reports use, read one by one (the
// header's memo is never needed here).
struct InvoiceHead
{
    int number = 0;
    Hundredths discount, ship, tax;
};

class InvoiceFields
{
public:
    InvoiceFields()
    {
        const Table &t = db().inv6;
        m_number = t.field(fld::IvNo);
        m_discount = t.field(fld::Discount);
        m_ship = t.field(fld::Ship);
        m_tax = t.field(fld::Tax);
        date = t.field(fld::IDate);
    }
    InvoiceHead read() const
    {
        InvoiceHead h;
        h.number = fieldio::readInt(m_number);
        h.discount = Hundredths::of(fieldio::readDouble(m_discount));
        h.ship = Hundredths::of(fieldio::readDouble(m_ship));
        h.tax = Hundredths::of(fieldio::readDouble(m_tax));
        return h;
    }
    FIELD4 *date;

private:
    FIELD4 *m_number, *m_discount, *m_ship, *m_tax;
};

struct ItemLine
{
    Hundredths quantity, price;
    bool tax1 = false, tax2 = false;
};

// The line items of one invoice after another, through tag "Itm".
class ItemReader
{
public:
    ItemReader() : m_itm(db().itm5)
    {
        m_itm.useTag(tag::Itm);
        m_number = m_itm.field(fld::IvNo);
        m_quantity = m_itm.field(fld::Qty);
        m_price = m_itm.field(fld::UPR);
        m_tax1 = m_itm.field(fld::LTax1);
        m_tax2 = m_itm.field(fld::LTax2);
        code = m_itm.field(fld::PrID);
    }
    // Calls f(line) for each live line item of the invoice; ITM5 stays on
    // the line while f runs.
    template <class F> void forEach(int invoice, F &&f)
    {
        if (m_itm.seek(paddedNumber(invoice, 6)) != 0)
            return;
        for (; !m_itm.eof(); m_itm.skip()) {
            if (fieldio::readInt(m_number) != invoice)
                break;
            if (m_itm.isDeleted())
                continue;
            ItemLine line;
            line.quantity = Hundredths::of(fieldio::readDouble(m_quantity));
            line.price = Hundredths::of(fieldio::readDouble(m_price));
            line.tax1 = fieldio::readBool(m_tax1);
            line.tax2 = fieldio::readBool(m_tax2);
            f(line);
        }
    }
    FIELD4 *code;

private:
    Table &m_itm;
    FIELD4 *m_number, *m_quantity, *m_price, *m_tax1, *m_tax2;
};

} // namespace

bool salesSummary()
{
    SpanWalk invoices(db().inv6, tag::InvD, fld::IDate);
    const long total = invoices.count();
    if (total == 0) {
        ui().information(noInvoices);
        return false;
    }
    ItemReader items;
    const InvoiceFields fields;
    ShortDates dates(fields.date);
    ReportDocument &doc = report();
    doc.width = 75;
    doc.cellCount = 16;
    doc.beginReport();
    AmountCells amounts(doc);
    setSpanTitle(doc, "Sales Summary for ", " through ");
    doc.columnCodes = codes({"V00", "R07", "V08", "R17", "V18", "R28", "V29", "R40", "V41", "R52", "V53",
                             "R63", "V64", "R74", "V75"});
    QStringList headings(15);
    headings[1] = QStringLiteral("Inv. No");
    headings[3] = QStringLiteral("Date");
    headings[5] = QStringLiteral("Items");
    headings[7] = QStringLiteral("Discounts");
    headings[9] = settings().ShipLine.trimmed();
    headings[11] = settings().TaxLine.trimmed();
    headings[13] = QStringLiteral("Total");
    doc.setColumnHeadings(headings);

    progress().showStatus(processingSales);
    // Items are summed unrounded; the discount is rounded once per invoice.
    TenThousandths sumItems, sumTotal;
    Hundredths sumDiscount, sumShip, sumTax;
    long k = 0;
    for (bool more = invoices.first(); more; more = invoices.next(), ++k) {
        const InvoiceHead h = fields.read();
        TenThousandths sold;
        items.forEach(h.number, [&](const ItemLine &line) {
            sold += TenThousandths::productOf(line.quantity, line.price);
        });
        const Hundredths discount = percentOf(h.discount, sold);
        const TenThousandths amount =
            sold - TenThousandths::of(discount) + TenThousandths::of(h.ship) + TenThousandths::of(h.tax);
        doc.pageCheck(doc.lineCount + 1, true);
        doc.newRow();
        putRules(doc);
        doc.putColumn(1, paddedNumber(h.number, 6));
        doc.putColumn(3, dates.current());
        amounts.put(5, sold, 10);
        amounts.put(7, discount, 10);
        amounts.put(9, h.ship, 10);
        amounts.put(11, h.tax, 10);
        amounts.put(13, amount, 10);
        sumItems += sold;
        sumDiscount += discount;
        sumShip += h.ship;
        sumTax += h.tax;
        sumTotal += amount;
        showRecordProgress(k, total);
    }
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    doc.pageCheck(doc.lineCount + 1, true);
    doc.newRow();
    putRules(doc);
    doc.putCell(doc.lastRow(), 2, QString()); // no rule between the first two columns
    doc.putColumn(3, QStringLiteral("Totals"));
    amounts.put(5, sumItems, 10);
    amounts.put(7, sumDiscount, 10);
    amounts.put(9, sumShip, 10);
    amounts.put(11, sumTax, 10);
    amounts.put(13, sumTotal, 10);
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    progress().showStatus(QString());
    return true;
}

bool salesByProduct()
{
    SpanWalk invoices(db().inv6, tag::InvD, fld::IDate);
    const long total = invoices.count();
    if (total == 0) {
        ui().information(noInvoices);
        return false;
    }
    ItemReader items;
    const InvoiceFields fields;
    ReportDocument &doc = report();
    doc.width = 65;
    doc.cellCount = 10;
    doc.beginReport();
    AmountCells amounts(doc);
    setSpanTitle(doc, "Sales by Product from ", " through ");
    doc.columnCodes = codes({"V00", "L02", "V13", "L15", "V43", "R49", "V51", "R63", "V65"});
    QStringList headings(9);
    headings[1] = QStringLiteral("Item Code");
    headings[3] = QStringLiteral("Description");
    headings[5] = QStringLiteral("Qty.");
    headings[7] = QStringLiteral("Discounted Total");
    doc.setColumnHeadings(headings);

    progress().showStatus(processingSales);
    // What was sold of each product code, in the order the codes were first
    // met; codes are compared exactly as stored (their bytes). Quantities and
    // totals have two decimals, so holding them exactly is the same as
    // holding their "%10.2f" texts and reading them back.
    struct Sold
    {
        QByteArray key;
        QString code;
        Hundredths quantity, total;
        bool printed = false;
    };
    std::vector<Sold> sold;
    QHash<QByteArray, size_t> soldIndex;
    const int codeWidth = f4len(items.code);
    long k = 0;
    for (bool more = invoices.first(); more; more = invoices.next(), ++k) {
        const InvoiceHead h = fields.read();
        items.forEach(h.number, [&](const ItemLine &line) {
            // Each line is rounded, and its discount too.
            const Hundredths amount = lineAmountOf(line.price, line.quantity);
            const Hundredths net =
                amount - percentOf(h.discount, TenThousandths::productOf(line.quantity, line.price));
            const QByteArray id = QByteArray::fromRawData(f4str(items.code), codeWidth);
            const auto found = soldIndex.constFind(id);
            if (found != soldIndex.cend()) {
                sold[*found].quantity += line.quantity;
                sold[*found].total += net;
            } else {
                const QByteArray kept(id.constData(), id.size());
                soldIndex.insert(kept, sold.size());
                sold.push_back({kept, fieldio::readText(items.code), line.quantity, net});
            }
        });
        showRecordProgress(k, total);
    }
    if (sold.empty()) {
        progress().showStatus(QString());
        doc.endReport();
        ui().information(noInvoices);
        return false;
    }

    Hundredths grand;
    auto putProduct = [&](Sold &s, const QString &description) {
        doc.pageCheck(doc.lineCount + 2, true);
        doc.newRow();
        putRules(doc);
        doc.putColumn(1, trimmedRight(s.code));
        doc.putColumn(3, description);
        amounts.put(5, s.quantity, 10);
        amounts.put(7, s.total, 10);
        grand += s.total;
        s.printed = true;
    };
    // The products sold, in catalogue order (tag "Prod", Upper(PrID), equal
    // keys in record order): each sold code's key is sought, so the catalogue
    // is not read beyond the products sold. A product marked deleted is no
    // longer in the catalogue.
    Table &prod = db().prod5;
    prod.useTag(tag::Prod);
    FIELD4 *prodId = prod.field(fld::PrID);
    QStringList keys;
    for (const Sold &s : sold)
        keys << keyUpper(s.code);
    // In the tag's order: by the bytes the keys are stored as.
    std::sort(keys.begin(), keys.end(),
              [](const QString &a, const QString &b) { return toCp1252(a) < toCp1252(b); });
    keys.removeDuplicates();
    for (const QString &key : keys) {
        if (prod.seek(key) != 0)
            continue;
        for (; !prod.eof(); prod.skip()) {
            const QString id = fieldio::readText(prodId);
            if (keyUpper(id) != key)
                break;
            if (prod.isDeleted())
                continue;
            const auto found = soldIndex.constFind(QByteArray(f4str(prodId), f4len(prodId)));
            if (found == soldIndex.cend() || sold[*found].printed)
                continue;
            putProduct(sold[*found], trimmedRight(fieldio::readText(prod.field(fld::PDesc))));
        }
    }
    // Then what is sold under codes no longer in the catalogue.
    for (Sold &s : sold)
        if (!s.printed)
            putProduct(s, QStringLiteral("Unknown Product"));

    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    doc.newRow();
    doc.putCell(doc.lastRow(), 0, QStringLiteral("V00"));
    doc.putColumn(1, QStringLiteral("Total Sales"));
    doc.putCell(doc.lastRow(), 6, QStringLiteral("V51"));
    amounts.put(7, grand, 10);
    doc.putCell(doc.lastRow(), 8, QStringLiteral("V65"));
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    progress().showStatus(QString());
    return true;
}

bool dailyIncome()
{
    Table &pmt = db().pmt;
    SpanWalk payments(pmt, tag::PmtD, fld::PDate);
    const long total = payments.count();
    if (total == 0) {
        ui().information(noPayments);
        return false;
    }
    Table &inv = db().inv6;
    inv.useTag(tag::Inv);
    ReportDocument &doc = report();
    doc.width = 72;
    doc.cellCount = 12;
    doc.beginReport();
    AmountCells amounts(doc);
    setSpanTitle(doc, "Daily Income from ", " through ");
    doc.columnCodes = codes({"V00", "L01", "V10", "R16", "V17", "L18", "V48", "R58", "V59", "R71", "V72"});
    QStringList headings(11);
    headings[1] = QStringLiteral("Pmt Date");
    headings[3] = QStringLiteral("Inv No.");
    headings[5] = QStringLiteral("Check - Credit Card No.");
    headings[7] = QStringLiteral("Amount");
    headings[9] = QStringLiteral("Daily Total");
    doc.setColumnHeadings(headings);

    progress().showStatus(QStringLiteral("Processing Payments"));
    FIELD4 *number = pmt.field(fld::IvNo), *date = pmt.field(fld::PDate), *amount = pmt.field(fld::PAmt);
    FIELD4 *invoiceNote = inv.field(fld::IMemo);
    ShortDates dates(date);
    Hundredths grand;
    long k = 0;
    bool more = payments.first();
    while (more) {
        char day[8];
        std::memcpy(day, f4str(date), sizeof day);
        Hundredths daily;
        bool firstOfDay = true;
        do {
            const int invoice = fieldio::readInt(number);
            const Hundredths paid = Hundredths::of(fieldio::readDouble(amount));
            // The invoice's "Credit Card or Note"; none for an invoice that is
            // gone or waits for its pack.
            QString note;
            if (inv.seek(paddedNumber(invoice, 6)) == 0 && !inv.isDeleted())
                note = trimmedRight(fieldio::readText(invoiceNote));
            doc.pageCheck(doc.lineCount + 2, true);
            doc.newRow();
            putRules(doc);
            if (firstOfDay)
                doc.putColumn(1, dates.current());
            doc.putColumn(3, QString::number(invoice));
            doc.putColumn(5, note);
            amounts.put(7, paid, 10);
            daily += paid;
            firstOfDay = false;
            showRecordProgress(k++, total);
            more = payments.next();
        } while (more && std::memcmp(f4str(date), day, sizeof day) == 0);
        amounts.put(9, daily, 12);
        doc.setFlags(doc.lastRow(), QStringLiteral("U"));
        grand += daily;
    }
    doc.newRow();
    doc.putCell(doc.lastRow(), 0, QStringLiteral("V00"));
    doc.putColumn(1, QStringLiteral("Total Payments"));
    doc.putCell(doc.lastRow(), 8, QStringLiteral("V59"));
    amounts.put(9, grand, 12);
    doc.putCell(doc.lastRow(), 10, QStringLiteral("V72"));
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    progress().showStatus(QString());
    return true;
}

bool taxReport()
{
    SpanWalk invoices(db().inv6, tag::InvD, fld::IDate);
    const long total = invoices.count();
    if (total == 0) {
        ui().information(noInvoices);
        return false;
    }
    ItemReader items;
    const InvoiceFields fields;
    const SettingsRecord &s = settings();
    const QString label1 = s.ShipLine.trimmed(), label2 = s.TaxLine.trimmed();
    ReportDocument &doc = report();
    doc.width = 50;
    doc.cellCount = 4;
    doc.beginReport();
    AmountCells amounts(doc);
    setSpanTitle(doc, "Tax report for ", " through ");
    doc.columnCodes = codes({"L00", "R38", "R50"});

    progress().showStatus(processingSales);
    TenThousandths netSales, subject1, subject2;
    Hundredths charged1, charged2;
    long k = 0;
    for (bool more = invoices.first(); more; more = invoices.next(), ++k) {
        const InvoiceHead h = fields.read();
        // The second charge line's base as the invoice editor computed it:
        // the flagged lines' amounts, less the discount on their sum.
        Hundredths editorBase2;
        items.forEach(h.number, [&](const ItemLine &line) {
            // Each line unrounded, less its own rounded discount.
            const TenThousandths amount = TenThousandths::productOf(line.quantity, line.price);
            const TenThousandths net = amount - TenThousandths::of(percentOf(h.discount, amount));
            netSales += net;
            if (line.tax1)
                subject1 += net;
            if (line.tax2) {
                subject2 += net;
                editorBase2 += lineAmountOf(line.price, line.quantity);
            }
        });
        // The first charge line was taxed by the second exactly when the
        // editor put it into that base (a credit's negative base included).
        if (firstChargeInSecondBase(s.ShipTax, discountedBase(h.discount, editorBase2)))
            subject2 += TenThousandths::of(h.ship);
        charged1 += h.ship;
        charged2 += h.tax;
        showRecordProgress(k, total);
    }

    auto row = [&](const QString &label) {
        doc.newRow();
        doc.putColumn(0, label);
    };
    doc.pageCheck(doc.lineCount + 2, false);
    doc.newRow();
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    row(QStringLiteral("Net Item Sales"));
    amounts.put(2, netSales, 11);
    if (s.TaxRate1 > 0) {
        doc.setFlags(doc.lastRow(), QStringLiteral("U"));
        row(QStringLiteral("Sales subject to ") + label1);
        amounts.put(1, subject1, 11);
    }
    row(label1 + QStringLiteral(" Charged"));
    amounts.put(2, charged1, 11);
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    row(QStringLiteral("Sales subject to ") + label2);
    amounts.put(1, subject2, 11);
    row(label2 + QStringLiteral(" Charged"));
    amounts.put(2, charged2, 11);
    doc.setFlags(doc.lastRow(), QStringLiteral("U"));
    row(QStringLiteral("Total"));
    amounts.put(2, (netSales + TenThousandths::of(charged1) + TenThousandths::of(charged2)), 11);
    progress().showStatus(QString());
    return true;
}

} // namespace tlv
