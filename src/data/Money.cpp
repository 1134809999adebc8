#include "data/Money.h"

#include "data/Helpers.h"

#include <algorithm>
#include <cmath>

namespace tlv {

namespace {

using Wide = __int128;

Wide absWide(Wide v)
{
    return v < 0 ? -v : v;
}

// num / den in cents, both exact, rounded by looking at the remainder: half
// away from zero for money; for taxes as the setting says, a negative value
// rounded as the mirror of its positive.
enum class Rule { HalfAway, TaxNormal, TaxUp, TaxDown };

Hundredths roundQuotient(Wide num, Wide den, Rule rule)
{
    if (den == 0)
        return {};
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const bool negative = num < 0;
    const Wide a = absWide(num);
    Wide whole = a / den;
    const Wide rest = a % den; // the fraction of a cent is rest / den
    switch (rule) {
    case Rule::HalfAway:
    case Rule::TaxNormal:
        if (2 * rest >= den)
            ++whole;
        break;
    case Rule::TaxUp:
        // A hundredth of a cent or more goes up.
        if (100 * rest >= den)
            ++whole;
        break;
    case Rule::TaxDown:
        break;
    }
    return Hundredths::fromUnits(static_cast<std::int64_t>(negative ? -whole : whole));
}

} // namespace

Hundredths Hundredths::of(double value)
{
    if (!std::isfinite(value))
        return {};
    return fromUnits(std::llround(value * 100.0));
}

std::optional<Hundredths> Hundredths::parse(const QString &text, const QLocale &locale)
{
    QString t = text.trimmed();
    const QString sep = locale.decimalPoint();
    if (sep != QLatin1String("."))
        t.replace(sep, QLatin1String("."));
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        negative = t[i++] == QLatin1Char('-');
    Wide whole = 0;
    int digits = 0;
    for (; i < t.size() && t[i].isDigit(); ++i, ++digits) {
        whole = whole * 10 + t[i].digitValue();
        if (whole > Wide(INT64_MAX) / 100)
            return std::nullopt;
    }
    Wide fraction = 0; // in thousandths, the rest only decides rounding
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        int places = 0;
        for (; i < t.size() && t[i].isDigit(); ++i, ++digits, ++places) {
            if (places < 3)
                fraction = fraction * 10 + t[i].digitValue();
        }
        for (; places < 3; ++places)
            fraction *= 10;
    }
    if (digits == 0 || i != t.size())
        return std::nullopt;
    Wide units = whole * 100 + fraction / 10;
    const int third = int(fraction % 10);
    if (third >= 5)
        ++units; // half a hundredth or more, away from zero
    return fromUnits(static_cast<std::int64_t>(negative ? -units : units));
}

Hundredths Hundredths::read(const QString &text, const QLocale &locale)
{
    if (const auto h = parse(text, locale))
        return *h;
    return of(toNumber(text, locale));
}

double Hundredths::toDouble() const
{
    const double v = static_cast<double>(m_units) / 100.0;
    return v == 0.0 ? 0.0 : v;
}

QString Hundredths::text(int width, const QLocale &locale) const
{
    QString out;
    appendText(out, width, locale.decimalPoint());
    return out;
}

void Hundredths::appendText(QString &out, int width, QStringView point) const
{
    // What numberToFixed(toDouble(), width, 2) shows, written straight from
    // the cents: reports put hundreds of thousands of amounts on their pages.
    std::uint64_t a =
        m_units < 0 ? 0 - static_cast<std::uint64_t>(m_units) : static_cast<std::uint64_t>(m_units);
    char16_t digits[24];
    int n = 0;
    do {
        digits[n++] = char16_t(u'0' + a % 10);
        a /= 10;
    } while (a != 0 || n < 3);
    const qsizetype length = n + point.size() + (m_units < 0 ? 1 : 0);
    out.reserve(out.size() + std::max<qsizetype>(width, length));
    for (qsizetype i = length; i < width; ++i)
        out += QLatin1Char(' ');
    if (m_units < 0)
        out += QLatin1Char('-');
    for (int i = n - 1; i >= 2; --i)
        out += QChar(digits[i]);
    out += point;
    out += QChar(digits[1]);
    out += QChar(digits[0]);
}

TaxRounding taxRoundingOf(int taxRound)
{
    switch (taxRound) {
    case 1:
        return TaxRounding::Normal;
    case 2:
        return TaxRounding::Up;
    default:
        return TaxRounding::Down;
    }
}

Hundredths lineAmountOf(Hundredths price, Hundredths quantity)
{
    // cents × hundredths = ten-thousandths of a unit; a hundredth of that is a cent.
    return roundQuotient(Wide(price.units()) * quantity.units(), 100, Rule::HalfAway);
}

Hundredths percentOf(Hundredths percent, Hundredths base)
{
    return roundQuotient(Wide(base.units()) * percent.units(), 10000, Rule::HalfAway);
}

Hundredths taxOf(Hundredths rate, Hundredths base, TaxRounding how)
{
    const Rule rule = how == TaxRounding::Normal ? Rule::TaxNormal
                      : how == TaxRounding::Up   ? Rule::TaxUp
                                                 : Rule::TaxDown;
    return roundQuotient(Wide(base.units()) * rate.units(), 10000, rule);
}

Hundredths shareOf(Hundredths amount, Hundredths numerator, Hundredths denominator)
{
    return roundQuotient(Wide(amount.units()) * numerator.units(), denominator.units(), Rule::HalfAway);
}

Hundredths TenThousandths::rounded() const
{
    return roundQuotient(Wide(m_units), 100, Rule::HalfAway);
}

Hundredths percentOf(Hundredths percent, TenThousandths base)
{
    // ten-thousandths × hundredths of a percent: a cent is 10^6 of them.
    return roundQuotient(Wide(base.units()) * percent.units(), 1000000, Rule::HalfAway);
}

Hundredths discountedBase(Hundredths percent, Hundredths base)
{
    return percent > Hundredths() ? base - percentOf(percent, base) : base;
}

bool firstChargeInSecondBase(int shipTax, Hundredths secondBase)
{
    return shipTax == 2 || (shipTax == 3 && !secondBase.isZero());
}

bool Hundredths::fitsIn(int width) const
{
    // At least "0.05": three digits, the point, and a place for a minus.
    const std::int64_t a = m_units < 0 ? -m_units : m_units;
    const qsizetype digits = std::max<qsizetype>(QString::number(a).size(), 3);
    return digits + 1 + (m_units < 0 ? 1 : 0) <= width;
}

} // namespace tlv
