#pragma once
// Stock is never stored: what is on hand, on order and what it is worth follow
// from the purchases (Pur5, tag "Pur") and the invoice lines (ITM5, tag
// "ItmP"), each purchase a lot that the sales draw on first in first out or
// last in first out. Quantities are whole hundredths and values exact sums
// of shares of each lot's cost, rounded to cents only where they are shown.
#include "data/MoneySum.h"
#include "data/Records.h"

#include <QDate>
#include <vector>

namespace tlv {

// One purchase with a quantity, dated on or before the valuation's date.
struct Lot
{
    QDate date;
    Hundredths bought; // PURQty
    Hundredths cost;   // PURCost, the whole quantity's cost
    Hundredths left;
};

// What one invoice line drew from the lots.
struct Draw
{
    int lot = 0; // index into Valuation::lots
    Hundredths quantity;
};
struct Sale
{
    int invoice = 0;
    QDate date;
    Hundredths quantity;
    std::vector<Draw> draws;
    Hundredths uncovered; // what no lot absorbed
};

struct Valuation
{
    bool inventoryItem = false; // false: the product is not stocked and all else is 0
    Hundredths lotQuantity;     // what the lots still hold
    ExactSum lotValue;          // what that is worth at each lot's unit cost
    Hundredths onOrder;         // bought after the date
    Hundredths uncoveredSales;  // sold and drawn from no lot
    std::vector<Lot> lots;      // oldest first
    std::vector<Sale> sales;    // when asked for: the product's sales, in invoice-number order
};

// Values products one at a time; Pur5, ITM5 and INV6 open. Invoice dates
// once looked up are kept for the next product and the next date.
class Valuator
{
public:
    explicit Valuator(bool fifo) : m_fifo(fifo) {}

    // The product's stock as of the date: lots from its purchases dated on
    // or before it, its sales on or before it drawn from them in invoice-number
    // order (lines of missing or deleted invoices are no sales; sales after
    // the date are uncovered), purchases after it on order.
    Valuation valuate(const ProductRecord &product, const QDate &asOf, bool withSales = false);

    // The value taken from a lot by a quantity: cost × quantity / bought.
    static void addDrawValue(ExactSum &sum, const Lot &lot, Hundredths quantity)
    {
        sum.addShare(lot.cost, quantity, lot.bought);
    }

private:
    // The invoice's date; false when there is no such invoice.
    bool invoiceDate(int number, QDate &date);
    void draw(std::vector<Lot> &lots, Hundredths &q, const QDate &saleDate, std::vector<Draw> *draws) const;

    bool m_fifo;
    std::vector<qint64> m_dates; // by invoice number, filled as they are sought
};

} // namespace tlv
