#pragma once
// Exact sums of shares of amounts: the value of stock is the cost of each lot
// × the quantity left / the quantity bought, a fraction of a cent that is
// neither a whole number of hundredths nor a binary double (a lot of 10
// bought for 18.45 with 1 left is worth 1.845, shown 1.85; a double holds
// 1.8449999… and shows 1.84). The sum keeps every share as an exact fraction,
// so a report total is the exact sum of its rows, rounded to cents only where
// it is shown.
#include "data/Money.h"

#include <cstdint>
#include <map>

namespace tlv {

class ExactSum
{
public:
    ExactSum() = default;
    ExactSum(Hundredths whole) { add(whole); }

    void add(Hundredths whole);
    // Adds amount × numerator / denominator; nothing when the denominator is 0.
    void addShare(Hundredths amount, Hundredths numerator, Hundredths denominator);

    ExactSum &operator+=(const ExactSum &other);
    ExactSum &operator-=(const ExactSum &other);
    friend ExactSum operator+(ExactSum a, const ExactSum &b) { return a += b; }
    friend ExactSum operator-(ExactSum a, const ExactSum &b) { return a -= b; }

    // To cents, half away from zero, judged on the exact value.
    Hundredths rounded() const;
    // Shown or printed: "%width.2f" of the exact value.
    QString text(int width, const QLocale &locale = QLocale()) const { return rounded().text(width, locale); }
    bool isZero() const;

private:
    // Numerator in cents for each denominator; a whole amount has denominator 1.
    std::map<std::int64_t, __int128> m_parts;
};

} // namespace tlv
