#pragma once
// A fresh data directory with the settings loaded, a scripted Ui, and helpers
// that put products, purchases and label stocks straight into the tables.
#include "data/DataFixture.h"
#include "data/Settings.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace tlv::test {

class MasterDataTest : public DataDirTest
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

    // The settings record as the file holds it now.
    static SettingsRecord storedSettings()
    {
        auto &t = db().tlv2;
        t.open();
        t.top();
        t.read();
        SettingsRecord s = t.buf;
        t.close();
        return s;
    }

    // Appends a product (Prod5 open) and returns its record number.
    static long addProduct(const QString &id, double price = 0, double onHand = 0)
    {
        auto &t = db().prod5;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.PrID = id;
        t.buf.PDesc = QStringLiteral("Product ") + id;
        t.buf.UPrice = price;
        t.buf.ONHAND = onHand;
        t.write();
        return t.recNo();
    }

    // Appends a purchase (Pur5 open) and returns its record number.
    static long addPurchase(const QString &id, QDate date, double qty = 1, double cost = 1)
    {
        auto &t = db().pur5;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.PURProd = id;
        t.buf.PURDate = date;
        t.buf.PURQty = qty;
        t.buf.PURCost = cost;
        t.write();
        return t.recNo();
    }

    static ProductRecord productAt(long recNo)
    {
        auto &t = db().prod5;
        t.go(recNo);
        t.read();
        return t.buf;
    }

    // Shows a window and waits until it is active, as the user would see it.
    static void showActive(QWidget &w)
    {
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
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
