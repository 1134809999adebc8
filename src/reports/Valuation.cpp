#include "reports/Valuation.h"

#include "data/Cp1252.h"
#include "data/Database.h"
#include "data/Helpers.h"

#include <cstring>

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
    // Invoice numbers have six digits: one slot each, holding 0 not yet
    // sought, -1 no such invoice, -2 an invoice without a date (before every
    // date, as its blank key sorts), otherwise the date's day number.
    constexpr int numbers = 1000000;
    const bool slotted = number >= 0 && number < numbers;
    if (slotted) {
        if (m_dates.empty())
            m_dates.assign(numbers, 0);
        if (const qint64 seen = m_dates[size_t(number)]; seen != 0) {
            date = seen > 0 ? QDate::fromJulianDay(seen) : QDate();
            return seen != -1;
        }
    }
    auto &inv = db().inv6;
    // A marked invoice is no longer a sale.
    const bool found = inv.seek(paddedNumber(number, 6)) == 0 && !inv.isDeleted();
    date = found ? fieldio::readDate(inv.field(fld::IDate)) : QDate();
    if (slotted)
        m_dates[size_t(number)] = !found ? -1 : date.isValid() ? date.toJulianDay() : -2;
    return found;
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
        // A purchase without a date counts from the beginning of time.
        if (!date.isValid() || date <= asOf)
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
    const QByteArray itmBytes = toCp1252(itmKey);
    for (itm.seek(itmKey); !itm.eof(); itm.skip()) {
        // The stored bytes, blank-padded alike: a line of another product ends the run.
        if (std::memcmp(f4str(itmProd), itmBytes.constData(), size_t(itmBytes.size())) != 0)
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
