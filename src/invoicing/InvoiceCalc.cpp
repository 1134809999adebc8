#include "invoicing/InvoiceCalc.h"

#include "data/Helpers.h"
#include "data/InvoiceMemory.h"

#include <cmath>

namespace tlv {

namespace {

// Splits a non-negative amount into whole cents and the fraction of a cent,
// both exact: the fraction is taken with one fused multiply-add, so it is not
// disturbed by the rounding of x * 100.
long double wholeCents(long double x, long double &fraction)
{
    long double cents = std::floor(x * 100.0L);
    fraction = std::fma(x, 100.0L, -cents);
    if (fraction < 0) {
        cents -= 1;
        fraction = std::fma(x, 100.0L, -cents);
    } else if (fraction >= 1) {
        cents += 1;
        fraction = std::fma(x, 100.0L, -cents);
    }
    return cents;
}

double fromCents(long double cents, bool negative)
{
    // Whole cents below 2^53 divide into the nearest double of the exact result.
    const double v = static_cast<double>(cents) / 100.0;
    if (v == 0.0)
        return 0.0;
    return negative ? -v : v;
}

Hundredths readAmount(QString text, const QLocale &locale)
{
    text.remove(QLatin1Char(' '));
    return Hundredths::read(text, locale);
}

bool flagSet(const QStringList &row, int column)
{
    return column < row.size() && row[column].trimmed() == QLatin1String("t");
}

} // namespace

double moneyRound(long double x)
{
    if (!std::isfinite(x))
        return static_cast<double>(x);
    long double fraction = 0;
    long double cents = wholeCents(std::fabs(x), fraction);
    if (fraction >= 0.5L)
        cents += 1;
    return fromCents(cents, x < 0);
}

double taxRound(long double x, TaxRounding how)
{
    if (!std::isfinite(x))
        return static_cast<double>(x);
    long double fraction = 0;
    long double cents = wholeCents(std::fabs(x), fraction);
    switch (how) {
    case TaxRounding::Normal:
        if (fraction >= 0.5L)
            cents += 1;
        break;
    case TaxRounding::Up:
        // A hundredth of a cent is the least that counts, so that the noise
        // of a percentage such as 8.25 / 100 never adds a cent.
        if (fraction >= 0.01L)
            cents += 1;
        break;
    case TaxRounding::Down:
        break;
    }
    return fromCents(cents, x < 0);
}

Hundredths lineHundredths(const QStringList &row, const QLocale &locale)
{
    if (row.size() <= ItemPrice)
        return {};
    return lineAmountOf(readAmount(row[ItemPrice], locale), readAmount(row[ItemQty], locale));
}

double lineAmount(const QStringList &row, const QLocale &locale)
{
    return lineHundredths(row, locale).toDouble();
}

double lineAmount(double price, double quantity)
{
    return lineAmountOf(Hundredths::of(price), Hundredths::of(quantity)).toDouble();
}

double dialogTotal(double price, double quantity)
{
    // The exact line amount: a negative product of a half cent shows the
    // same cent as the grid, which pushing it a thousandth further from
    // zero only approximated.
    return lineAmount(price, quantity);
}

QString tooLargeMessage()
{
    return QStringLiteral("An amount would be too large for the invoice: a line total, charge line, total, "
                          "payments sum or amount due can be at most 9999999.99, or -999999.99 below zero.");
}

ChargeRates ChargeRates::of(const SettingsRecord &s)
{
    ChargeRates r;
    r.taxRate1 = s.TaxRate1;
    r.taxRate2 = s.TaxRate2;
    r.shipTax = s.ShipTax;
    r.taxRound = s.TaxRound;
    return r;
}

InvoiceCalc::InvoiceCalc(InvoiceRecord &header, const QList<QStringList> &items,
                         const QList<QStringList> &payments)
    : m_header(header), m_items(items), m_paymentRows(payments)
{}

unsigned InvoiceCalc::takeShown()
{
    const unsigned shown = m_shown;
    m_shown = 0;
    return shown;
}

// ---- Events ----

void InvoiceCalc::invoiceOpened()
{
    m_shown |= ShowDisplay | ShowDiscountPercent | ShowShip | ShowTax | ShowDue;
    refreshDisplayTotals();
}

void InvoiceCalc::linesChanged()
{
    computeChargeLines(true);
    invoiceOpened(); // the whole display again
}

void InvoiceCalc::discountLeft(double percent)
{
    m_header.Discount = percent;
    computeChargeLines(false);
    invoiceOpened();
}

void InvoiceCalc::firstChargeLeft(double amount)
{
    m_header.Ship = amount;
    computeChargeLines(false);
    totalOnly();
}

void InvoiceCalc::secondChargeLeft(double amount)
{
    m_header.Tax = amount;
    totalOnly();
}

void InvoiceCalc::paymentsChanged()
{
    refreshTotals();
}

// ---- Steps ----

void InvoiceCalc::refreshDisplayTotals()
{
    Hundredths lines;
    for (const QStringList &row : m_items)
        lines += lineHundredths(row, m_locale);
    m_discount = percentOf(Hundredths::of(m_header.Discount), lines);
    m_subtotal = lines - m_discount;
    m_total = m_subtotal + Hundredths::of(m_header.Ship) + Hundredths::of(m_header.Tax);
    m_shown |= ShowDiscount | ShowSubtotal | ShowTotal;
    refreshTotals();
}

void InvoiceCalc::refreshTotals()
{
    Hundredths paid;
    for (const QStringList &row : m_paymentRows)
        if (row.size() > PaymentAmount)
            paid += readAmount(row[PaymentAmount], m_locale);
    m_payments = paid;
    // The amount due follows the two amounts as they are shown, in cents.
    m_header.Due = (m_total - m_payments).toDouble();
    m_shown |= ShowPayments | ShowDue;
}

bool InvoiceCalc::computeChargeLines(bool recomputeFirst)
{
    if ((m_rates.taxRate1 == 0 && m_rates.taxRate2 == 0) || m_items.isEmpty())
        return false;
    Hundredths base1, base2;
    for (const QStringList &row : m_items) {
        const Hundredths amount = lineHundredths(row, m_locale);
        if (flagSet(row, ItemTax1))
            base1 += amount;
        if (flagSet(row, ItemTax2))
            base2 += amount;
    }
    const Hundredths percent = Hundredths::of(m_header.Discount);
    base1 = discountedBase(percent, base1);
    base2 = discountedBase(percent, base2);
    const TaxRounding rounding = taxRoundingOf(m_rates.taxRound);
    if (recomputeFirst) {
        if (m_rates.taxRate1 != 0)
            m_header.Ship = taxOf(Hundredths::of(m_rates.taxRate1), base1, rounding).toDouble();
        m_shown |= ShowShip;
    }
    if (firstChargeInSecondBase(m_rates.shipTax, base2))
        base2 += Hundredths::of(m_header.Ship);
    if (m_rates.taxRate2 != 0)
        m_header.Tax = taxOf(Hundredths::of(m_rates.taxRate2), base2, rounding).toDouble();
    m_shown |= ShowTax;
    return true;
}

void InvoiceCalc::totalOnly()
{
    m_total = m_subtotal + Hundredths::of(m_header.Ship) + Hundredths::of(m_header.Tax);
    m_header.Due = (m_total - m_payments).toDouble();
    m_shown |= ShowTotal | ShowDue;
}

bool InvoiceCalc::amountsFit() const
{
    for (const QStringList &row : m_items)
        if (!lineHundredths(row, m_locale).fitsIn(moneyWidth))
            return false;
    for (const Hundredths h : {-m_discount, m_subtotal, Hundredths::of(m_header.Ship),
                               Hundredths::of(m_header.Tax), m_total, m_payments, m_total - m_payments})
        if (!h.fitsIn(moneyWidth))
            return false;
    return true;
}

} // namespace tlv
