#include "widgets/DateEdit.h"
#include "platform/Clock.h"
#include "widgets/EnterAsTab.h"

#include <QCalendarWidget>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace tlv;

namespace {
struct Window
{
    Window()
    {
        auto *lay = new QVBoxLayout(&w);
        date = new DateEdit;
        next = new QLineEdit;
        lay->addWidget(date);
        lay->addWidget(next);
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    void typeDate(const QString &t)
    {
        date->setFocus();
        date->selectAll();
        QTest::keyClick(date, Qt::Key_Backspace);
        QTest::keyClicks(date, t);
        next->setFocus(); // leaving the field reads it
        QCoreApplication::processEvents();
    }
    QWidget w;
    DateEdit *date;
    QLineEdit *next;
};
} // namespace

TEST(DateEdit, ShowsFourDigitYearsAndWindowsTwoDigitOnes)
{
    FixedClock today(QDate(2026, 12, 8));
    setClock(&today);
    Window win;
    win.date->setDate(QDate(2024, 7, 4));
    EXPECT_EQ(win.date->text(), "7/4/2024");
    win.typeDate("3/5/24");
    EXPECT_EQ(win.date->date(), QDate(2024, 3, 5));
    EXPECT_EQ(win.date->text(), "3/5/2024");
    win.typeDate("12/1/67");
    EXPECT_EQ(win.date->date(), QDate(1967, 12, 1));
    setClock(nullptr);
}

TEST(DateEdit, AnImpossibleDateStaysRedAndTakesTheFocusBack)
{
    Window win;
    const QColor normal = win.date->palette().color(QPalette::Base);
    win.date->setDate(QDate(2025, 1, 31));
    for (const char *bad : {"2/30/2025", "13/1/26", "31.1.2025"}) {
        win.typeDate(bad);
        EXPECT_EQ(win.date->text(), bad);
        EXPECT_EQ(win.date->date(), QDate(2025, 1, 31)) << "the last good date stands";
        EXPECT_FALSE(win.date->textIsDate());
        EXPECT_TRUE(win.date->hasFocus()) << bad;
        EXPECT_TRUE(win.date->toolTip().contains(bad));
        EXPECT_NE(win.date->palette().color(QPalette::Base), normal);
    }
    win.typeDate("2/28/2025");
    EXPECT_EQ(win.date->date(), QDate(2025, 2, 28));
    EXPECT_TRUE(win.date->toolTip().isEmpty());
    EXPECT_EQ(win.date->palette().color(QPalette::Base), normal);
    win.typeDate("");
    EXPECT_EQ(win.date->text(), "2/28/2025") << "empty is not allowed unless asked for";
    win.date->setAllowEmpty(true);
    win.typeDate("");
    EXPECT_FALSE(win.date->date().isValid());
}

TEST(DateEdit, GermanFormat)
{
    Window win;
    win.date->setLocale(QLocale(QLocale::German, QLocale::Germany));
    win.date->setDate(QDate(2024, 3, 5));
    EXPECT_EQ(win.date->text(), "05.03.2024");
    win.typeDate("1.2.25");
    EXPECT_EQ(win.date->date(), QDate(2025, 2, 1));
}

TEST(DateEdit, EnterReadsTheDateAndMovesOn)
{
    Window win;
    enterMovesFocus(win.date);
    win.date->setDate(QDate(2025, 1, 1));
    win.date->setFocus();
    win.date->selectAll();
    QTest::keyClicks(win.date, "6/15/2025");
    QTest::keyClick(win.date, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(win.next->hasFocus());
    EXPECT_EQ(win.date->date(), QDate(2025, 6, 15));
}

TEST(DateEdit, CalendarPicksADate)
{
    Window win;
    win.date->setDate(QDate(2025, 5, 10));
    win.date->showCalendar();
    auto *cal = win.date->findChild<QCalendarWidget *>("Calendar");
    ASSERT_NE(cal, nullptr);
    EXPECT_EQ(cal->selectedDate(), QDate(2025, 5, 10));
    emit cal->clicked(QDate(2025, 5, 20));
    EXPECT_EQ(win.date->date(), QDate(2025, 5, 20));
    EXPECT_FALSE(cal->isVisible());
}
