#include "data/MoneySum.h"

#include <numeric>
#include <vector>

namespace tlv {

namespace {

using Wide = __int128;
using UWide = unsigned __int128;

// Floor division: the remainder is never negative.
Wide floorDiv(Wide n, std::int64_t d)
{
    Wide q = n / d;
    if (n % d != 0 && n < 0)
        --q;
    return q;
}

std::uint64_t gcd64(std::uint64_t a, std::uint64_t b)
{
    while (b != 0) {
        const std::uint64_t t = a % b;
        a = b;
        b = t;
    }
    return a;
}

// A non-negative whole number of any size, for the common denominator of many
// shares: 32-bit limbs, least significant first, no leading zero limbs.
class Natural
{
public:
    static Natural of(UWide v)
    {
        Natural n;
        for (; v != 0; v >>= 32)
            n.m_limbs.push_back(static_cast<std::uint32_t>(v));
        return n;
    }
    void multiply(std::uint64_t m)
    {
        UWide carry = 0;
        for (std::uint32_t &limb : m_limbs) {
            const UWide cur = UWide(limb) * m + carry;
            limb = static_cast<std::uint32_t>(cur);
            carry = cur >> 32;
        }
        for (; carry != 0; carry >>= 32)
            m_limbs.push_back(static_cast<std::uint32_t>(carry));
        trim();
    }
    // Divides in place; returns the remainder.
    std::uint64_t divide(std::uint64_t d)
    {
        UWide rest = 0;
        for (size_t i = m_limbs.size(); i-- > 0;) {
            const UWide cur = (rest << 32) | m_limbs[i];
            m_limbs[i] = static_cast<std::uint32_t>(cur / d);
            rest = cur % d;
        }
        trim();
        return static_cast<std::uint64_t>(rest);
    }
    std::uint64_t remainder(std::uint64_t d) const
    {
        Natural copy = *this;
        return copy.divide(d);
    }
    void add(const Natural &b)
    {
        if (m_limbs.size() < b.m_limbs.size())
            m_limbs.resize(b.m_limbs.size(), 0);
        std::uint64_t carry = 0;
        for (size_t i = 0; i < m_limbs.size(); ++i) {
            const std::uint64_t cur =
                std::uint64_t(m_limbs[i]) + (i < b.m_limbs.size() ? b.m_limbs[i] : 0) + carry;
            m_limbs[i] = static_cast<std::uint32_t>(cur);
            carry = cur >> 32;
        }
        if (carry)
            m_limbs.push_back(static_cast<std::uint32_t>(carry));
    }
    // this × a whole number of up to 128 bits.
    Natural times(UWide m) const
    {
        Natural sum;
        int shift = 0;
        for (; m != 0; m >>= 32, ++shift) {
            Natural part = *this;
            part.multiply(static_cast<std::uint32_t>(m));
            part.m_limbs.insert(part.m_limbs.begin(), shift, 0);
            part.trim();
            sum.add(part);
        }
        return sum;
    }
    friend int compare(const Natural &a, const Natural &b)
    {
        if (a.m_limbs.size() != b.m_limbs.size())
            return a.m_limbs.size() < b.m_limbs.size() ? -1 : 1;
        for (size_t i = a.m_limbs.size(); i-- > 0;)
            if (a.m_limbs[i] != b.m_limbs[i])
                return a.m_limbs[i] < b.m_limbs[i] ? -1 : 1;
        return 0;
    }

private:
    void trim()
    {
        while (!m_limbs.empty() && m_limbs.back() == 0)
            m_limbs.pop_back();
    }
    std::vector<std::uint32_t> m_limbs;
};

} // namespace

void ExactSum::add(Hundredths whole)
{
    if (whole.units() == 0)
        return;
    Wide &n = m_parts[1];
    n += whole.units();
    if (n == 0)
        m_parts.erase(1);
}

void ExactSum::addShare(Hundredths amount, Hundredths numerator, Hundredths denominator)
{
    std::int64_t d = denominator.units();
    if (d == 0)
        return;
    Wide n = Wide(amount.units()) * numerator.units();
    if (d < 0) {
        n = -n;
        d = -d;
    }
    // The whole cents go to the whole part, the fraction (reduced) to its own.
    const Wide whole = floorDiv(n, d);
    Wide rest = n - whole * d;
    add(Hundredths::fromUnits(static_cast<std::int64_t>(whole)));
    if (rest == 0)
        return;
    const std::uint64_t g = gcd64(static_cast<std::uint64_t>(rest), static_cast<std::uint64_t>(d));
    rest /= g;
    d /= static_cast<std::int64_t>(g);
    Wide &part = m_parts[d];
    part += rest;
    if (part >= d) {
        part -= d;
        add(Hundredths::fromUnits(1));
    }
    if (part == 0)
        m_parts.erase(d);
}

ExactSum &ExactSum::operator+=(const ExactSum &other)
{
    for (const auto &[d, n] : other.m_parts) {
        if (d == 1) {
            add(Hundredths::fromUnits(static_cast<std::int64_t>(n)));
        } else {
            Wide &part = m_parts[d];
            part += n;
            if (part >= d) {
                part -= d;
                add(Hundredths::fromUnits(1));
            }
            if (part == 0)
                m_parts.erase(d);
        }
    }
    return *this;
}

ExactSum &ExactSum::operator-=(const ExactSum &other)
{
    for (const auto &[d, n] : other.m_parts) {
        if (d == 1) {
            add(Hundredths::fromUnits(static_cast<std::int64_t>(-n)));
        } else {
            // Less n/d is a whole cent less and (d - n)/d more.
            add(Hundredths::fromUnits(-1));
            Wide &part = m_parts[d];
            part += d - n;
            if (part >= d) {
                part -= d;
                add(Hundredths::fromUnits(1));
            }
            if (part == 0)
                m_parts.erase(d);
        }
    }
    return *this;
}

bool ExactSum::isZero() const
{
    return m_parts.empty();
}

Hundredths ExactSum::rounded() const
{
    // Every fraction n/d is kept with 0 < n < d, so the sum is a whole number
    // of cents I and a fraction F = sum of n/d with 0 <= F < K (K fractions).
    Wide whole = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> fractions;
    for (const auto &[d, n] : m_parts) {
        if (d == 1)
            whole += n;
        else
            fractions.push_back({std::uint64_t(d), std::uint64_t(n)});
    }
    if (fractions.empty())
        return Hundredths::fromUnits(static_cast<std::int64_t>(whole));
    // F = R / L over the least common denominator L, both exact.
    Natural l = Natural::of(1);
    for (const auto &f : fractions)
        l.multiply(f.first / gcd64(l.remainder(f.first), f.first));
    Natural r;
    for (const auto &[d, n] : fractions) {
        Natural t = l;
        t.divide(d);
        t.multiply(n);
        r.add(t);
    }
    Natural twoR = r;
    twoR.multiply(2);
    const bool negative = whole < 0 && compare(r, l.times(UWide(-whole))) < 0;
    std::uint64_t lo = 0, hi = fractions.size();
    if (!negative) {
        // Half away from zero upwards: the largest m with (2m - 1) L <= 2R.
        while (lo < hi) {
            const std::uint64_t mid = (lo + hi + 1) / 2;
            Natural t = l;
            t.multiply(2 * mid - 1);
            if (compare(t, twoR) <= 0)
                lo = mid;
            else
                hi = mid - 1;
        }
    } else {
        // Downwards: the smallest m with 2R <= (2m + 1) L.
        while (lo < hi) {
            const std::uint64_t mid = (lo + hi) / 2;
            Natural t = l;
            t.multiply(2 * mid + 1);
            if (compare(twoR, t) <= 0)
                hi = mid;
            else
                lo = mid + 1;
        }
    }
    return Hundredths::fromUnits(static_cast<std::int64_t>(whole + Wide(lo)));
}

} // namespace tlv
