// The report viewer window and the date-span dialog.
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/DateSpanU.h"
#include "reports/ReportU.h"
#include "reports/Selection.h"
#include "support/Modal.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "widgets/DateEdit.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

QFont testFont(int points)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(points);
    return f;
}

void fillRows(int width, int rows)
{
    ReportDocument &doc = report();
    doc.reset();
    doc.width = width;
    doc.cellCount = 3;
    for (int i = 0; i < rows; ++i)
        doc.rows << QStringList{QStringLiteral("L00Row %1").arg(i), QStringLiteral("R%1x").arg(width), ""};
}

QAction *action(QWidget *w, const char *name)
{
    return w->findChild<QAction *>(QString::fromLatin1(name));
}

class Viewer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setReportFont(testFont(12));
        setPrinter(nullptr);
    }
    void TearDown() override
    {
        report().reset();
        resetReportFont();
        setPrinter(nullptr);
    }
    void showAt(TReportF &v, QSize size)
    {
        v.show();
        v.setWindowState(Qt::WindowNoState);
        v.resize(size);
        QApplication::processEvents();
        v.measureScreen();
    }
};

} // namespace

TEST_F(Viewer, WindowCaptionMenuAndMaximisedOnShow)
{
    fillRows(40, 10);
    TReportF v;
    v.show();
    QApplication::processEvents();
    EXPECT_EQ(v.windowTitle(), "Report");
    EXPECT_TRUE(v.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(action(&v, "mExit")->text(), "E&xit");
    EXPECT_EQ(action(&v, "mPrint")->text(), "Print");
    EXPECT_EQ(action(&v, "AsciiText1")->text(), "Ascii &Text");
    EXPECT_EQ(action(&v, "TabDelimited1")->text(), "Tab &Delimited");
    EXPECT_EQ(action(&v, "ExportPdf1")->text(), "Export &PDF");
    ASSERT_NE(v.findChild<QMenu *>("mExport"), nullptr);
    EXPECT_EQ(v.findChild<QMenu *>("mExport")->title(), "&Export");
    EXPECT_NE(v.findChild<QWidget *>("Bevel1"), nullptr);
    action(&v, "mExit")->trigger();
    EXPECT_FALSE(v.isVisible());
}

TEST_F(Viewer, WideReportShrinksToEightPointsAndNoFurther)
{
    fillRows(99, 5);
    setReportFont(testFont(20));
    TReportF v;
    showAt(v, QSize(300, 400));
    EXPECT_EQ(v.screenFont().pointSizeF(), 8);
    EXPECT_GT(99 * v.geometry().charWidth, v.geometry().availableWidth); // clipped, not shrunk further
    EXPECT_LT(v.geometry().margin, 0);

    // A window that holds it at some size between: the largest size that fits.
    fillRows(30, 5);
    showAt(v, QSize(500, 400));
    const double pt = v.screenFont().pointSizeF();
    EXPECT_LT(pt, 20);
    EXPECT_GT(pt, 8);
    EXPECT_LE(30 * v.geometry().charWidth, v.geometry().availableWidth);
    QFont bigger = v.screenFont();
    bigger.setPointSizeF(pt + 1);
    EXPECT_GT(30 * QFontMetrics(bigger, v.findChild<QWidget *>("ReportArea")).horizontalAdvance('B'),
              v.geometry().availableWidth);
    // The available width leaves out the scroll bar.
    EXPECT_EQ(v.geometry().availableWidth, v.findChild<QWidget *>("ReportArea")->width());
    EXPECT_EQ(v.geometry().availableWidth + v.findChild<QScrollBar *>("ScrollBar1")->width(),
              v.contentsRect().width());
}

TEST_F(Viewer, ScrollBarRangesAndTheLastPosition)
{
    fillRows(20, 200);
    TReportF v;
    showAt(v, QSize(600, 400));
    auto *bar = v.findChild<QScrollBar *>("ScrollBar1");
    const int visible = v.visibleRows();
    ASSERT_GT(visible, 3);
    EXPECT_EQ(visible, v.findChild<QWidget *>("ReportArea")->height() / v.geometry().lineHeight);
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 200 - visible);
    EXPECT_EQ(bar->pageStep(), visible - 1);
    EXPECT_EQ(bar->singleStep(), 1);
    bar->setValue(bar->maximum());
    EXPECT_EQ(v.firstRow(), 200 - visible);
    // The last row shown is the document's last row, drawn in the window's last line.
    QImage shot = v.findChild<QWidget *>("ReportArea")->grab().toImage();
    const int lh = v.geometry().lineHeight;
    int ink = 0;
    for (int y = (visible - 1) * lh; y < visible * lh; ++y)
        for (int x = 0; x < shot.width(); ++x)
            ink += qGray(shot.pixel(x, y)) < 128;
    EXPECT_GT(ink, 0);

    // A short report: the bar is off.
    fillRows(20, 3);
    v.FormShow();
    EXPECT_FALSE(bar->isEnabled());
    EXPECT_EQ(v.firstRow(), 0);
}

TEST_F(Viewer, ExportMenuWritesTheTextFiles)
{
    TempDataDir dir;
    fillRows(20, 2);
    TReportF v;
    v.show();
    ScriptedUi ui;
    ui.expectFileName(dir.file("a")).expectFileName(dir.file("b")).expectFileName(QString());
    action(&v, "AsciiText1")->trigger();
    action(&v, "TabDelimited1")->trigger();
    action(&v, "AsciiText1")->trigger();
    QFile a(dir.file("a.txt")), b(dir.file("b.asc"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), "Row 0              x\r\nRow 1              x\r\n");
    EXPECT_EQ(b.readAll(), "Row 0\tx\r\nRow 1\tx\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(ui.allUsed());
}

TEST_F(Viewer, PrintWithoutPrinterAsksForAFileAndCancelPrintsNothing)
{
    // The program's printer without any printer installed asks for a PDF
    // file name; a cancelled name leaves nothing and shows nothing.
    class AskingPrinter : public PdfPrinter
    {
    public:
        QPainter *beginDoc(const QString &title) override
        {
            const QString name = ui().saveFileName("Print to PDF File", title, "PDF files (*.pdf)");
            if (name.isEmpty())
                return nullptr;
            setFileName(name);
            return PdfPrinter::beginDoc(title);
        }
    } asking;
    setPrinter(&asking);
    TempDataDir dir;
    fillRows(20, 2);
    TReportF v;
    v.show();
    ScriptedUi ui;
    ui.expectFileName(QString()).expectFileName(dir.file("out.pdf"));
    action(&v, "mPrint")->trigger();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    action(&v, "mPrint")->trigger();
    EXPECT_TRUE(QFile::exists(dir.file("out.pdf")));
    EXPECT_TRUE(ui.boxes().isEmpty());
}

TEST_F(Viewer, ShowReportEndsTheReportWithOrWithoutRows)
{
    ModalWatchdog watchdog;
    fillRows(20, 3);
    bool shown = false;
    onModal<TReportF>([&](TReportF *v) {
        shown = true;
        EXPECT_EQ(v->windowTitle(), "Report");
        v->mExitClick();
    });
    showReport();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(report().rows.isEmpty());
    // Nothing to show: no window, the report still ends.
    report().titles << "x";
    showReport();
    EXPECT_TRUE(report().titles.isEmpty());
    EXPECT_FALSE(watchdog.fired());
}

// ---- Selection state and the date-span dialog ---------------------------------------------

namespace {
class DateSpan : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setClock(&m_clock);
        resetSelection();
    }
    void TearDown() override
    {
        resetSelection();
        setClock(nullptr);
    }
    FixedClock m_clock{QDate(2024, 1, 31)};
};

DateEdit *picker(QWidget *w, const char *name)
{
    return w->findChild<DateEdit *>(QString::fromLatin1(name));
}
QPushButton *button(QWidget *w, const char *name)
{
    return w->findChild<QPushButton *>(QString::fromLatin1(name));
}
} // namespace

TEST_F(DateSpan, DefaultMonthRunsFromTheFirstToTheLastDay)
{
    defaultMonth();
    EXPECT_EQ(selection().startDate, QDate(2024, 1, 1));
    EXPECT_EQ(selection().endDate, QDate(2024, 1, 31));
    m_clock.setToday(QDate(2024, 2, 15));
    defaultMonth();
    EXPECT_EQ(selection().startDate, QDate(2024, 2, 1));
    EXPECT_EQ(selection().endDate, QDate(2024, 2, 29));
    m_clock.setToday(QDate(2023, 2, 28));
    defaultMonth();
    EXPECT_EQ(selection().endDate, QDate(2023, 2, 28));
    m_clock.setToday(QDate(2023, 12, 1));
    defaultMonth();
    EXPECT_EQ(selection().startDate, QDate(2023, 12, 1));
    EXPECT_EQ(selection().endDate, QDate(2023, 12, 31));
}

TEST_F(DateSpan, GroupChosenSearchesTheChosenGroups)
{
    EXPECT_EQ(groupChosen(3), -1);
    selection().chosenGroups = {4, 3, 12};
    EXPECT_EQ(groupChosen(3), 1);
    EXPECT_EQ(groupChosen(12), 2);
    EXPECT_EQ(groupChosen(5), -1);
    EXPECT_EQ(groupListItem(7, "Landscapers"), " 7 - Landscapers");
    EXPECT_EQ(groupListItem(12, "Schools"), "12 - Schools");
    EXPECT_EQ(groupsOfItems({" 7 - Landscapers", "12 - Schools"}), QList<int>({7, 12}));
}

TEST_F(DateSpan, DialogShowsTheSpanAndOkTakesIt)
{
    selection().startDate = QDate(2024, 3, 1);
    selection().endDate = QDate(2024, 3, 31);
    selection().cancelled = false;
    TDateSpan d;
    d.show();
    EXPECT_EQ(d.windowTitle(), "DateSpan");
    EXPECT_EQ(d.findChild<QLabel *>("Label1")->text(), "Print Beginning:");
    EXPECT_TRUE(d.findChild<QLabel *>("Label1")->font().bold());
    EXPECT_EQ(d.findChild<QLabel *>("Label2")->text(), "Ending:");
    EXPECT_EQ(picker(&d, "DateTimePicker1")->date(), QDate(2024, 3, 1));
    EXPECT_EQ(picker(&d, "DateTimePicker2")->date(), QDate(2024, 3, 31));
    EXPECT_TRUE(selection().cancelled);                        // until OK
    picker(&d, "DateTimePicker2")->setDate(QDate(2024, 3, 1)); // equal dates are fine
    ScriptedUi ui;
    button(&d, "BtnOK")->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(selection().cancelled);
    EXPECT_EQ(selection().endDate, QDate(2024, 3, 1));
    EXPECT_TRUE(ui.boxes().isEmpty());
}

TEST_F(DateSpan, EndingBeforeStartingIsRefusedAndCancelStillTakesTheDates)
{
    selection().startDate = QDate(2024, 3, 10);
    selection().endDate = QDate(2024, 3, 9);
    TDateSpan d;
    d.show();
    ScriptedUi ui;
    ui.expect(Answer::Ok, "Ending Date must be greater than or equal to Starting Date.");
    button(&d, "BtnOK")->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(selection().cancelled);
    ASSERT_EQ(ui.boxes().size(), 1);
    EXPECT_EQ(ui.boxes()[0].text, "Ending Date must be greater than or equal to Starting Date.");
    EXPECT_EQ(ui.boxes()[0].kind, BoxKind::Plain);
    picker(&d, "DateTimePicker1")->setDate(QDate(2024, 2, 1));
    button(&d, "BtnCancel")->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(selection().cancelled);
    EXPECT_EQ(selection().startDate, QDate(2024, 2, 1));
    EXPECT_EQ(selection().endDate, QDate(2024, 3, 9));
}

TEST_F(DateSpan, ClosingTheWindowLeavesTheSpanCancelled)
{
    ModalWatchdog watchdog;
    selection().startDate = QDate(2024, 1, 1);
    selection().endDate = QDate(2024, 1, 31);
    onModal<TDateSpan>([](TDateSpan *d) {
        picker(d, "DateTimePicker1")->setDate(QDate(2020, 1, 1));
        d->close();
    });
    EXPECT_FALSE(askDateSpan());
    EXPECT_EQ(selection().startDate, QDate(2024, 1, 1));
    onModal<TDateSpan>([](TDateSpan *d) { button(d, "BtnOK")->click(); });
    EXPECT_TRUE(askDateSpan());
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(DateSpan, SingleDateHidesTheEndingAndIsRestoredAfterwards)
{
    ModalWatchdog watchdog;
    selection().startDate = QDate(2024, 5, 1);
    selection().endDate = QDate(2024, 4, 1); // not checked with one date
    onModal<TDateSpan>([](TDateSpan *d) {
        EXPECT_EQ(d->findChild<QLabel *>("Label1")->text(), "Inventory as Of:");
        EXPECT_TRUE(d->findChild<QLabel *>("Label2")->isHidden());
        EXPECT_TRUE(picker(d, "DateTimePicker2")->isHidden());
        button(d, "BtnOK")->click();
    });
    EXPECT_TRUE(askSingleDate("Inventory as Of:"));
    EXPECT_EQ(selection().startDate, QDate(2024, 5, 1));

    TDateSpan d;
    d.setSingleDate("Inventory as Of:");
    d.restoreSpan();
    d.show();
    EXPECT_EQ(d.findChild<QLabel *>("Label1")->text(), "Print Beginning:");
    EXPECT_TRUE(d.findChild<QLabel *>("Label2")->isVisible());
    EXPECT_TRUE(picker(&d, "DateTimePicker2")->isVisible());
    EXPECT_FALSE(watchdog.fired());
}
