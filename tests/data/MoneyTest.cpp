// Exact money arithmetic: taxes, discounts and line amounts on decimal values
// a binary double cannot hold, under every tax rounding; reading typed text;
// what fits a money field.
#include "data/Money.h"

#include <gtest/gtest.h>

using namespace tlv;

namespace {

Hundredths h(const char *text)
{
    return *Hundredths::parse(QString::fromLatin1(text), QLocale::c());
}

} // namespace

TEST(ExactMoney, TaxesAtRatesBinaryCannotHoldUnderEveryRounding)
{
    struct Case
    {
        const char *rate, *base, *normal, *up, *down;
    };
    const Case cases[] = {
        {"7", "10.00", "0.70", "0.70", "0.70"},      // a whole 0.70: never 0.69
        {"6.5", "1.00", "0.07", "0.07", "0.06"},     // an exact half cent
        {"6", "38.25", "2.30", "2.30", "2.29"},      // 3 x 12.75 at 6 %
        {"8.25", "26.00", "2.15", "2.15", "2.14"},   // 2.145
        {"8.25", "25.00", "2.06", "2.07", "2.06"},   // 2.0625
        {"8.25", "12.00", "0.99", "0.99", "0.99"},   // a whole cent stays under Down
        {"9.5", "1.30", "0.12", "0.13", "0.12"},     // 0.1235
        {"9.5", "0.10", "0.01", "0.01", "0.00"},     // 0.0095
        {"7", "1.50", "0.11", "0.11", "0.10"},       // 0.105
        {"8.25", "0.12", "0.01", "0.01", "0.00"},    // 0.0099: a hundredth of a cent short of Up
        {"6.5", "-1.00", "-0.07", "-0.07", "-0.06"}, // a credit mirrors its invoice
        {"7", "-10.00", "-0.70", "-0.70", "-0.70"},  {"0", "99.99", "0.00", "0.00", "0.00"},
    };
    for (const Case &c : cases) {
        const Hundredths rate = h(c.rate), base = h(c.base);
        EXPECT_EQ(taxOf(rate, base, TaxRounding::Normal), h(c.normal)) << c.rate << " % of " << c.base;
        EXPECT_EQ(taxOf(rate, base, TaxRounding::Up), h(c.up)) << c.rate << " % of " << c.base;
        EXPECT_EQ(taxOf(rate, base, TaxRounding::Down), h(c.down)) << c.rate << " % of " << c.base;
    }
    EXPECT_EQ(taxRoundingOf(1), TaxRounding::Normal);
    EXPECT_EQ(taxRoundingOf(2), TaxRounding::Up);
    EXPECT_EQ(taxRoundingOf(0), TaxRounding::Down);
}

TEST(ExactMoney, DiscountsLineAmountsAndSharesRoundHalfAwayFromZero)
{
    struct Case
    {
        Hundredths (*op)(Hundredths, Hundredths);
        const char *a, *b, *expected;
    };
    const Case cases[] = {
        {percentOf, "6.5", "1.00", "0.07"},      {percentOf, "12.5", "1.00", "0.13"},
        {percentOf, "7", "10.00", "0.70"},       {percentOf, "8.25", "26.00", "2.15"},
        {percentOf, "12.5", "-1.00", "-0.13"},   {percentOf, "10", "0.04", "0.00"},
        {lineAmountOf, "12.75", "3", "38.25"},   {lineAmountOf, "0.15", "0.5", "0.08"},
        {lineAmountOf, "0.15", "-0.5", "-0.08"}, {lineAmountOf, "10.01", "1.5", "15.02"},
        {lineAmountOf, "0.01", "0.49", "0.00"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.op(h(c.a), h(c.b)), h(c.expected)) << c.a << " and " << c.b;
    // A lot of 10 bought for 18.45 with 1 left is worth 1.85, not 1.84.
    EXPECT_EQ(shareOf(h("18.45"), h("1"), h("10")), h("1.85"));
    EXPECT_EQ(shareOf(h("18.45"), h("1"), h("0")), h("0"));
}

TEST(ExactMoney, TextIsReadExactlyAndShownWhole)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(Hundredths::parse("     12.50")->units(), 1250);
    EXPECT_EQ(Hundredths::parse("12,5", german)->units(), 1250);
    EXPECT_EQ(Hundredths::parse("-0.005")->units(), -1); // the third decimal rounds away from zero
    EXPECT_EQ(Hundredths::parse("0.0049")->units(), 0);
    EXPECT_EQ(Hundredths::parse("+3")->units(), 300);
    EXPECT_EQ(Hundredths::parse(".5")->units(), 50);
    for (const char *bad : {"", " ", "-", "1 2", "abc", "1.2.3", "12,5"})
        EXPECT_FALSE(Hundredths::parse(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(Hundredths::read("junk").units(), 0);
    EXPECT_EQ(Hundredths::of(0.07 * 100 / 100).units(), 7);
    EXPECT_FALSE(std::signbit(Hundredths::fromUnits(0).toDouble()));
    EXPECT_EQ(h("2.30").text(10), "      2.30");
    EXPECT_EQ(h("-0.13").text(10, german), "     -0,13");

    EXPECT_TRUE(h("9999999.99").fitsIn(10));
    EXPECT_FALSE(h("10000000.00").fitsIn(10));
    EXPECT_TRUE(h("-999999.99").fitsIn(10));
    EXPECT_FALSE(h("-1000000.00").fitsIn(10));
    EXPECT_TRUE(h("-0.05").fitsIn(5));
    EXPECT_FALSE(h("-0.05").fitsIn(4));
}

TEST(ExactMoney, UnroundedProductsStayExactUntilRounded)
{
    // 1.5 × 3.33 is 4.995: shown 5.00, and 10 % of it is 0.4995, so 0.50.
    const TenThousandths p = TenThousandths::productOf(h("1.5"), h("3.33"));
    EXPECT_EQ(p.rounded(), h("5.00"));
    EXPECT_EQ(percentOf(h("10"), p), h("0.50"));
    EXPECT_EQ(percentOf(h("10"), TenThousandths::productOf(h("-1.5"), h("3.33"))), h("-0.50"));
    EXPECT_EQ((p + p).text(6), "  9.99");
    EXPECT_EQ(TenThousandths::productOf(h("0.15"), h("-0.5")).text(6), " -0.08");
}
