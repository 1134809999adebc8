// Exact sums of shares of a cost: rounded once, on the exact value.
#include "data/MoneySum.h"

#include <gtest/gtest.h>

using namespace tlv;

namespace {
Hundredths h(const char *text)
{
    return *Hundredths::parse(QString::fromLatin1(text), QLocale::c());
}
} // namespace

TEST(ExactMoney, SharesAddUpExactlyAndRoundOnce)
{
    struct Share
    {
        const char *amount, *taken, *bought;
    };
    struct Case
    {
        std::vector<Share> shares;
        const char *expected;
    };
    const Case cases[] = {
        {{{"18.45", "1", "10"}}, "1.85"},                      // 1.845, a double's 1.8449999…
        {{{"0.01", "1", "3"}, {"0.01", "1", "6"}}, "0.01"},    // a third and a sixth: half a cent
        {{{"-0.01", "1", "3"}, {"-0.01", "1", "6"}}, "-0.01"}, // and its mirror
        {{{"0.01", "1", "3"}, {"0.01", "1", "7"}}, "0.00"},    // 0.476 of a cent
        {{{"1.00", "1", "3"}, {"1.00", "1", "3"}, {"1.00", "1", "3"}}, "1.00"},
        {{{"10.00", "3", "7"}, {"-10.00", "3", "7"}}, "0.00"},
        {{{"5.00", "1", "0"}}, "0.00"},                       // no quantity bought, no share
        {{{"-2.00", "1", "3"}, {"0.01", "1", "2"}}, "-0.66"}, // -0.66167
    };
    for (const Case &c : cases) {
        ExactSum sum;
        for (const Share &s : c.shares)
            sum.addShare(h(s.amount), h(s.taken), h(s.bought));
        EXPECT_EQ(sum.rounded(), h(c.expected)) << c.expected;
    }
    // Shares over six large primes, whose common multiple outgrows 128 bits:
    // what is added and taken away again leaves nothing behind.
    ExactSum many(h("3.00"));
    const std::int64_t primes[] = {999999937, 999999929, 999999893, 999999883, 999999797, 999999761};
    for (std::int64_t p : primes)
        many.addShare(Hundredths::fromUnits(1), Hundredths::fromUnits(1), Hundredths::fromUnits(p));
    for (std::int64_t p : primes)
        many -= [&] {
            ExactSum s;
            s.addShare(Hundredths::fromUnits(1), Hundredths::fromUnits(1), Hundredths::fromUnits(p));
            return s;
        }();
    EXPECT_TRUE((many - ExactSum(h("3.00"))).isZero());
    many.addShare(Hundredths::fromUnits(1), Hundredths::fromUnits(1), Hundredths::fromUnits(2));
    for (std::int64_t p : primes)
        many.addShare(Hundredths::fromUnits(1), Hundredths::fromUnits(p - 1), Hundredths::fromUnits(p));
    // 3.00 + 0.005 + six times (1 - 1/p) cents: 3.005 + 0.06 - a hair, 3.06.
    EXPECT_EQ(many.rounded(), h("3.06"));
    EXPECT_EQ((ExactSum(h("0.10")) - many).rounded(), h("-2.96"));
}
