#include "reports/InventoryReports.h"

#include "data/Database.h"
#include "data/Helpers.h"
#include "data/Settings.h"
#include "platform/Clock.h"
#include "platform/Progress.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"
#include "reports/Valuation.h"

namespace tlv {

namespace {

QString trimmedRight(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return text.left(n);
}

// Trunc(done * 100 / total) once a record is done.
class RecordProgress
{
public:
    explicit RecordProgress(long total) : m_total(total) {}
    void step()
    {
        ++m_done;
        if (m_total > 0)
            progress().showProgress(static_cast<int>(m_done * 100 / m_total));
    }

private:
    long m_total;
    long m_done = 0;
};

// Every product in "Prod" order that is still a product (a deletion waiting
// for its pack is not), read into the product buffer.
template <class F> void forEachProduct(RecordProgress &steps, F &&each)
{
    auto &prod = db().prod5;
    prod.useTag(tag::Prod);
    for (prod.top(); !prod.eof(); prod.skip()) {
        steps.step();
        if (prod.isDeleted())
            continue;
        prod.read();
        each(prod.buf);
    }
}

QString amount(Hundredths h)
{
    return h.text(12);
}

Hundredths lotCosts(const Valuation &v)
{
    Hundredths sum;
    for (const Lot &lot : v.lots)
        sum += lot.cost;
    return sum;
}

QString spanTitle(const char *what, const QDate &start, const QDate &end)
{
    return QLatin1String(what) + dateToShort(start) + QStringLiteral(" through ") + dateToShort(end);
}

// The five figures, captions in the first cell and amounts in `cell`.
void costRows(ReportDocument &doc, const CostOfGoods &c, int cell)
{
    const struct
    {
        const char *caption;
        Hundredths value;
        const char *flags;
    } rows[] = {
        {"Beginning Inventory", c.beginningCents(), ""},
        {"Inventory Purchases", c.purchases, "U"},
        {"Total", c.total(), ""},
        {"Ending Inventory", c.endingCents(), "U"},
        {"Cost of Goods Sold", c.costOfGoodsSold(), ""},
    };
    doc.pageCheck(doc.lineCount + int(std::size(rows)), true);
    for (const auto &r : rows) {
        doc.newRow();
        doc.putColumn(0, QLatin1String(r.caption));
        doc.putColumn(cell, amount(r.value));
        doc.setFlags(doc.lastRow(), QLatin1String(r.flags));
    }
}

} // namespace

CostOfGoods costOfGoods(const QDate &start, const QDate &end, bool fifo,
                        const std::function<void(const ProductRecord &, const Valuation &)> &atEnd)
{
    CostOfGoods c;
    RecordProgress steps(2 * db().prod5.recCount() + db().pur5.recCount());
    Valuator valuator(fifo);
    const QDate before = start.addDays(-1);
    forEachProduct(steps, [&](const ProductRecord &p) {
        const Valuation v = valuator.valuate(p, before);
        c.beginning += v.lotValue;
        c.lotsBefore += lotCosts(v);
    });
    forEachProduct(steps, [&](const ProductRecord &p) {
        const Valuation v = valuator.valuate(p, end, bool(atEnd));
        c.ending += v.lotValue;
        c.lotsByEnd += lotCosts(v);
        if (atEnd && v.inventoryItem)
            atEnd(p, v);
    });
    // Every purchase within the span, stocked product or not.
    auto &pur = db().pur5;
    pur.useTag(tag::Pur);
    for (pur.top(); !pur.eof(); pur.skip()) {
        steps.step();
        if (pur.isDeleted())
            continue;
        const QDate date = fieldio::readDate(pur.field(fld::PURDate));
        if (date.isValid() && date >= start && date <= end)
            c.purchases += Hundredths::of(fieldio::readDouble(pur.field(fld::PURCost)));
    }
    return c;
}

bool stockOnHand()
{
    const QDate today = clock().today();
    ReportDocument &doc = report();
    doc.width = 85;
    doc.cellCount = 7;
    doc.beginReport();
    doc.titles << QStringLiteral("Stock On-Hand as of ") + dateToShort(today);
    doc.columnCodes = {QStringLiteral("L00"), QStringLiteral("L12"), QStringLiteral("R52"),
                       QStringLiteral("R65"), QStringLiteral("R78"), QStringLiteral("R85")};
    doc.setColumnHeadings({QStringLiteral("Product"), QStringLiteral("Description"),
                           QStringLiteral("On-Hand"), QStringLiteral("On-Order"), QStringLiteral("Level"),
                           QStringLiteral("Stock")});
    // Three heading rows: the rule above, the upper words, the names.
    QStringList upper(doc.cellCount, QString());
    const QStringList words = {QStringLiteral("Quantity"), QStringLiteral("Quantity"),
                               QStringLiteral("Reorder"), QStringLiteral("Need")};
    for (int i = 0; i < words.size(); ++i)
        upper[2 + i] = doc.columnCodes[2 + i] + words[i];
    doc.headings.insert(1, upper);

    progress().showStatus(QStringLiteral("Processing Inventory"));
    RecordProgress steps(db().prod5.recCount());
    Valuator valuator(settings().fifo);
    forEachProduct(steps, [&](const ProductRecord &p) {
        const Valuation v = valuator.valuate(p, today);
        if (!v.inventoryItem)
            return;
        const Hundredths onHand = v.lotQuantity - v.uncoveredSales;
        const Hundredths reorder = Hundredths::of(p.REORDER);
        const bool enough = onHand + v.onOrder >= reorder;
        doc.pageCheck(doc.lineCount + 2, true);
        doc.newRow();
        doc.putColumn(0, trimmedRight(p.PrID));
        doc.putColumn(1, trimmedRight(p.PDesc));
        doc.putColumn(2, amount(onHand));
        doc.putColumn(3, amount(v.onOrder));
        doc.putColumn(4, numberToFixed(p.REORDER, 12, 2));
        doc.putColumn(5, enough ? QStringLiteral("OK") : QStringLiteral("YES"));
        if (!enough)
            doc.setFlags(doc.lastRow(), QStringLiteral("B"));
    });
    if (doc.lastRow() >= 0)
        doc.setFlags(doc.lastRow(), doc.flags(doc.lastRow()) + QStringLiteral("U"));
    progress().showStatus(QString());
    return doc.lastRow() >= 0;
}

bool inventoryAsOf()
{
    const QDate asOf = selection().startDate;
    ReportDocument &doc = report();
    doc.width = 67;
    doc.cellCount = 5;
    doc.beginReport();
    doc.titles << QStringLiteral("Inventory as of ") + dateToShort(asOf);
    doc.columnCodes = {QStringLiteral("L00"), QStringLiteral("L12"), QStringLiteral("R52"),
                       QStringLiteral("R67")};
    doc.setColumnHeadings({QStringLiteral("Product"), QStringLiteral("Description"),
                           QStringLiteral("Quantity"), QStringLiteral("Cost")});

    progress().showStatus(QStringLiteral("Processing Inventory"));
    RecordProgress steps(db().prod5.recCount());
    Valuator valuator(settings().fifo);
    ExactSum total;
    forEachProduct(steps, [&](const ProductRecord &p) {
        const Valuation v = valuator.valuate(p, asOf);
        if (!v.inventoryItem)
            return;
        // The lots alone: sales they did not cover are not taken off here.
        doc.pageCheck(doc.lineCount + 2, true);
        doc.newRow();
        doc.putColumn(0, trimmedRight(p.PrID));
        doc.putColumn(1, trimmedRight(p.PDesc));
        doc.putColumn(2, amount(v.lotQuantity));
        doc.putColumn(3, v.lotValue.text(12));
        total += v.lotValue;
    });
    if (doc.lastRow() >= 0) {
        doc.setFlags(doc.lastRow(), QStringLiteral("U"));
        doc.pageCheck(doc.lineCount + 1, true);
        doc.newRow();
        doc.putColumn(2, QStringLiteral("Total"));
        doc.putColumn(3, total.text(12));
    }
    progress().showStatus(QString());
    return doc.lastRow() >= 0;
}

bool costOfGoodsSold()
{
    const QDate start = selection().startDate, end = selection().endDate;
    ReportDocument &doc = report();
    doc.width = 50;
    doc.cellCount = 3;
    doc.beginReport();
    doc.titles << spanTitle("Cost of Goods Sold from ", start, end);
    doc.columnCodes = {QStringLiteral("L00"), QStringLiteral("R50")};
    doc.setColumnHeadings({QStringLiteral("Description"), QStringLiteral("Amount")});

    progress().showStatus(QStringLiteral("Processing Cost of Goods"));
    const CostOfGoods c = costOfGoods(start, end, settings().fifo);
    costRows(doc, c, 1);
    progress().showStatus(QString());
    return true;
}

bool costOfGoodsDetail()
{
    const QDate start = selection().startDate, end = selection().endDate;
    ReportDocument &doc = report();
    doc.width = 78;
    doc.cellCount = 8;
    doc.beginReport();
    doc.titles << spanTitle("Cost of Goods Detail from ", start, end);
    doc.columnCodes = {QStringLiteral("L00"), QStringLiteral("R18"), QStringLiteral("R30"),
                       QStringLiteral("R42"), QStringLiteral("R53"), QStringLiteral("R64"),
                       QStringLiteral("R78")};
    doc.setColumnHeadings({QStringLiteral("Product"), QStringLiteral("Invoice"), QStringLiteral("Sold"),
                           QStringLiteral("Purchased"), QStringLiteral("Quantity"),
                           QStringLiteral("Unit Cost"), QStringLiteral("Cost")});

    progress().showStatus(QStringLiteral("Processing Cost of Goods"));
    ExactSum listed;   // what the sales within the span drew
    ExactSum drawnAll; // what every sale up to the span's end drew
    const CostOfGoods c =
        costOfGoods(start, end, settings().fifo, [&](const ProductRecord &p, const Valuation &v) {
            bool headed = false;
            for (const Sale &sale : v.sales) {
                ExactSum drawn;
                for (const Draw &d : sale.draws)
                    Valuator::addDrawValue(drawn, v.lots[d.lot], d.quantity);
                drawnAll += drawn;
                if (sale.date < start || sale.date > end)
                    continue;
                if (sale.draws.empty() && sale.uncovered.isZero())
                    continue;
                listed += drawn;
                if (!headed) {
                    doc.pageCheck(doc.lineCount + 2, true);
                    doc.newRow();
                    doc.putColumn(0, trimmedRight(p.PrID));
                    doc.putCell(doc.lastRow(), 1, QStringLiteral("L12") + trimmedRight(p.PDesc));
                    headed = true;
                }
                bool first = true;
                auto saleRow = [&] {
                    // A product carried over to a new page is named again at its top.
                    const bool newPage = doc.pageCheck(doc.lineCount + 1, true);
                    doc.newRow();
                    if (newPage)
                        doc.putColumn(0, trimmedRight(p.PrID));
                    if (first) {
                        doc.putColumn(1, QString::number(sale.invoice));
                        doc.putColumn(2, dateToShort(sale.date));
                        first = false;
                    }
                };
                for (const Draw &d : sale.draws) {
                    const Lot &lot = v.lots[d.lot];
                    saleRow();
                    doc.putColumn(3, dateToShort(lot.date));
                    doc.putColumn(4, d.quantity.text(10));
                    doc.putColumn(5, shareOf(lot.cost, Hundredths::fromUnits(100), lot.bought).text(10));
                    doc.putColumn(6, shareOf(lot.cost, d.quantity, lot.bought).text(12));
                }
                if (!sale.uncovered.isZero()) {
                    saleRow();
                    doc.putColumn(3, QStringLiteral("No Stock"));
                    doc.putColumn(4, sale.uncovered.text(10));
                }
            }
        });
    if (doc.lastRow() >= 0)
        doc.setFlags(doc.lastRow(), QStringLiteral("U"));

    // How the sales listed add up to the cost of goods sold: what earlier
    // sales drew on stock bought later (first in first out, or last in first
    // out running short), purchases that made no lot, and the cents of
    // beginning and ending inventory.
    const ExactSum drawnBefore = ExactSum(c.lotsBefore) - c.beginning;
    const Hundredths listedCents = listed.rounded();
    const Hundredths earlier = (drawnAll - listed - drawnBefore).rounded();
    const Hundredths notStocked = c.purchases - (c.lotsByEnd - c.lotsBefore);
    const Hundredths rounding = c.costOfGoodsSold() - listedCents - earlier - notStocked;
    const struct
    {
        const char *caption;
        Hundredths value;
        bool always;
    } lines[] = {
        {"Cost of Sales Listed", listedCents, true},       {"Earlier Sales from Later Lots", earlier, false},
        {"Purchases Not in Stock", notStocked, false},     {"Rounding", rounding, false},
        {"Cost of Goods Sold", c.costOfGoodsSold(), true},
    };
    doc.pageCheck(doc.lineCount + 5, true);
    for (const auto &l : lines) {
        if (!l.always && l.value.isZero())
            continue;
        if (QLatin1String(l.caption) == QLatin1String("Cost of Goods Sold"))
            doc.setFlags(doc.lastRow(), doc.flags(doc.lastRow()) + QStringLiteral("U"));
        doc.newRow();
        doc.putColumn(0, QLatin1String(l.caption));
        doc.putColumn(6, amount(l.value));
    }
    doc.newRow();
    costRows(doc, c, 6);
    progress().showStatus(QString());
    return true;
}

} // namespace tlv
