#include "shell/Chooser.h"

#include <gtest/gtest.h>

using namespace tlv;

TEST(Chooser, ListsInButtonOrder)
{
    ASSERT_EQ(chooserLists().size(), 8);
    QStringList buttons;
    for (const ChooserList &l : chooserLists())
        buttons << l.button;
    EXPECT_EQ(buttons, QStringList({"Invoices", "Bills", "Statements", "Sales Reports", "Inventory Reports",
                                    "Customer Profile", "Address Labels", "Bulk Mail"}));
    EXPECT_EQ(chooserList(7)->heading, "Print Address Labels for");
    EXPECT_EQ(chooserList(4)->entries.size(), 6);
    EXPECT_EQ(chooserList(0), nullptr);
    EXPECT_EQ(chooserList(9), nullptr);
}

namespace {
// Seven pixels a character, ten more for the heading's bold face.
int sevenEach(const QString &line, bool heading)
{
    return 7 * static_cast<int>(line.size()) + (heading ? 10 : 0);
}
} // namespace

TEST(Chooser, CustomerProfileGridIsThreeRowsAsWideAsItsWidestLine)
{
    const ChooserList &l = *chooserList(6);
    const QRect r = chooserGeometry(l, 24, QSize(601, 301), sevenEach);
    EXPECT_EQ(r.width(), 7 * 22); // "for Selected Customers"
    EXPECT_EQ(r.height(), 3 * 24);
    // Centred at three quarters of the width, truncating: 450 - 77, 150 - 36.
    EXPECT_EQ(r.left(), 450 - 77);
    EXPECT_EQ(r.top(), 150 - 36);
}

TEST(Chooser, HeadingWiderThanEntries)
{
    // "Print Address Labels for" (24) is longer than any of its entries.
    EXPECT_EQ(chooserGeometry(*chooserList(7), 20, QSize(800, 400), sevenEach).width(), 7 * 24 + 10);
}

TEST(Chooser, OnlyEntryRowsRunSomething)
{
    const ChooserList &l = *chooserList(1);
    EXPECT_EQ(chooserEntryForRow(l, 0), 0);
    EXPECT_EQ(chooserEntryForRow(l, 1), 1);
    EXPECT_EQ(chooserEntryForRow(l, 4), 4);
    EXPECT_EQ(chooserEntryForRow(l, 5), 0);
    EXPECT_EQ(chooserEntryForRow(l, -1), 0);
}
