#include "reports/RptGen.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "platform/Progress.h"
#include "reports/CustomerReports.h"
#include "reports/InventoryReports.h"
#include "reports/RptUtil.h"
#include "reports/SalesReports.h"
#include "reports/Selection.h"

namespace tlv {

namespace {

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

// Closes the table and the page: the last row gets its rule.
void ruleLastRow(ReportDocument &doc)
{
    if (doc.lastRow() >= 0)
        doc.setFlags(doc.lastRow(), QStringLiteral("U"));
}

} // namespace

bool productListing()
{
    ReportDocument &doc = report();
    doc.width = 64;
    doc.cellCount = 5;
    doc.beginReport();
    doc.titles << QStringLiteral("Product Listing");
    doc.columnCodes = {QStringLiteral("L00"), QStringLiteral("L12"), QStringLiteral("R51"),
                       QStringLiteral("R64")};
    doc.setColumnHeadings({QStringLiteral("Product"), QStringLiteral("Description"),
                           QStringLiteral("Unit Price"), QStringLiteral("Reorder")});

    progress().showStatus(QStringLiteral("Processing Product Listing"));
    auto &prod = db().prod5;
    prod.useTag(tag::Prod);
    const long total = prod.recCount();
    long k = 0;
    for (prod.top(); !prod.eof(); prod.skip(), ++k) {
        showRecordProgress(k, total);
        // A deletion not yet packed away is no longer a product.
        if (prod.isDeleted())
            continue;
        prod.read();
        const ProductRecord &p = prod.buf;
        const QString comment = trimmedRight(p.IComm);
        // The comment stays on the page of its product.
        doc.pageCheck(doc.lineCount + (comment.trimmed().isEmpty() ? 1 : 2), true);
        doc.newRow();
        doc.putColumn(0, trimmedRight(p.PrID));
        doc.putColumn(1, trimmedRight(p.PDesc));
        doc.putColumn(2, numberToFixed(p.UPrice, 12, 2));
        doc.putColumn(3, numberToFixed(p.REORDER, 12, 2));
        if (!comment.trimmed().isEmpty()) {
            doc.newRow();
            doc.putColumn(1, comment);
        }
    }
    ruleLastRow(doc);
    progress().showStatus(QString());
    return doc.lastRow() >= 0;
}

bool purchasingReport()
{
    const QDate start = selection().startDate, end = selection().endDate;
    ReportDocument &doc = report();
    doc.width = 71;
    doc.cellCount = 6;
    doc.beginReport();
    doc.titles << QStringLiteral("Purchasing Report for ") + dateToShort(start) +
                      QStringLiteral(" through ") + dateToShort(end);
    doc.columnCodes = {QStringLiteral("L00"), QStringLiteral("L12"), QStringLiteral("R47"),
                       QStringLiteral("R58"), QStringLiteral("R71")};
    doc.setColumnHeadings({QStringLiteral("Product"), QStringLiteral("Description"), QStringLiteral("Date"),
                           QStringLiteral("Quantity"), QStringLiteral("Cost")});

    progress().showStatus(QStringLiteral("Processing Purchasing Report"));
    auto &pur = db().pur5;
    auto &prod = db().prod5;
    pur.useTag(tag::Pur);
    prod.useTag(tag::Prod);
    const long total = pur.recCount();
    long k = 0;
    double sum = 0;
    bool first = true;
    QString previous, description;
    for (pur.top(); !pur.eof(); pur.skip(), ++k) {
        showRecordProgress(k, total);
        if (pur.isDeleted())
            continue;
        pur.read();
        const PurchaseRecord &p = pur.buf;
        if (!p.PURDate.isValid() || p.PURDate < start || p.PURDate > end)
            continue;
        const bool newProduct = first || p.PURProd != previous;
        if (newProduct) {
            // The identifier as stored, blanks included: a shorter key would
            // also find a longer identifier that starts with it.
            if (prod.seek(keyUpper(p.PURProd)) == 0 && !prod.isDeleted()) {
                prod.read();
                description = trimmedRight(prod.buf.PDesc);
            } else {
                description = QStringLiteral("Not Found");
            }
        }
        doc.pageCheck(doc.lineCount + 1, true);
        doc.newRow();
        if (newProduct) {
            doc.putColumn(0, trimmedRight(p.PURProd));
            doc.putColumn(1, description);
        }
        doc.putColumn(2, dateToShort(p.PURDate));
        doc.putColumn(3, numberToFixed(p.PURQty, 10, 2));
        doc.putColumn(4, numberToFixed(p.PURCost, 12, 2));
        sum += p.PURCost;
        previous = p.PURProd;
        first = false;
    }
    if (doc.lastRow() >= 0) {
        ruleLastRow(doc);
        doc.pageCheck(doc.lineCount + 1, true);
        doc.newRow();
        doc.putColumn(0, QStringLiteral("Total"));
        doc.putCell(doc.lastRow(), 4, QStringLiteral("R71") + numberToFixed(sum, 13, 2));
    }
    progress().showStatus(QString());
    return doc.lastRow() >= 0;
}

namespace {
const TableId productTables[] = {TableId::Prod5};
const TableId purchaseTables[] = {TableId::Pur5, TableId::Prod5};
const TableId invoiceTables[] = {TableId::INV6, TableId::ITM5};
const TableId productSalesTables[] = {TableId::INV6, TableId::ITM5, TableId::Prod5};
const TableId paymentTables[] = {TableId::PMT, TableId::INV6};
const TableId receivableTables[] = {TableId::INV6, TableId::CUST5};
const TableId stockTables[] = {TableId::Prod5, TableId::Pur5, TableId::ITM5, TableId::INV6};

const ReportCommand commands[] = {
    {"product-listing", productTables, ReportQuestion::None, productListing},
    {"purchasing", purchaseTables, ReportQuestion::MonthSpan, purchasingReport},
    {"sales-summary", invoiceTables, ReportQuestion::MonthSpan, salesSummary},
    {"sales-by-product", productSalesTables, ReportQuestion::MonthSpan, salesByProduct},
    {"daily-income", paymentTables, ReportQuestion::MonthSpan, dailyIncome},
    {"tax", invoiceTables, ReportQuestion::MonthSpan, taxReport},
    {"inventory", stockTables, ReportQuestion::AsOfDate, inventoryAsOf},
    {"cogs", stockTables, ReportQuestion::MonthSpan, costOfGoodsSold},
    {"stock-on-hand", stockTables, ReportQuestion::None, stockOnHand},
    {"cogs-detail", stockTables, ReportQuestion::MonthSpan, costOfGoodsDetail},
    {"receivables", receivableTables, ReportQuestion::None, receivables},
};
} // namespace

std::span<const ReportCommand> reportCommands()
{
    return commands;
}

const ReportCommand *findReportCommand(const QString &name)
{
    for (const ReportCommand &c : commands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

void openReportTables(const ReportCommand &command)
{
    for (TableId id : command.tables)
        db().table(id).open();
}

} // namespace tlv
