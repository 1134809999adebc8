#pragma once
// A fresh data directory for the customer and group tests: settings loaded, a
// scripted Ui, and helpers that put groups, customers and invoices straight
// into the tables.
#include "data/DataFixture.h"
#include "data/Settings.h"
#include "data/TableScope.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

namespace tlv::test {

class CustomerDataTest : public DataDirTest
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

    // Opens the tables the customer and group windows work on.
    static void openTables()
    {
        db().cust5.open();
        db().groups.open();
    }

    // Appends a group (GROUPS open) and returns its record number.
    static int addGroup(int number, const QString &name)
    {
        auto &t = db().groups;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.nGroup = number;
        t.buf.cGroup = name;
        t.write();
        return int(t.recNo());
    }

    // Appends a customer (CUST5 open) and returns its record number.
    static int addCustomer(int number, const QString &last, int group = 1)
    {
        auto &t = db().cust5;
        EXPECT_TRUE(t.appendBlank());
        t.clear();
        t.buf.cuno = number;
        t.buf.last = last;
        t.buf.first = QStringLiteral("F") + QString::number(number);
        t.buf.ngroup = group;
        t.write();
        return int(t.recNo());
    }

    static CustomerRecord customerAt(int recNo)
    {
        auto &t = db().cust5;
        t.go(recNo);
        t.read();
        return t.buf;
    }

    static GroupRecord groupAt(int recNo)
    {
        auto &t = db().groups;
        t.go(recNo);
        t.read();
        return t.buf;
    }

    static bool customerDeleted(int recNo)
    {
        db().cust5.go(recNo);
        return db().cust5.isDeleted();
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

    static void click(QWidget *w, const char *button)
    {
        auto *b = w->findChild<QPushButton *>(QLatin1String(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    ScriptedUi m_ui;
};

} // namespace tlv::test
