#include "reports/CustomerReports.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "data/Money.h"
#include "platform/Clock.h"
#include "platform/Progress.h"
#include "platform/Ui.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"

#include <algorithm>
#include <optional>

namespace tlv {

namespace {

const QString unknown = QStringLiteral("UNKNOWN");

QStringList codes(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *c : list)
        out << QLatin1String(c);
    return out;
}

// A new row with every rule position holding its bare code.
void newRuledRow(ReportDocument &doc)
{
    doc.newRow();
    for (int i = 0; i < doc.columnCodes.size(); ++i)
        if (doc.columnCodes[i].startsWith(QLatin1Char('V')))
            doc.putCell(doc.lastRow(), i, doc.columnCodes[i]);
}

void ruleLastRow(ReportDocument &doc)
{
    if (doc.lastRow() >= 0)
        doc.setFlags(doc.lastRow(), QStringLiteral("U"));
}

QStringList headingsAt(int count, std::initializer_list<std::pair<int, const char *>> texts)
{
    QStringList out(count);
    for (const auto &[cell, text] : texts)
        out[cell] = QLatin1String(text);
    return out;
}

// Records marked deleted wait for their pack: they are no customer, group,
// invoice or line for any report here, and a look-up that lands on one finds
// nothing.

// The live customer of a number (tag "CCNO"), read into the CUST5 buffer.
bool findCustomer(int number)
{
    auto &cust = db().cust5;
    cust.useTag(tag::CCNO);
    if (cust.seek(paddedNumber(number, 6)) != 0 || cust.isDeleted())
        return false;
    cust.read();
    return true;
}

// The trimmed name of a live group, or nothing.
std::optional<QString> groupName(int number)
{
    auto &groups = db().groups;
    groups.useTag(tag::nGroup);
    if (groups.seek(paddedNumber(number, 2)) != 0 || groups.isDeleted())
        return std::nullopt;
    groups.read();
    return groups.buf.cGroup.trimmed();
}

void showRecordProgress(long k, long total)
{
    if (total > 0)
        progress().showProgress(static_cast<int>((k * 100 + 100) / total));
}

} // namespace

QString reportCustomerName(const CustomerRecord &c)
{
    return (c.title.trimmed() + QLatin1Char(' ') + c.first.trimmed() + QLatin1Char(' ') + c.last).trimmed();
}

// ---- Buyers of a product ----------------------------------------------------------------

bool productBuyers(long productRecNo)
{
    Db &d = db();
    if (d.prod5.go(productRecNo) != 0)
        return false;
    d.prod5.read();
    const QString product = d.prod5.buf.PrID.trimmed();
    const QString start = dateToText(selection().startDate), end = dateToText(selection().endDate);

    // The live invoices dated within the span, in date order.
    auto &inv = d.inv6;
    inv.useTag(tag::InvD);
    FIELD4 *dateField = inv.field(fld::IDate);
    auto inSpan = [&] { return !inv.eof() && fieldio::readText(dateField).left(8) <= end; };
    auto settle = [&] {
        while (inSpan() && inv.isDeleted())
            inv.skip();
        return inSpan();
    };
    long total = 0;
    inv.seek(start);
    for (bool more = settle(); more; inv.skip(), more = settle())
        ++total;
    if (total == 0) {
        ui().information(QStringLiteral("No Invoices within selected dates."));
        return false;
    }

    ReportDocument &doc = report();
    doc.width = 77;
    doc.cellCount = 10;
    doc.beginReport();
    doc.titles << QStringLiteral("Buyers of ") + product + QLatin1Char('-') + d.prod5.buf.PDesc.trimmed()
               << QStringLiteral("from ") + dateToShort(selection().startDate) + QStringLiteral(" through ") +
                      dateToShort(selection().endDate);
    doc.columnCodes = codes({"V00", "L01", "V36", "L37", "V57", "R66", "V67", "R76", "V77"});
    doc.setColumnHeadings(
        headingsAt(9, {{1, "Customer"}, {3, "Mail Group"}, {5, "Date"}, {7, "Unit Price"}}));

    progress().showStatus(QStringLiteral("Processing Buyers"));
    // The header's fields one by one: its note stays in the memo file.
    FIELD4 *numberField = inv.field(fld::IvNo), *customerField = inv.field(fld::CuNo),
           *discountField = inv.field(fld::Discount);
    auto &itm = d.itm5;
    itm.useTag(tag::Itm);
    long k = 0;
    inv.useTag(tag::InvD);
    inv.seek(start);
    for (bool more = settle(); more; inv.skip(), more = settle(), ++k) {
        showRecordProgress(k, total);
        const int invoice = fieldio::readInt(numberField);
        if (itm.seek(paddedNumber(invoice, 6)) != 0)
            continue;
        const Hundredths discount = Hundredths::of(fieldio::readDouble(discountField));
        const QDate date = fieldio::readDate(dateField);
        for (; !itm.eof(); itm.skip()) {
            if (itm.isDeleted())
                continue;
            itm.read();
            if (itm.buf.IvNo != invoice)
                break;
            if (itm.buf.PrID.trimmed() != product)
                continue;
            QString customer = unknown, group = unknown;
            if (findCustomer(fieldio::readInt(customerField))) {
                customer = reportCustomerName(d.cust5.buf);
                group = groupName(d.cust5.buf.ngroup).value_or(unknown);
            }
            const Hundredths price = Hundredths::of(itm.buf.UPR);
            const Hundredths net = price - percentOf(discount, price);
            doc.pageCheck(doc.lineCount + 1, true);
            newRuledRow(doc);
            doc.putColumn(1, customer);
            doc.putColumn(3, group);
            doc.putColumn(5, dateToShort(date));
            doc.putColumn(7, net.text(8));
        }
    }
    ruleLastRow(doc);
    progress().showStatus(QString());
    return doc.lastRow() >= 0;
}

// ---- Receivables --------------------------------------------------------------------------

bool receivables()
{
    Db &d = db();
    auto &inv = d.inv6;
    inv.useTag(tag::Inv);
    const long total = inv.recCount();
    bool any = false;
    for (inv.top(); !inv.eof() && !any; inv.skip())
        any = !inv.isDeleted();
    if (!any) {
        ui().information(QStringLiteral("No Invoices within selected dates."));
        return false;
    }

    ReportDocument &doc = report();
    doc.width = 71;
    doc.cellCount = 10;
    doc.beginReport();
    doc.titles << QStringLiteral("RECEIVABLES");
    doc.columnCodes = codes({"V00", "R07", "V08", "L10", "V50", "R55", "V57", "R69", "V71"});
    doc.setColumnHeadings(headingsAt(9, {{1, "Inv. No"}, {3, "Customer"}, {5, "Days"}, {7, "Amount"}}));

    progress().showStatus(QStringLiteral("Processing Receivables"));
    // Only the four fields the report needs are read: the note stays in its memo.
    FIELD4 *number = inv.field(fld::IvNo), *customerField = inv.field(fld::CuNo),
           *dateField = inv.field(fld::IDate), *dueField = inv.field(fld::Due);
    const QDate today = clock().today();
    Hundredths sum;
    long k = 0;
    for (inv.top(); !inv.eof(); inv.skip(), ++k) {
        showRecordProgress(k, total);
        if (inv.isDeleted())
            continue;
        const Hundredths due = Hundredths::of(fieldio::readDouble(dueField));
        if (due.isZero())
            continue;
        const QString customer =
            findCustomer(fieldio::readInt(customerField)) ? reportCustomerName(d.cust5.buf) : unknown;
        const QDate date = fieldio::readDate(dateField);
        doc.pageCheck(doc.lineCount + 1, true);
        newRuledRow(doc);
        doc.putColumn(1, QString::number(fieldio::readInt(number)));
        doc.putColumn(3, customer);
        // An invoice without a date has no age.
        if (date.isValid())
            doc.putColumn(5, QString::number(date.daysTo(today)));
        doc.putColumn(7, due.text(10));
        sum += due;
    }
    if (doc.lastRow() >= 0) {
        ruleLastRow(doc);
        doc.pageCheck(doc.lineCount + 1, true);
        doc.newRow();
        doc.putColumn(0, QString());
        doc.putCell(doc.lastRow(), 1, QStringLiteral("L01Total Receivables"));
        doc.putColumn(6, QString());
        doc.putColumn(7, sum.text(10));
        doc.putColumn(8, QString());
        ruleLastRow(doc);
    }
    progress().showStatus(QString());
    return doc.lastRow() >= 0;
}

// ---- Customer profile -----------------------------------------------------------------------

void beginProfile()
{
    ReportDocument &doc = report();
    doc.width = 75;
    doc.cellCount = 12;
    doc.beginReport();
    doc.titles << QStringLiteral("Customer Profile");
    doc.columnCodes = codes({"V00", "L01", "V35", "R43", "V45", "L46", "V57", "R65", "V66", "R74", "V75"});
    doc.setColumnHeadings(
        headingsAt(11, {{1, "Customer"}, {3, "Date"}, {5, "Product"}, {7, "Qty"}, {9, "U-Price"}}));
}

void profileBlock(long customerRecNo)
{
    Db &d = db();
    auto &cust = d.cust5;
    if (cust.go(customerRecNo) != 0 || cust.isDeleted())
        return;
    cust.read();
    const CustomerRecord customer = cust.buf;

    QStringList address = buildAddressBlock(customer);
    if (address[3].trimmed().isEmpty() && address[4].trimmed().isEmpty())
        address.removeLast();
    if (!address.last().trimmed().isEmpty())
        address << QString();
    address.last() = QStringLiteral("Cust#: ") + QString::number(customer.cuno) +
                     QStringLiteral("  Group: ") + groupName(customer.ngroup).value_or(QString());

    struct Purchase
    {
        QString date, product, quantity, price;
    };
    QList<Purchase> purchases;
    auto &inv = d.inv6;
    auto &itm = d.itm5;
    inv.useTag(tag::InvC);
    itm.useTag(tag::Itm);
    if (inv.seek(paddedNumber(customer.cuno, 6)) == 0) {
        for (; !inv.eof(); inv.skip()) {
            if (inv.isDeleted())
                continue;
            inv.read();
            if (inv.buf.CuNo != customer.cuno)
                break;
            const InvoiceRecord &head = inv.buf;
            if (itm.seek(paddedNumber(head.IvNo, 6)) != 0)
                continue;
            for (; !itm.eof(); itm.skip()) {
                if (itm.isDeleted())
                    continue;
                itm.read();
                if (itm.buf.IvNo != head.IvNo)
                    break;
                purchases.append({dateToShort(head.IDate), itm.buf.PrID.trimmed(),
                                  Hundredths::of(itm.buf.Qty).text(8), Hundredths::of(itm.buf.UPR).text(8)});
            }
        }
    }

    ReportDocument &doc = report();
    doc.pageCheck(doc.lineCount + 4, true);
    const qsizetype rows = std::max(address.size(), purchases.size());
    for (qsizetype i = 0; i < rows; ++i) {
        doc.pageCheck(doc.lineCount + 1, true);
        newRuledRow(doc);
        if (i < address.size())
            doc.putColumn(1, address[i]);
        if (i < purchases.size()) {
            const Purchase &p = purchases[i];
            doc.putColumn(3, p.date);
            doc.putColumn(5, p.product);
            doc.putColumn(7, p.quantity);
            doc.putColumn(9, p.price);
        }
    }
    ruleLastRow(doc);
}

bool profileOfChosenGroups()
{
    auto &cust = db().cust5;
    cust.useTag(tag::cname);
    FIELD4 *group = cust.field(fld::ngroup);
    // The record numbers first: a block moves the customer table.
    QList<long> chosen;
    for (cust.top(); !cust.eof(); cust.skip())
        if (!cust.isDeleted() && groupChosen(fieldio::readInt(group)) >= 0)
            chosen << cust.recNo();
    for (long recNo : std::as_const(chosen))
        profileBlock(recNo);
    return report().lastRow() >= 0;
}

} // namespace tlv
