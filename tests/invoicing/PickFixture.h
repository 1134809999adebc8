#pragma once
// A fresh data directory with the settings loaded, a scripted Ui, and helpers
// that put customers, groups, invoices, products, purchases and label stocks
// straight into the (open) tables for the pick-list tests.
#include "data/DataFixture.h"
#include "data/Settings.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace tlv::test {

class PickTest : public DataDirTest
{
protected:
    void SetUp() override
    {
        DataDirTest::SetUp();
        resetSettings();
        loadSettings();
        settings().ByCust = true;
    }
    void TearDown() override
    {
        EXPECT_TRUE(m_ui.allUsed()) << "boxes expected but not shown";
        resetSettings();
        DataDirTest::TearDown();
    }

    static long addCustomer(const QString &last, const QString &first = QStringLiteral("Jo"), int group = 0,
                            const QString &email = QString(), const QString &note = QString())
    {
        auto &t = db().cust5;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.cuno = int(t.recNo());
        t.buf.last = last;
        t.buf.first = first;
        t.buf.ngroup = group;
        t.buf.email = email;
        t.buf.note = note;
        t.write();
        return t.recNo();
    }

    static long addGroup(int number, const QString &name)
    {
        auto &t = db().groups;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.nGroup = number;
        t.buf.cGroup = name;
        t.write();
        return t.recNo();
    }

    static long addInvoice(int number, int customer = 0, QDate date = QDate(2026, 3, 1),
                           const QString &memo = QString())
    {
        auto &t = db().inv6;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.IvNo = number;
        t.buf.CuNo = customer;
        t.buf.IDate = date;
        t.buf.IMemo = memo;
        t.write();
        t.flush();
        return t.recNo();
    }

    static long addProduct(const QString &id, double price = 0, const QString &desc = QString())
    {
        auto &t = db().prod5;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.PrID = id;
        t.buf.PDesc = desc.isNull() ? QStringLiteral("Product ") + id : desc;
        t.buf.UPrice = price;
        t.write();
        return t.recNo();
    }

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

    static long addLabel(const QString &name)
    {
        auto &t = db().labels;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.Name = name;
        t.buf.NAcross = 1;
        t.write();
        return t.recNo();
    }

    static void markDeleted(Table &t, long recNo)
    {
        ASSERT_EQ(t.go(recNo), 0);
        t.markDeleted();
        t.flush();
    }

    // Record numbers of a table in the order of its selected tag.
    static std::vector<long> recordsInOrder(Table &t)
    {
        std::vector<long> recs;
        for (int rc = t.top(); rc == 0; rc = t.skip(1))
            recs.push_back(t.recNo());
        return recs;
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
