// The invoice's arithmetic: rounding, line amounts, discount, charge lines,
// totals and amount due, and which values each event shows again.
#include "invoicing/InvoiceCalc.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"

#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

using namespace tlv;

namespace {

QStringList line(double qty, double price, bool tax1, bool tax2)
{
    QStringList row(itemColumnCount);
    row[ItemPrID] = QStringLiteral("P");
    row[ItemQty] = numberToFixed(qty, 9, 2);
    row[ItemPrice] = numberToFixed(price, 8, 2);
    row[ItemTax1] = tax1 ? "t" : "f";
    row[ItemTax2] = tax2 ? "t" : "f";
    return row;
}

QStringList payment(double amount)
{
    return {QStringLiteral("3/1/2026"), numberToFixed(amount, 10, 2)};
}

class Totals : public ::testing::Test
{
protected:
    InvoiceRecord header;
    QList<QStringList> items;
    QList<QStringList> payments;
    InvoiceCalc calc{header, items, payments};

    void rates(double rate1, double rate2, int shipTax, int taxRound)
    {
        calc.setRates(ChargeRates{rate1, rate2, shipTax, taxRound});
    }
};

} // namespace

// ---- Rounding ---------------------------------------------------------------------------

TEST(MoneyRounding, AgreesWithTheSharedHelperOnEveryDouble)
{
    const double fixed[] = {0.125, -0.125, 2.675, -2.675, 16.875,      0.005,      -0.005,
                            0.004, 0.0,    -0.0,  1.005,  1234567.895, -0.0049999, 99.995};
    for (double x : fixed)
        EXPECT_EQ(moneyRound(x), roundMoney(x)) << x;
    QRandomGenerator gen(20260301);
    for (int i = 0; i < 20000; ++i) {
        // Thousandths hit the halves; the random tails the near misses.
        const double x = (int(gen.bounded(2000000)) - 1000000) / 1000.0;
        const double y = (gen.generateDouble() - 0.5) * 20000.0;
        ASSERT_EQ(moneyRound(x), roundMoney(x)) << x;
        ASSERT_EQ(moneyRound(y), roundMoney(y)) << y;
    }
    EXPECT_EQ(moneyRound(0.125), 0.13);
    EXPECT_EQ(moneyRound(2.675), 2.67);
    EXPECT_FALSE(std::signbit(moneyRound(-0.004))); // never a negative zero
}

TEST(MoneyRounding, KeepsThePrecisionOfALongDoubleProduct)
{
    // 0.01 is held just above a cent; half of it is just above half a cent.
    // Squeezed into a double first, the product falls just below the half.
    const long double product = static_cast<long double>(0.01) * 1.5;
    EXPECT_EQ(moneyRound(product), 0.02);
    EXPECT_EQ(roundMoney(static_cast<double>(product)), 0.01);
    EXPECT_EQ(lineAmount(0.01, 1.5), 0.02);
    EXPECT_EQ(lineAmount(1.25, -2), -2.5);
}

TEST(TaxRounding, NormalUpAndDown)
{
    EXPECT_EQ(taxRound(2.0625L, TaxRounding::Normal), 2.06);
    EXPECT_EQ(taxRound(2.0625L, TaxRounding::Up), 2.07);
    EXPECT_EQ(taxRound(2.0625L, TaxRounding::Down), 2.06);
    EXPECT_EQ(taxRound(2.0651L, TaxRounding::Normal), 2.07);
    EXPECT_EQ(taxRound(2.0649L, TaxRounding::Normal), 2.06);
    EXPECT_EQ(taxRound(2.0699L, TaxRounding::Down), 2.06);
    // Up needs at least a hundredth of a cent, so computing noise adds nothing.
    EXPECT_EQ(taxRound(2.0000999L, TaxRounding::Up), 2.00);
    EXPECT_EQ(taxRound(2.0002L, TaxRounding::Up), 2.01);
    // Exact cents stay as they are under every rounding.
    for (TaxRounding how : {TaxRounding::Normal, TaxRounding::Up, TaxRounding::Down}) {
        EXPECT_EQ(taxRound(0.10L, how), 0.10);
        EXPECT_EQ(taxRound(-0.10L, how), -0.10);
        EXPECT_EQ(taxRound(0.0L, how), 0.0);
    }
    EXPECT_EQ(taxRoundingOf(1), TaxRounding::Normal);
    EXPECT_EQ(taxRoundingOf(2), TaxRounding::Up);
    EXPECT_EQ(taxRoundingOf(3), TaxRounding::Down);
    EXPECT_EQ(taxRoundingOf(0), TaxRounding::Down);
    EXPECT_EQ(taxRoundingOf(7), TaxRounding::Down);
}

TEST(TaxRounding, ACreditNotesTaxMirrorsItsInvoice)
{
    EXPECT_EQ(taxRound(-0.104L, TaxRounding::Normal), -0.10);
    EXPECT_EQ(taxRound(-0.1051L, TaxRounding::Normal), -0.11);
    EXPECT_EQ(taxRound(-2.0625L, TaxRounding::Up), -2.07);
    EXPECT_FALSE(std::signbit(taxRound(-0.001L, TaxRounding::Normal)));
    // Every amount from -50.00 to 50.00 at 8.25 % and 7 %: the credit's tax is
    // exactly the negated invoice tax, whatever the rounding.
    for (TaxRounding how : {TaxRounding::Normal, TaxRounding::Up, TaxRounding::Down})
        for (int cents = 1; cents <= 5000; ++cents)
            for (double rate : {8.25, 7.0}) {
                const double base = cents / 100.0;
                const double tax = taxRound(rate / 100.0L * base, how);
                const double credit = taxRound(rate / 100.0L * -base, how);
                ASSERT_EQ(credit, -tax) << base << " at " << rate;
            }
}

// ---- Lines ----------------------------------------------------------------------------

TEST(LineAmounts, ReadFromTheRowTextsInTheUsersNotation)
{
    EXPECT_EQ(lineAmount(line(2, 10, false, true)), 20.0);
    EXPECT_EQ(lineAmount(line(-2, 1.25, false, false)), -2.5);
    EXPECT_EQ(lineAmount(line(3, 0.333, false, false)), 0.99); // the price as its text holds it: 0.33
    QStringList german = line(0, 0, false, false);
    german[ItemQty] = QStringLiteral("     1,50");
    german[ItemPrice] = QStringLiteral("   10,05");
    // 15.075 and 15.015 are exact halves, whatever binary makes of 10.05 and 10.01.
    EXPECT_EQ(lineAmount(german, QLocale(QLocale::German, QLocale::Germany)), 15.08);
    german[ItemPrice] = QStringLiteral("   10,01");
    EXPECT_EQ(lineAmount(german, QLocale(QLocale::German, QLocale::Germany)), 15.02);
    EXPECT_EQ(lineAmount(QStringList{"short"}), 0.0);
}

TEST(LineAmounts, TheDialogTotalIsTheLineAmountTheGridShows)
{
    EXPECT_EQ(dialogTotal(1.25, -2), -2.5);
    EXPECT_EQ(numberToFixed(dialogTotal(1.25, -2), 10, 2), "     -2.50");
    EXPECT_EQ(dialogTotal(0.15, -0.5), -0.08); // -0.075, a half cent away from zero
    EXPECT_EQ(dialogTotal(0.15, 0.5), 0.08);
    EXPECT_EQ(dialogTotal(1.25, 2), 2.5);
    EXPECT_EQ(dialogTotal(0, -3), 0.0);
}

// ---- Totals, discount and charge lines --------------------------------------------------

TEST_F(Totals, SecondChargeLineTaxesTheTypedFirstLineByRounding)
{
    header.Ship = 5.00; // typed: its percentage is 0
    items << line(2, 10.00, false, true);
    for (auto [taxRound, tax] : {std::pair{1, 2.06}, {2, 2.07}, {3, 2.06}}) {
        rates(0, 8.25, 2, taxRound);
        calc.linesChanged();
        EXPECT_EQ(header.Tax, tax) << "TaxRound " << taxRound;
        EXPECT_EQ(header.Ship, 5.00);
        EXPECT_EQ(calc.subtotal(), 20.00);
        EXPECT_DOUBLE_EQ(calc.total(), 25.00 + tax);
        EXPECT_DOUBLE_EQ(header.Due, 25.00 + tax);
    }
}

TEST_F(Totals, ShipTaxDecidesWhetherTheFirstLineIsTaxed)
{
    header.Ship = 5.00;
    items << line(2, 10.00, true, false); // no line carries the second flag
    rates(0, 8.25, 3, 1);
    calc.linesChanged();
    EXPECT_EQ(header.Tax, 0.0); // B2 stays 0 and is not given the first line

    rates(0, 8.25, 2, 1);
    calc.linesChanged();
    EXPECT_EQ(header.Tax, 0.41); // 8.25 % of 5.00 = 0.4125

    items << line(1, 20.00, false, true);
    rates(0, 8.25, 3, 1);
    calc.linesChanged();
    EXPECT_EQ(header.Tax, 2.06); // (20.00 + 5.00) * 8.25 %
    rates(0, 8.25, 1, 1);
    calc.linesChanged();
    EXPECT_EQ(header.Tax, 1.65); // 20.00 * 8.25 %
}

TEST_F(Totals, DiscountIsRoundedAwayFromZeroAndTakenOffTheTaxBases)
{
    items << line(1, 1.00, false, true);
    rates(0, 10, 1, 1);
    calc.discountLeft(12.5);
    EXPECT_EQ(header.Discount, 12.5);
    EXPECT_EQ(calc.discount(), 0.13); // 0.125 away from zero
    EXPECT_EQ(calc.subtotal(), 0.87);
    EXPECT_EQ(header.Tax, 0.09); // 10 % of 0.87
    EXPECT_EQ(numberToFixed(-calc.discount(), 10, 2), "     -0.13");
    EXPECT_DOUBLE_EQ(calc.total(), 0.96);
    EXPECT_TRUE(calc.takeShown() & ShowDiscount);
    // A negative discount is a surcharge in the subtotal, but taxes stay on the lines.
    calc.discountLeft(-10);
    EXPECT_EQ(calc.discount(), -0.10);
    EXPECT_EQ(calc.subtotal(), 1.10);
    EXPECT_EQ(header.Tax, 0.10);
}

TEST_F(Totals, WithoutLinesOrRatesTheChargeLinesKeepTheirTypedAmounts)
{
    rates(5, 8.25, 2, 1);
    header.Ship = 3.00;
    header.Tax = 4.00;
    calc.linesChanged();
    EXPECT_EQ(header.Ship, 3.00);
    EXPECT_EQ(header.Tax, 4.00);
    EXPECT_EQ(calc.total(), 7.00);
    EXPECT_FALSE(calc.computeChargeLines(true));
    calc.firstChargeLeft(6.00);
    EXPECT_EQ(header.Tax, 4.00);
    EXPECT_EQ(calc.total(), 10.00);
    EXPECT_EQ(header.Due, 10.00);

    // Both percentages 0: lines change nothing in the charge lines either.
    items << line(1, 100, true, true);
    rates(0, 0, 2, 1);
    calc.linesChanged();
    EXPECT_EQ(header.Ship, 6.00);
    EXPECT_EQ(header.Tax, 4.00);
    EXPECT_EQ(calc.total(), 110.00);
}

TEST_F(Totals, TypedChargeLinesStandUntilTheNextLineChange)
{
    rates(5, 8, 2, 1);
    items << line(1, 100, true, true);
    calc.linesChanged();
    EXPECT_EQ(header.Ship, 5.00);
    EXPECT_EQ(header.Tax, 8.40); // 8 % of 105
    calc.takeShown();

    // Typing the first line taxes the typed amount, and shows it unchanged.
    calc.firstChargeLeft(7.00);
    EXPECT_EQ(header.Ship, 7.00);
    EXPECT_EQ(header.Tax, 8.56);
    EXPECT_EQ(calc.takeShown(), unsigned(ShowTax | ShowTotal | ShowDue));
    EXPECT_DOUBLE_EQ(calc.total(), 115.56);

    // A discount recomputes the second line only.
    calc.discountLeft(10);
    EXPECT_EQ(header.Ship, 7.00);
    EXPECT_EQ(header.Tax, 7.76); // 8 % of (90 + 7)
    EXPECT_TRUE(calc.takeShown() & ShowDisplay);

    // Typing the second line touches only the total and amount due.
    calc.secondChargeLeft(1.00);
    EXPECT_EQ(calc.takeShown(), unsigned(ShowTotal | ShowDue));
    EXPECT_DOUBLE_EQ(calc.total(), 98.00);

    // The next line change computes both again.
    calc.linesChanged();
    EXPECT_EQ(header.Ship, 4.50);
    EXPECT_EQ(header.Tax, 7.56); // 8 % of (90 + 4.50)
}

TEST_F(Totals, AmountDueFollowsThePaymentsAsShown)
{
    rates(0, 8.25, 2, 1);
    header.Ship = 5.00;
    items << line(2, 10.00, false, true);
    payments << payment(30.00);
    calc.invoiceOpened();
    EXPECT_EQ(calc.paymentsSum(), 30.00);
    EXPECT_DOUBLE_EQ(header.Due, -5.00);
    calc.linesChanged();
    EXPECT_EQ(numberToFixed(header.Due, 10, 2), "     -2.94");

    payments.clear();
    calc.takeShown();
    calc.paymentsChanged();
    EXPECT_EQ(calc.takeShown(), unsigned(ShowPayments | ShowDue));
    EXPECT_EQ(calc.paymentsSum(), 0.0);
    EXPECT_DOUBLE_EQ(header.Due, 27.06);

    payments << payment(10.10) << payment(0.20);
    calc.paymentsChanged();
    EXPECT_EQ(numberToFixed(header.Due, 10, 2), "     16.76");
}

TEST_F(Totals, ACreditNoteComputesTheMirrorOfItsInvoice)
{
    rates(6.5, 8.25, 2, 1);
    items << line(3, 4.35, true, true) << line(1, 19.99, false, true);
    calc.discountLeft(7.5);
    calc.linesChanged();
    ASSERT_NE(header.Ship, 0.0);
    const double ship = header.Ship, tax = header.Tax, total = calc.total();

    items.clear();
    items << line(-3, 4.35, true, true) << line(-1, 19.99, false, true);
    calc.linesChanged();
    EXPECT_EQ(header.Ship, -ship);
    EXPECT_EQ(header.Tax, -tax);
    EXPECT_DOUBLE_EQ(calc.total(), -total);
}

TEST_F(Totals, OpeningShowsTheWholeDisplay)
{
    calc.invoiceOpened();
    const unsigned shown = calc.takeShown();
    for (unsigned v : {ShowDisplay, ShowDiscountPercent, ShowDiscount, ShowSubtotal, ShowShip, ShowTax,
                       ShowTotal, ShowPayments, ShowDue})
        EXPECT_TRUE(shown & v) << v;
    EXPECT_EQ(calc.takeShown(), 0u);
}
