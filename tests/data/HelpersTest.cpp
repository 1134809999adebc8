#include "data/Helpers.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

using namespace tlv;

namespace {

// Pins "today" for the window arithmetic.
class OnDay
{
public:
    explicit OnDay(QDate d) : m_clock(d) { setClock(&m_clock); }
    ~OnDay() { setClock(nullptr); }

private:
    FixedClock m_clock;
};

} // namespace

TEST(DateText, ReadsOnlyWholeValidDates)
{
    EXPECT_EQ(textToDate("20240229"), QDate(2024, 2, 29));
    EXPECT_FALSE(textToDate("20230229").isValid());
    EXPECT_FALSE(textToDate("        ").isValid());
    EXPECT_FALSE(textToDate("").isValid());
    EXPECT_FALSE(textToDate(" 2024022").isValid()); // seven characters once trimmed
    EXPECT_FALSE(textToDate("20241301").isValid());
    EXPECT_FALSE(textToDate("2024ab01").isValid());
    EXPECT_EQ(textToDate("19991231"), QDate(1999, 12, 31));
}

TEST(DateText, WritesCenturyCorrectedText)
{
    OnDay day(QDate(2025, 6, 1));
    EXPECT_EQ(dateToText(QDate(2024, 2, 29)), "20240229");
    EXPECT_EQ(dateToText(QDate(1925, 3, 4)), "20250304"); // below the pivot 1965
    EXPECT_EQ(dateToText(QDate(1965, 1, 1)), "19650101");
    EXPECT_EQ(dateToText(QDate(2065, 1, 1)), "19650101");
    EXPECT_EQ(dateToText(QDate(2064, 12, 31)), "20641231");
    EXPECT_EQ(dateToText(QDate()), "");
}

TEST(DateText, CenturyCorrectionKeepsAnImpossibleLeapDay)
{
    // 1924 and 2024 are both leap years, so the leap day moves.
    EXPECT_EQ(centuryCorrect(QDate(1924, 2, 29), 2026), QDate(2024, 2, 29));
    // 2100 is no leap year, so 29 February 2000 stays where it was.
    EXPECT_EQ(centuryCorrect(QDate(2000, 2, 29), 2160), QDate(2000, 2, 29));
    EXPECT_EQ(centuryCorrect(QDate(2000, 3, 1), 2160), QDate(2100, 3, 1));
}

TEST(DateText, TwoDigitYearsFollowTheSixtyYearWindow)
{
    EXPECT_EQ(windowYear(24, 2026), 2024);
    EXPECT_EQ(windowYear(66, 2026), 1966); // the window starts at 1966
    EXPECT_EQ(windowYear(65, 2026), 2065);
    EXPECT_EQ(windowYear(0, 2026), 2000);
    EXPECT_EQ(windowYear(99, 2026), 1999);
    EXPECT_EQ(windowYear(1925, 2025), 2025);
}

TEST(ShortDates, EnglishUs)
{
    OnDay day(QDate(2026, 12, 8));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(dateToShort(QDate(2024, 3, 5), us), "3/5/2024");
    EXPECT_EQ(shortToDate("3/5/2024", us), QDate(2024, 3, 5));
    EXPECT_EQ(shortToDate("3/5/24", us), QDate(2024, 3, 5)); // not 1924
    EXPECT_EQ(shortToDate("12/31/70", us), QDate(1970, 12, 31));
    EXPECT_EQ(shortToDate("1/1/65", us), QDate(2065, 1, 1));
    EXPECT_EQ(shortToDate(" 03/05/2024 ", us), QDate(2024, 3, 5));
    EXPECT_FALSE(shortToDate("2/30/2024", us).isValid());
    EXPECT_FALSE(shortToDate("13/1/2024", us).isValid());
    EXPECT_FALSE(shortToDate("3/5", us).isValid());
    EXPECT_FALSE(shortToDate("3/5/2024/1", us).isValid());
    EXPECT_FALSE(shortToDate("3/x5/2024", us).isValid());
    EXPECT_FALSE(shortToDate("", us).isValid());
    EXPECT_FALSE(shortToDate("3/5/202", us).isValid());
}

TEST(ShortDates, German)
{
    OnDay day(QDate(2026, 12, 8));
    const QLocale de(QLocale::German, QLocale::Germany);
    const QString shown = dateToShort(QDate(2024, 3, 5), de);
    EXPECT_EQ(shown, "05.03.2024");
    EXPECT_EQ(shortToDate(shown, de), QDate(2024, 3, 5));
    EXPECT_EQ(shortToDate("5.3.24", de), QDate(2024, 3, 5));
    EXPECT_EQ(shortToDate("29.02.24", de), QDate(2024, 2, 29));
    EXPECT_FALSE(shortToDate("29.02.23", de).isValid());
}

TEST(DatePattern, LoneLettersAreDoubled)
{
    EXPECT_EQ(normalisedDatePattern(QString("m/d/yy")), "MM/DD/YY");
    EXPECT_EQ(normalisedDatePattern(QString("d.M.yyyy")), "DD.MM.YYYY");
    EXPECT_EQ(normalisedDatePattern(QString("dd.MM.yy")), "DD.MM.YY");
    EXPECT_EQ(normalisedDatePattern(QString("yyyy-MM-dd")), "YYYY-MM-DD");
    EXPECT_EQ(normalisedDatePattern(QString("y/M/d")), "YY/MM/DD");
    EXPECT_EQ(normalisedDatePattern(QLocale(QLocale::English, QLocale::UnitedStates)), "MM/DD/YY");
}

TEST(Money, RoundsTheBinaryValueHalfAwayFromZero)
{
    EXPECT_EQ(roundMoney(0.125), 0.13);
    EXPECT_EQ(roundMoney(-0.125), -0.13);
    EXPECT_EQ(roundMoney(2.675), 2.67); // just below 2.675 in binary
    EXPECT_EQ(roundMoney(16.875), 16.88);
    EXPECT_EQ(roundMoney(0.004), 0.0);
    EXPECT_EQ(roundMoney(0.005), 0.01);
    EXPECT_EQ(roundMoney(-0.005), -0.01);
    EXPECT_EQ(roundMoney(1.005), 1.0); // 1.00499999... in binary
    EXPECT_EQ(roundMoney(1234567.895), 1234567.9);
    EXPECT_EQ(roundMoney(0.1 + 0.2), 0.3);
    EXPECT_FALSE(std::signbit(roundMoney(0.0)));
    EXPECT_FALSE(std::signbit(roundMoney(-0.004))); // never a negative zero
    EXPECT_EQ(roundDecimals(1.0005, 3), 1.0); // 1.000499999... in binary
    EXPECT_EQ(roundDecimals(2.0005, 3), 2.001); // 2.000500000...1 in binary
    EXPECT_EQ(roundDecimals(0.0625, 3), 0.063);
}

TEST(Numbers, FixedTextLikePrintfButWithExactHalves)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(numberToFixed(10.125, 10, 2, us), "     10.13");
    EXPECT_EQ(numberToFixed(2.675, 0, 2, us), "2.67");
    EXPECT_EQ(numberToFixed(-3.5, 12, 2, us), "       -3.50");
    EXPECT_EQ(numberToFixed(1234567.5, 10, 2, de), "1234567,50"); // no group separator
    EXPECT_EQ(numberToFixed(-0.001, 5, 2, us), " 0.00");          // never "-0.00"
    EXPECT_EQ(numberToFixed(12345678.9, 10, 2, us), "12345678.90"); // wider, never cut
    EXPECT_EQ(numberToFixed(42, 6, 0, us), "    42");
    EXPECT_EQ(numberToFixed(7.5, 1, 0, us), "8");
    EXPECT_EQ(numberToFixedC(1.0625, 8, 3), "   1.063");
}

TEST(Numbers, IsNumberFollowsTheLocale)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_TRUE(isNumber("12.50", us));
    EXPECT_TRUE(isNumber("  -3 ", us));
    EXPECT_FALSE(isNumber("12,50", us));
    EXPECT_TRUE(isNumber("12,50", de));
    EXPECT_FALSE(isNumber("1.234,50", de)); // no group separators
    EXPECT_FALSE(isNumber("", us));
    EXPECT_FALSE(isNumber("abc", us));
    EXPECT_FALSE(isNumber("1 2", us));
    bool ok = true;
    EXPECT_EQ(toNumber("  7,25", de, &ok), 7.25);
    EXPECT_TRUE(ok);
    EXPECT_EQ(toNumber("x", de, &ok), 0.0);
    EXPECT_FALSE(ok);
}

TEST(Text, PaddingPositionsAndLists)
{
    EXPECT_EQ(paddedNumber(42, 6), "    42");
    EXPECT_EQ(paddedNumber(1234567, 6), "1234567");
    EXPECT_EQ(paddedNumber(-5, 3), " -5");
    EXPECT_EQ(paddedNumber(0, 2), " 0");
    EXPECT_EQ(blanks(3), "   ");
    EXPECT_EQ(blanks(-1), "");
    EXPECT_EQ(lastPosition("ab", "xxabyyab"), 7);
    EXPECT_EQ(lastPosition("ab", "xxyy"), 0);
    EXPECT_EQ(lastPosition("", "xx"), 0);
    EXPECT_EQ(indexInList({3, 5, 5}, 5), 1);
    EXPECT_EQ(indexInList({3, 5}, 4), -1);
    EXPECT_EQ(indexInList({}, 4), -1);
}
