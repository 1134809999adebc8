#include "reports/Valuation.h"

#include "data/Database.h"
#include "data/Helpers.h"

namespace tlv {

namespace {

QString trimmedRight(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return text.left(n);
}

} // namespace

bool Valuator::invoiceDate(int number, QDate &date)
{
    if (auto it = m_dates.find(number); it != m_dates.end()) {
        date = it->second;
        return date.isValid();
    }
    auto &inv = db().inv6;
    QDate found;
    // A marked invoice is no longer a sale.
    if (inv.seek(paddedNumber(number, 6)) == 0 && !inv.isDeleted())
        found = fieldio::readDate(inv.field(fld::IDate));
    m_dates.emplace(number, found);
    date = found;
    return found.isValid();
}

void Valuator::draw(std::vector<Lot> &lots, Hundredths &q, const QDate &saleDate,
                    std::vector<Draw> *draws) const
{
    const Hundredths zero;
    // A lot holding q gives q, and the sale is covered; one holding less
    // gives all it has.
    auto take = [&](size_t i) {
        Lot &lot = lots[i];
        const Hundredths taken = lot.left >= q ? q : lot.left;
        lot.left -= taken;
        q -= taken;
        if (draws && !taken.isZero())
            draws->push_back({int(i), taken});
    };
    auto fromOldest = [&] {
        for (size_t i = 0; i < lots.size(); ++i) {
            take(i);
            if (q <= zero)
                break;
        }
    };
    if (m_fifo) {
        // A return (a negative quantity) goes back into the oldest lot.
        fromOldest();
        return;
    }
    // Newest first, but never a lot bought after the sale; what is left
    // comes from the oldest onwards, whatever their dates. A return is
    // drawn from no lot.
    for (size_t i = lots.size(); i-- > 0 && q > zero;) {
        if (lots[i].date > saleDate || lots[i].left <= zero)
            continue;
        take(i);
    }
    if (q > zero)
        fromOldest();
}

Valuation Valuator::valuate(const ProductRecord &product, const QDate &asOf, bool withSales)
{
    Valuation v;
    if (!product.lInven)
        return v;
    v.inventoryItem = true;
    const Hundredths zero;

    // The purchase tag is upper-cased: an identifier typed or imported in
    // lower case finds its purchases only through its upper-case key.
    const QString id = trimmedRight(product.PrID);
    const QString upperId = keyUpper(id);
    auto &pur = db().pur5;
    pur.useTag(tag::Pur);
    FIELD4 *purProd = pur.field(fld::PURProd), *purDate = pur.field(fld::PURDate),
           *purQty = pur.field(fld::PURQty), *purCost = pur.field(fld::PURCost);
    const QString purKey = upperId.leftJustified(f4len(purProd), QLatin1Char(' '), true);
    for (pur.seek(purKey); !pur.eof(); pur.skip()) {
        if (keyUpper(trimmedRight(fieldio::readText(purProd))) != upperId)
            break;
        if (pur.isDeleted())
            continue;
        const Hundredths qty = Hundredths::of(fieldio::readDouble(purQty));
        if (qty <= zero)
            continue;
        const QDate date = fieldio::readDate(purDate);
        if (date.isValid() && date <= asOf)
            v.lots.push_back({date, qty, Hundredths::of(fieldio::readDouble(purCost)), qty});
        else
            v.onOrder += qty;
    }

    // The line tag holds the identifier as stored, as the lines copy it
    // from their product.
    auto &itm = db().itm5;
    itm.useTag(tag::ItmP);
    FIELD4 *itmProd = itm.field(fld::PrID), *itmNo = itm.field(fld::IvNo), *itmQty = itm.field(fld::Qty);
    const QString itmKey = id.leftJustified(f4len(itmProd), QLatin1Char(' '), true);
    for (itm.seek(itmKey); !itm.eof(); itm.skip()) {
        if (trimmedRight(fieldio::readText(itmProd)) != id)
            break;
        if (itm.isDeleted())
            continue;
        const int number = fieldio::readInt(itmNo);
        QDate date;
        if (!invoiceDate(number, date))
            continue;
        Hundredths q = Hundredths::of(fieldio::readDouble(itmQty));
        Sale sale{number, date, q, {}, {}};
        if (date <= asOf && !v.lots.empty())
            draw(v.lots, q, date, withSales ? &sale.draws : nullptr);
        v.uncoveredSales += q;
        sale.uncovered = q;
        if (withSales)
            v.sales.push_back(std::move(sale));
    }

    for (const Lot &lot : v.lots) {
        v.lotQuantity += lot.left;
        addDrawValue(v.lotValue, lot, lot.left);
    }
    return v;
}

} // namespace tlv
