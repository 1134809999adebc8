#pragma once
// The sales reports over the selection's date span: the sales summary, sales
// by product, daily income and the tax report. Each reads its tables in date
// order, fills the report document and tells whether there is anything to
// show; when nothing is dated within the span it says so in a message box.
// The caller opens the tables, asks for the span, shows the document and
// ends the report. Amounts come from data/Money.h, so that the reports, the
// invoice on screen and the stored record agree to the cent.

namespace tlv {

// One row per invoice: items, discount, the two charge lines and the total.
// INV6 and ITM5 open.
bool salesSummary();

// Quantity and discounted total per product, in product order, then the
// codes no longer in the product table. INV6, ITM5 and Prod5 open.
bool salesByProduct();

// The payments day by day with each day's total and the invoice's note.
// PMT and INV6 open.
bool dailyIncome();

// Net sales, the sales subject to each charge line and what was charged.
// INV6 and ITM5 open.
bool taxReport();

} // namespace tlv
