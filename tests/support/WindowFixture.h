#pragma once
// A fresh data directory with the settings loaded and a scripted Ui, for the
// tests that drive windows on real tables; helpers that put records straight
// into open tables, show a window as the user sees it and press its buttons.
#include "data/DataFixture.h"
#include "data/Settings.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWidget>

namespace tlv::test {

// Appends a blank record to an open table, lets `fill` set its fields in the
// record buffer, writes it and returns its record number.
template <class T, class Fill> long appendRecord(T &table, Fill fill)
{
    EXPECT_TRUE(table.appendBlank());
    table.clear();
    fill(table.buf);
    table.write();
    return table.recNo();
}

// Shows a window and waits until it is active, as the user would see it.
inline void showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
}

inline void click(QWidget *w, const char *button)
{
    auto *b = w->findChild<QPushButton *>(QLatin1String(button));
    ASSERT_NE(b, nullptr) << button;
    QTest::mouseClick(b, Qt::LeftButton);
}

class WindowDataTest : public DataDirTest
{
protected:
    void SetUp() override
    {
        DataDirTest::SetUp();
        resetSettings();
        loadSettings();
    }
    void TearDown() override
    {
        EXPECT_TRUE(m_ui.allUsed()) << "boxes expected but not shown";
        resetSettings();
        DataDirTest::TearDown();
    }

    // A group (GROUPS open).
    static long addGroup(int number, const QString &name)
    {
        return appendRecord(db().groups, [&](GroupRecord &b) {
            b.nGroup = number;
            b.cGroup = name;
        });
    }

    // A purchase (Pur5 open).
    static long addPurchase(const QString &id, QDate date, double qty = 1, double cost = 1)
    {
        return appendRecord(db().pur5, [&](PurchaseRecord &b) {
            b.PURProd = id;
            b.PURDate = date;
            b.PURQty = qty;
            b.PURCost = cost;
        });
    }

    template <class T> static T *child(QWidget &w, const char *name)
    {
        T *c = w.findChild<T *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    ScriptedUi m_ui;
};

} // namespace tlv::test
