#include "widgets/MoneyEdit.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

using tlv::MoneyEdit;

namespace {

// A shown, focused money field in the given locale.
struct Field
{
    explicit Field(int digits = 7, int decimals = 2,
                   QLocale locale = QLocale(QLocale::English, QLocale::UnitedStates))
        : edit(digits, decimals)
    {
        edit.setLocale(locale);
        edit.setValue(0);
        edit.resize(160, 28);
        edit.show();
        edit.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&edit));
        edit.setFocus();
        QCoreApplication::processEvents();
        edit.selectAll();
    }
    void type(const QString &keys) { QTest::keyClicks(&edit, keys); }
    void leave()
    {
        // Leaving the field: what a Tab to another control does.
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&edit, &out);
    }
    MoneyEdit edit;
};

// Counts pixels that are clearly red in a grab of the widget.
int redPixels(QWidget &w)
{
    const QImage img = w.grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                ++n;
        }
    return n;
}

} // namespace

TEST(MoneyEdit, SeparatorKeyReformatsInTheFieldsFormat)
{
    Field f;
    f.type("12");
    EXPECT_EQ(f.edit.text(), "12");
    f.type(".");
    EXPECT_EQ(f.edit.text(), "     12.00");
    // The decimals are selected, so typing replaces them.
    f.type("5");
    f.leave();
    EXPECT_EQ(f.edit.text(), "     12.50");
    EXPECT_DOUBLE_EQ(f.edit.value(), 12.5);
}

TEST(MoneyEdit, GermanSeparatorIsTheComma)
{
    Field f(5, 2, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(f.edit.text(), "    0,00");
    f.type("3");
    f.type("."); // not the separator here: refused
    EXPECT_EQ(f.edit.text(), "3");
    f.type(",");
    EXPECT_EQ(f.edit.text(), "    3,00");
    f.type("75");
    f.leave();
    EXPECT_EQ(f.edit.text(), "    3,75");
    EXPECT_DOUBLE_EQ(f.edit.value(), 3.75);
    f.edit.setValue(1234.5);
    EXPECT_EQ(f.edit.text(), " 1234,50");
}

TEST(MoneyEdit, LoneMinusStaysInFrontOfTheZeroAndShowsRed)
{
    Field f;
    f.type("-");
    EXPECT_EQ(f.edit.text(), "-");
    EXPECT_TRUE(f.edit.showsNegative());
    f.type(".");
    EXPECT_EQ(f.edit.text(), "-0.00");
    f.type("25");
    f.leave();
    EXPECT_EQ(f.edit.text(), "     -0.25");
    EXPECT_DOUBLE_EQ(f.edit.value(), -0.25);
    EXPECT_TRUE(f.edit.showsNegative());
    EXPECT_GT(redPixels(f.edit), 10) << "the minus amount must be painted red";
}

TEST(MoneyEdit, LoneMinusPadsToThePreviousLength)
{
    // A minus typed in front of the formatted zero keeps the field's length.
    EXPECT_EQ(MoneyEdit::normalisedText("-      0.00", 10, 2, QLocale::c()), "      -0.00");
    EXPECT_EQ(MoneyEdit::normalisedText("-", 10, 2, QLocale::c()), "-0.00");
    EXPECT_EQ(MoneyEdit::normalisedText("- 3", 10, 2, QLocale::c()), "     -3.00");
    EXPECT_EQ(MoneyEdit::normalisedText("", 10, 2, QLocale::c()), "      0.00");
}

TEST(MoneyEdit, BlackAgainWhenTheMinusGoesAndNoColourWhenSwitchedOff)
{
    Field f;
    f.type("-4");
    EXPECT_TRUE(f.edit.showsNegative());
    QTest::keyClick(&f.edit, Qt::Key_Home);
    QTest::keyClick(&f.edit, Qt::Key_Delete);
    EXPECT_EQ(f.edit.text(), "4");
    EXPECT_FALSE(f.edit.showsNegative());
    EXPECT_EQ(f.edit.palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(redPixels(f.edit), 0);

    f.edit.setColoured(false);
    f.edit.setValue(-12);
    EXPECT_FALSE(f.edit.showsNegative());
    EXPECT_EQ(redPixels(f.edit), 0);
}

TEST(MoneyEdit, IntegerPositionsAreLimitedAndJunkRefused)
{
    Field f(2, 2); // a percentage
    f.type("123");
    EXPECT_EQ(f.edit.text(), "12");
    f.edit.selectAll();
    f.type("-12");
    EXPECT_EQ(f.edit.text(), "-1") << "the sign takes one of the positions";
    f.edit.selectAll();
    f.type("a5x%");
    EXPECT_EQ(f.edit.text(), "5");
    f.type(".");
    f.type("125");
    EXPECT_EQ(f.edit.text(), " 5.12") << "no more decimals than the field has";
    f.leave();
    EXPECT_DOUBLE_EQ(f.edit.value(), 5.12);
}

TEST(MoneyEdit, ThreeDecimalFieldsAndWideValues)
{
    Field f(4, 3);
    EXPECT_EQ(f.edit.text(), "   0.000");
    f.type("2.5");
    f.leave();
    EXPECT_EQ(f.edit.text(), "   2.500");
    // A stored value wider than the field is shown whole, never cut.
    MoneyEdit amount(7, 2);
    amount.setValue(12345678.5);
    EXPECT_EQ(amount.text(), "12345678.50");
    EXPECT_DOUBLE_EQ(amount.value(), 12345678.5);
}
