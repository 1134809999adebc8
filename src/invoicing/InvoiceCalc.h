#pragma once
// The arithmetic below the invoice editor's line grid: line amounts, the
// discount, the subtotal, the two charge lines (a typed amount when its
// percentage is 0, a tax on the taxable lines otherwise), the total, the
// payments and the amount due. Every amount is computed exactly in hundredths
// (data/Money.h) and kept as double. No widgets here: the editor asks for an event and then writes the
// values this class says have changed into its fields.
#include "data/Money.h"
#include "data/Records.h"

#include <QList>
#include <QLocale>
#include <QStringList>

namespace tlv {

// ---- Rounding ---------------------------------------------------------------------

// Rounds a value that exists only as a binary number to cents half away
// from zero, judged on the value exactly as held (so 2.675, held just below,
// gives 2.67); agrees with roundMoney() on every double. Zero is +0. Amounts
// computed from typed or stored values go through data/Money.h instead.
double moneyRound(long double x);

// Rounds a binary value to cents as a tax is rounded; a negative amount is
// rounded as the mirror image of the positive one.
double taxRound(long double x, TaxRounding how);

// ---- Lines ------------------------------------------------------------------------

// Unit price times quantity, both read exactly from a line-item row's texts
// in the user's notation, rounded to cents half away from zero.
Hundredths lineHundredths(const QStringList &row, const QLocale &locale = QLocale());
double lineAmount(const QStringList &row, const QLocale &locale = QLocale());
double lineAmount(double price, double quantity);
// The total the line dialog shows while its fields are edited: the line
// amount the grid will show, negative products rounded away from zero too.
double dialogTotal(double price, double quantity);

// Money fields below the grid, in the grid's total column and in INV6 are
// ten characters wide ("%10.2f").
constexpr int moneyWidth = 10;
// What the editor says when an amount would not fit its field.
QString tooLargeMessage();

// ---- The invoice's totals ----------------------------------------------------------

// What the charge lines are computed with: the two percentages and the two
// switches of the tax definition.
struct ChargeRates
{
    double taxRate1 = 0;
    double taxRate2 = 0;
    int shipTax = 1;  // tax 2 charged on tax 1: 1 No, 2 Yes, 3 When Tax on Items
    int taxRound = 1; // 1 Normal, 2 Up, 3 Down
    static ChargeRates of(const SettingsRecord &s);
};

// The editor's fields below the grid, as flags of the values to be shown again.
enum ShownValue : unsigned {
    ShowDiscountPercent = 1u << 0, // MaskEdit1
    ShowDiscount = 1u << 1,        // MaskEdit8, as -D
    ShowSubtotal = 1u << 2,        // MaskEdit2
    ShowShip = 1u << 3,            // MaskEdit3
    ShowTax = 1u << 4,             // MaskEdit4
    ShowTotal = 1u << 5,           // MaskEdit5
    ShowPayments = 1u << 6,        // MaskEdit6
    ShowDue = 1u << 7,             // MaskEdit7
    // The whole display: the header fields and the line grid (with the
    // discount percent, both charge lines and the amount due as the header
    // buffer holds them).
    ShowDisplay = 1u << 8,
};

class InvoiceCalc
{
public:
    // Works on the header buffer (Discount, Ship, Tax and Due live there) and
    // on the line and payment tables of the in-memory invoice.
    InvoiceCalc(InvoiceRecord &header, const QList<QStringList> &items, const QList<QStringList> &payments);

    void setRates(const ChargeRates &rates) { m_rates = rates; }
    const ChargeRates &rates() const { return m_rates; }
    void setLocale(const QLocale &locale) { m_locale = locale; }

    // ---- Events: what runs when ----
    // The invoice was opened, started or loaded.
    void invoiceOpened();
    // A line was added, changed or deleted, or the line dialog of "Add Item"
    // ended without adding: the charge lines are recomputed, the first one
    // included, and the whole display refreshed.
    void linesChanged();
    // The discount field was left holding this percentage.
    void discountLeft(double percent);
    // The first charge-line field was left holding this amount.
    void firstChargeLeft(double amount);
    // The second charge-line field was left holding this amount.
    void secondChargeLeft(double amount);
    // A payment was added, changed or removed.
    void paymentsChanged();

    // ---- The steps the events are made of ----
    // Subtotal, discount and total from the lines and the two charge lines,
    // then the payments and amount due.
    void refreshDisplayTotals();
    // Payments sum, and the amount due from the total and payments as shown.
    void refreshTotals();
    // Recomputes the charge lines whose percentage is not 0 from the taxable
    // lines (the first only when asked). Does nothing without lines or when
    // both percentages are 0; returns whether it computed.
    bool computeChargeLines(bool recomputeFirst);
    // Total and amount due from the last subtotal and payments sum.
    void totalOnly();

    // ---- Values ----
    double subtotal() const { return m_subtotal.toDouble(); } // after the discount
    double discount() const { return m_discount.toDouble(); } // the amount D taken off
    double total() const { return m_total.toDouble(); }
    double paymentsSum() const { return m_payments.toDouble(); }
    const InvoiceRecord &header() const { return m_header; }

    // Whether every amount below the grid, and every line amount, shows whole
    // in its ten-character field (and so fits the table's fields).
    bool amountsFit() const;

    // The values that changed since the last call, as ShownValue flags; the
    // editor writes exactly these into its fields.
    unsigned takeShown();
    unsigned pendingShown() const { return m_shown; }

private:
    InvoiceRecord &m_header;
    const QList<QStringList> &m_items;
    const QList<QStringList> &m_paymentRows;
    ChargeRates m_rates;
    QLocale m_locale;
    Hundredths m_subtotal;
    Hundredths m_discount;
    Hundredths m_total;
    Hundredths m_payments;
    unsigned m_shown = 0;
};

} // namespace tlv
