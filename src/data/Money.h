#pragma once
// Exact money arithmetic. Amounts, quantities, percentages and rates are
// kept as whole numbers of hundredths, read from the decimal text the user
// typed or the two decimals a table stores, and combined in integers; a
// product such as rate × base is rounded to cents on its exact value, never
// on a binary approximation of it (7 % of 10.00 is 0.70 under every rounding,
// 6.5 % of 1.00 is 0.07 rounded normally). The invoice editor, printed
// documents, statements and reports all compute through here, so that what
// is shown, printed and stored agrees to the cent.
#include <QLocale>
#include <QString>

#include <compare>
#include <cstdint>
#include <optional>

namespace tlv {

class Hundredths
{
public:
    constexpr Hundredths() = default;
    static constexpr Hundredths fromUnits(std::int64_t units)
    {
        Hundredths h;
        h.m_units = units;
        return h;
    }
    // A value held with at most two decimals (an N field with two decimals,
    // a typed amount): the hundredths it stands for.
    static Hundredths of(double value);
    // A number as typed or shown in the user's notation ("  12.50", "-3",
    // "12,5" under a comma locale), read exactly from its digits; a third
    // decimal and beyond round half away from zero. Nothing for text that is
    // not a number.
    static std::optional<Hundredths> parse(const QString &text, const QLocale &locale = QLocale());
    // The same, with blank or unreadable text as 0.
    static Hundredths read(const QString &text, const QLocale &locale = QLocale());

    constexpr std::int64_t units() const { return m_units; }
    // The nearest double, never -0: what an N field stores.
    double toDouble() const;
    // Shown or printed: "%width.2f" in the user's notation.
    QString text(int width, const QLocale &locale = QLocale()) const;
    // The same appended to `out`, with the decimal point given (a locale's
    // decimalPoint()): a report writes many amounts with one look-up.
    void appendText(QString &out, int width, QStringView point) const;
    bool isZero() const { return m_units == 0; }
    // Whether "%width.2f" shows it whole, sign included: a money field of ten
    // characters holds 9999999.99 and -999999.99.
    bool fitsIn(int width) const;

    friend constexpr Hundredths operator+(Hundredths a, Hundredths b)
    {
        return fromUnits(a.m_units + b.m_units);
    }
    friend constexpr Hundredths operator-(Hundredths a, Hundredths b)
    {
        return fromUnits(a.m_units - b.m_units);
    }
    friend constexpr Hundredths operator-(Hundredths a) { return fromUnits(-a.m_units); }
    Hundredths &operator+=(Hundredths b)
    {
        m_units += b.m_units;
        return *this;
    }
    Hundredths &operator-=(Hundredths b)
    {
        m_units -= b.m_units;
        return *this;
    }
    friend constexpr auto operator<=>(Hundredths, Hundredths) = default;

private:
    std::int64_t m_units = 0;
};

// A product of two amounts held in hundredths (quantity × unit price) kept
// whole, in ten-thousandths, so that sums of unrounded lines stay exact; it
// is rounded to cents, half away from zero, only where it is shown or where
// a rounding is asked for.
class TenThousandths
{
public:
    constexpr TenThousandths() = default;
    static constexpr TenThousandths fromUnits(std::int64_t units)
    {
        TenThousandths t;
        t.m_units = units;
        return t;
    }
    static constexpr TenThousandths of(Hundredths h) { return fromUnits(h.units() * 100); }
    static constexpr TenThousandths productOf(Hundredths a, Hundredths b)
    {
        return fromUnits(a.units() * b.units());
    }

    constexpr std::int64_t units() const { return m_units; }
    // To cents, half away from zero.
    Hundredths rounded() const;
    // Shown or printed: "%width.2f" of the exact value, halves away from zero.
    QString text(int width, const QLocale &locale = QLocale()) const { return rounded().text(width, locale); }

    friend constexpr TenThousandths operator+(TenThousandths a, TenThousandths b)
    {
        return fromUnits(a.m_units + b.m_units);
    }
    friend constexpr TenThousandths operator-(TenThousandths a, TenThousandths b)
    {
        return fromUnits(a.m_units - b.m_units);
    }
    TenThousandths &operator+=(TenThousandths b)
    {
        m_units += b.m_units;
        return *this;
    }
    friend constexpr auto operator<=>(TenThousandths, TenThousandths) = default;

private:
    std::int64_t m_units = 0;
};

// The three ways of rounding a computed tax to cents.
enum class TaxRounding {
    Normal = 1, // half a cent or more goes up
    Up = 2,     // a hundredth of a cent or more goes up
    Down = 3,   // the fraction of a cent is dropped
};
// The rounding a TaxRound setting asks for: 1 Normal, 2 Up, anything else Down.
TaxRounding taxRoundingOf(int taxRound);

// A line's amount: unit price × quantity, rounded to cents half away from zero.
Hundredths lineAmountOf(Hundredths price, Hundredths quantity);
// `percent` % of `base`, rounded to cents half away from zero (a discount).
Hundredths percentOf(Hundredths percent, Hundredths base);
// The tax at `rate` % on `base`, rounded to cents as `how` says; a negative
// base (a credit note) gives exactly the negated tax of its positive mirror.
Hundredths taxOf(Hundredths rate, Hundredths base, TaxRounding how);
// `percent` % of an unrounded amount (a discount on quantity × price before
// the line is rounded), rounded to cents half away from zero.
Hundredths percentOf(Hundredths percent, TenThousandths base);
// What a discount of `percent` % leaves of a taxable base: the base less its
// rounded discount; nothing is taken off for a percentage of 0 or less.
Hundredths discountedBase(Hundredths percent, Hundredths base);
// Whether the first charge line is part of the second's base: always when
// "Tax 2 charged on Tax 1" (ShipTax) is 2, and when it is 3 only for an
// invoice whose base for the second line (its flagged lines, discounted) is
// not 0, a credit's negative base included.
bool firstChargeInSecondBase(int shipTax, Hundredths secondBase);
// amount × numerator / denominator, rounded to cents half away from zero: the
// share of an amount (the cost of part of a lot). 0 when the denominator is 0.
Hundredths shareOf(Hundredths amount, Hundredths numerator, Hundredths denominator);

} // namespace tlv
