#pragma once
// The stock reports: stock on hand today, inventory as of a date, the cost
// of goods sold over a span and the lots behind each of its sales. Each
// values every stocked product through the Valuator, first in first out or
// last in first out as the settings say, fills the report document and
// tells whether there is anything to show. The caller opens Prod5, Pur5,
// ITM5 and INV6, asks for the dates, shows the document and ends the report.
#include "data/MoneySum.h"

#include <QDate>
#include <functional>

namespace tlv {

struct ProductRecord;
struct Valuation;

// Stock on hand as of the clock's today: what the lots hold less the sales
// they did not cover, on order, the reorder level, and "YES" (bold) where
// on hand and on order do not reach it.
bool stockOnHand();

// Quantity and value of the lots of each stocked product as of the
// selection's starting date, with the total value.
bool inventoryAsOf();

// Beginning inventory (the day before the span), the purchases within the
// span, ending inventory and the cost of goods sold.
bool costOfGoodsSold();

// For each sale within the span, the lots it drew on (purchase date,
// quantity, unit cost, cost) and what no lot covered; then how the cost of
// those sales adds up to the cost of goods sold, and the same five figures.
bool costOfGoodsDetail();

// The figures of the cost of goods sold over a span, exact.
struct CostOfGoods
{
    ExactSum beginning;    // lot values the day before the span
    ExactSum ending;       // lot values on the span's last day
    Hundredths purchases;  // PURCost of every purchase dated within the span
    Hundredths lotsBefore; // cost of the lots bought before the span
    Hundredths lotsByEnd;  // cost of the lots bought up to its last day
    // Beginning and ending inventory are taken to cents before they are
    // combined, as the report shows them.
    Hundredths beginningCents() const { return beginning.rounded(); }
    Hundredths endingCents() const { return ending.rounded(); }
    Hundredths total() const { return beginningCents() + purchases; }
    Hundredths costOfGoodsSold() const { return total() - endingCents(); }
};

// Values every stocked product the day before `start` and on `end` and adds
// up the purchases within the span; `atEnd` sees each product's valuation on
// `end` with its sales. Prod5, Pur5, ITM5 and INV6 open.
CostOfGoods costOfGoods(const QDate &start, const QDate &end, bool fifo,
                        const std::function<void(const ProductRecord &, const Valuation &)> &atEnd = {});

} // namespace tlv
