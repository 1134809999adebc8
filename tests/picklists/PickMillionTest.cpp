// The customer pick list on a million customers: opening it and paging
// through it must not depend on the table's size. Building such a table takes
// a while, so this runs only when TLV_PICK_MILLION names a directory to build
// it in (kept and reused by later runs); run it in a Release tree. It prints
// the times it measures.
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/FileMaint.h"
#include "data/Settings.h"
#include "picklists/PickCustU.h"
#include "picklists/PickInvU.h"
#include "support/ScriptedUi.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>

using namespace tlv;

namespace {

constexpr long million = 1000000;

QByteArray randomWord(QRandomGenerator &gen, int length)
{
    QByteArray s(length, 'a');
    for (char &c : s)
        c = char('a' + gen.bounded(26));
    s[0] = char(s[0] - 'a' + 'A');
    return s;
}

// Appends the customers and invoices straight through the engine, with the
// tags kept up record by record as the program would.
void buildDirectory(const QString &dir)
{
    QDir().mkpath(dir);
    ASSERT_EQ(createDataFiles(dir).toStdString(), "");
    CODE4 *c4 = code4initP();
    code4autoOpen(c4, 1);
    QRandomGenerator gen(1000000);
    {
        DATA4 *d = d4open(c4, QDir(dir).filePath(QStringLiteral("CUST5")).toLocal8Bit().constData());
        ASSERT_NE(d, nullptr);
        FIELD4 *cuno = d4field(d, fld::cuno), *first = d4field(d, fld::first), *last = d4field(d, fld::last),
               *email = d4field(d, fld::email), *note = d4field(d, fld::note),
               *group = d4field(d, fld::ngroup);
        for (long i = 1; i <= million; ++i) {
            ASSERT_EQ(d4appendBlank(d), 0);
            f4assignLong(cuno, i);
            f4assign(last, randomWord(gen, 4 + int(gen.bounded(10))).constData());
            f4assign(first, randomWord(gen, 3 + int(gen.bounded(6))).constData());
            f4assign(email, (randomWord(gen, 6) + "@example.com").toLower().constData());
            f4assign(note, QByteArray("Customer ").append(QByteArray::number(qlonglong(i))).constData());
            f4assignLong(group, 0);
        }
        d4close(d);
    }
    {
        DATA4 *d = d4open(c4, QDir(dir).filePath(QStringLiteral("INV6")).toLocal8Bit().constData());
        ASSERT_NE(d, nullptr);
        FIELD4 *ivno = d4field(d, fld::IvNo), *cuno = d4field(d, fld::CuNo), *date = d4field(d, fld::IDate);
        for (long i = 1; i <= million; ++i) {
            ASSERT_EQ(d4appendBlank(d), 0);
            f4assignLong(ivno, i);
            f4assignLong(cuno, 1 + long(gen.bounded(quint32(million))));
            f4assign(date, "20260301");
        }
        d4close(d);
    }
    code4initUndoP(c4);
}

double msSince(QElapsedTimer &t)
{
    const double ms = double(t.nsecsElapsed()) / 1e6;
    t.restart();
    return ms;
}

void key(QWidget *w, int k)
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

} // namespace

TEST(PickMillion, OpensAndPagesWithoutLoadingTheTable)
{
    const char *where = std::getenv("TLV_PICK_MILLION");
    if (!where)
        GTEST_SKIP() << "set TLV_PICK_MILLION to a directory to build a million customers in";
    const QString dir = QString::fromLocal8Bit(where);
    QElapsedTimer t;
    t.start();
    if (!QFileInfo::exists(QDir(dir).filePath(QStringLiteral("CUST5.dbf")))) {
        buildDirectory(dir);
        std::printf("built %ld customers and %ld invoices in %.1f s\n", million, million, msSince(t) / 1000);
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    test::ScriptedUi ui;
    db().reset();
    resetSettings();
    loadSettings();

    for (bool byName : {true, false}) {
        settings().ByCust = byName;
        db().cust5.open();
        db().groups.open();
        ASSERT_EQ(db().cust5.recCount(), million);
        // The customer command starts on the first customer of the order.
        db().cust5.useTag(byName ? tag::cname : tag::cEMail);
        db().cust5.top();
        db().selected.customer = int(db().cust5.recNo());

        TPickCust w;
        QTableWidget *grid = w.grid();
        t.restart();
        w.show();
        const double open = msSince(t);
        EXPECT_EQ(w.pager().window(), 0);
        key(grid, Qt::Key_End);
        const double toEnd = msSince(t);
        EXPECT_EQ(w.pager().window(), million - 10);
        EXPECT_EQ(w.scrollBar()->value(), 100);
        key(grid, Qt::Key_PageUp);
        const double pageUp = msSince(t);
        key(grid, Qt::Key_Home);
        const double home = msSince(t);
        w.scrollBar()->setSliderPosition(50);
        w.ScrollBar1Released();
        const double middle = msSince(t);
        EXPECT_EQ(w.pager().window(), million / 2 - 5);
        w.findChild<QLineEdit *>(QStringLiteral("Edit1"))
            ->setText(byName ? QStringLiteral("M") : QStringLiteral("m"));
        const double seek = msSince(t);
        w.hide();

        // Opening on the last customer of the order.
        db().cust5.bottom();
        db().selected.customer = int(db().cust5.recNo());
        t.restart();
        w.show();
        const double openAtEnd = msSince(t);
        EXPECT_EQ(w.pager().window(), million - 10);
        w.hide();
        std::printf("customers by %s: open %.1f ms, End %.1f ms, Page Up %.1f ms, Home %.1f ms, "
                    "thumb at 50%% %.1f ms, seek %.1f ms, open on the last %.1f ms\n",
                    byName ? "name" : "e-mail", open, toEnd, pageUp, home, middle, seek, openAtEnd);
        db().closeAll();
    }

    // The invoice command opens its list on the last invoice.
    db().inv6.open();
    db().cust5.open();
    db().inv6.bottom();
    db().selected.invoice = int(db().inv6.recNo());
    {
        TPickInv w;
        t.restart();
        w.show();
        const double open = msSince(t);
        EXPECT_EQ(w.pager().window(), million - 10);
        key(w.grid(), Qt::Key_Home);
        const double home = msSince(t);
        std::printf("invoices: open on the last %.1f ms, Home %.1f ms\n", open, home);
        w.hide();
    }
    db().reset();
    resetSettings();
    QDir::setCurrent(previous);
}
