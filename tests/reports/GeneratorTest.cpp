// The product listing and the purchasing report, the group dialog and the
// report commands, on tables written through the data layer.
#include "data/Database.h"
#include "data/TableScope.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/DateSpanU.h"
#include "reports/MultGroupU.h"
#include "reports/ReportU.h"
#include "reports/RptGen.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"
#include "shell/MainU.h"
#include "support/Modal.h"
#include "support/Recorders.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "support/WindowFixture.h"

#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

struct ToolRun
{
    int code = -1;
    QString out, err;
};

using LocaleVariables = QList<std::pair<QString, QString>>;

// Runs tlvtool with no locale variables but the ones given.
ToolRun tlvtool(const QStringList &args,
                const LocaleVariables &locale = {{"LC_ALL", "en_US.UTF-8"}, {"LANG", "en_US.UTF-8"}})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &name : env.keys())
        if (name.startsWith("LC_") || name == "LANG" || name == "LANGUAGE")
            env.remove(name);
    for (const auto &[name, value] : locale)
        env.insert(name, value);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TLV_TOOL_PATH), args);
    ToolRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString fileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<missing>");
}

class Generators : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const ToolRun init = tlvtool({"init", m_dir.path()});
        ASSERT_EQ(init.code, 0) << qPrintable(init.err);
        db().reset();
        report().reset();
        resetSelection();
        setPrinter(nullptr);
        setClock(&m_clock);
    }
    void TearDown() override
    {
        db().reset();
        report().reset();
        resetSelection();
        setClock(nullptr);
    }

    static void addProduct(const QString &id, const QString &desc, double price, double reorder,
                           const QString &comment = {})
    {
        appendRecord(db().prod5, [&](ProductRecord &b) {
            b.PrID = id;
            b.PDesc = desc;
            b.UPrice = price;
            b.REORDER = reorder;
            b.IComm = comment;
            b.lInven = true;
        });
    }
    static void addPurchase(const QString &id, QDate date, double qty, double cost)
    {
        appendRecord(db().pur5, [&](PurchaseRecord &b) {
            b.PURProd = id;
            b.PURDate = date;
            b.PURQty = qty;
            b.PURCost = cost;
        });
    }
    static void addGroup(int number, const QString &name, bool deleted = false)
    {
        appendRecord(db().groups, [&](GroupRecord &b) {
            b.nGroup = number;
            b.cGroup = name;
        });
        if (deleted)
            db().groups.markDeleted();
    }
    static QStringList dataRows()
    {
        // Rows below the column headings of page 1.
        QStringList rows;
        const ReportDocument &doc = report();
        for (int r = 8; r < doc.rows.size(); ++r)
            rows << doc.rows[r].join('|');
        return rows;
    }

    TempDataDir m_dir;
    FixedClock m_clock{QDate(2024, 3, 15)};
};

} // namespace

TEST_F(Generators, ProductListingInProductOrderWithComments)
{
    RecordingProgress progress;
    {
        TableScope scope;
        db().prod5.open();
        addProduct("b200", "Birdbath", 49.5, 2);
        addProduct("A100", "Azalea", 12.5, 10, "Keep moist");
        addProduct("GONE", "Deleted one", 1, 1);
        db().prod5.markDeleted();
        addProduct("C300", "Compost", 7, 0);
    }
    TableScope scope;
    db().prod5.open();
    ASSERT_TRUE(productListing());
    const ReportDocument &doc = report();
    EXPECT_EQ(doc.width, 64);
    EXPECT_EQ(doc.cellCount, 5);
    EXPECT_EQ(doc.rows[2][0], "C32Product Listing");
    EXPECT_EQ(doc.rows[7], QStringList({"L00Product", "L12Description", "R51Unit Price", "R64Reorder", "U"}));
    EXPECT_EQ(dataRows(),
              QStringList({"L00A100|L12Azalea|R51       12.50|R64       10.00|", "|L12Keep moist|||",
                           "L00b200|L12Birdbath|R51       49.50|R64        2.00|",
                           "L00C300|L12Compost|R51        7.00|R64        0.00|U"}));
    EXPECT_EQ(progress.events, QList<QString>({"status:Processing Product Listing", "progress:25",
                                               "progress:50", "progress:75", "progress:100", "status:"}));
    EXPECT_EQ(rowText(doc, 8, false),
              "A100" + QString(8, ' ') + "Azalea" + QString(28, ' ') + "12.50" + QString(8, ' ') + "10.00");
}

TEST_F(Generators, ProductListingOfNoProductsHasNoRows)
{
    TableScope scope;
    db().prod5.open();
    EXPECT_FALSE(productListing());
    EXPECT_EQ(report().lastRow(), -1);
}

TEST_F(Generators, PurchasingReportWithinTheSpanGroupedByProduct)
{
    RecordingProgress progress;
    {
        TableScope scope;
        db().prod5.open();
        db().pur5.open();
        addProduct("A100", "Azalea", 12, 10);
        addProduct("ABC", "Longer code", 1, 1);
        addProduct("B200", "Birdbath", 49.5, 2);
        addPurchase("A100", QDate(2024, 3, 20), 5, 7.5);
        addPurchase("A100", QDate(2024, 3, 1), 10, 15);
        addPurchase("B200", QDate(2024, 2, 29), 1, 30); // before the span
        addPurchase("B200", QDate(2024, 3, 31), 2, 60); // on the last day
        addPurchase("ZZ9", QDate(2024, 3, 5), 3, 4.25);
        addPurchase("AB", QDate(2024, 3, 6), 1, 2);      // no such product, though ABC starts with it
        addPurchase("A100", QDate(2024, 4, 1), 1, 1000); // after the span
    }
    selection().startDate = QDate(2024, 3, 1);
    selection().endDate = QDate(2024, 3, 31);
    TableScope scope;
    db().prod5.open();
    db().pur5.open();
    ASSERT_TRUE(purchasingReport());
    const ReportDocument &doc = report();
    EXPECT_EQ(doc.width, 71);
    EXPECT_EQ(doc.cellCount, 6);
    EXPECT_EQ(doc.rows[2][0], "C35Purchasing Report for 3/1/2024 through 3/31/2024");
    EXPECT_EQ(dataRows(), QStringList({
                              "L00A100|L12Azalea|R473/1/2024|R58     10.00|R71       15.00|",
                              "||R473/20/2024|R58      5.00|R71        7.50|",
                              "L00AB|L12Not Found|R473/6/2024|R58      1.00|R71        2.00|",
                              "L00B200|L12Birdbath|R473/31/2024|R58      2.00|R71       60.00|",
                              "L00ZZ9|L12Not Found|R473/5/2024|R58      3.00|R71        4.25|U",
                              "L00Total||||R71        88.75|",
                          }));
    ASSERT_EQ(progress.events.size(), 9);
    EXPECT_EQ(progress.events.first(), "status:Processing Purchasing Report");
    EXPECT_EQ(progress.events[1], "progress:14"); // 100 / 7
    EXPECT_EQ(progress.events[7], "progress:100");
    EXPECT_EQ(progress.events.last(), "status:");
    EXPECT_EQ(rowText(doc, 9, false),
              QString(38, ' ') + "3/20/2024" + QString(7, ' ') + "5.00" + QString(9, ' ') + "7.50");
}

TEST_F(Generators, PurchasingReportWithNothingInTheSpanHasNoRows)
{
    {
        TableScope scope;
        db().pur5.open();
        addPurchase("A100", QDate(2024, 2, 1), 5, 7.5);
    }
    selection().startDate = QDate(2024, 3, 1);
    selection().endDate = QDate(2024, 3, 31);
    TableScope scope;
    db().prod5.open();
    db().pur5.open();
    EXPECT_FALSE(purchasingReport());
    EXPECT_EQ(report().lastRow(), -1);
}

TEST_F(Generators, ToolWritesTheSameTextAsTheViewerExport)
{
    {
        TableScope scope;
        db().prod5.open();
        db().pur5.open();
        for (int i = 0; i < 70; ++i)
            addProduct(QStringLiteral("P%1").arg(i, 3, 10, QLatin1Char('0')),
                       QStringLiteral("Item %1").arg(i), i, 1);
        addPurchase("P001", QDate(2024, 3, 2), 4, 10);
        addPurchase("P002", QDate(2024, 2, 2), 4, 10);
    }
    // In the program: the viewer's export of the document.
    selection().startDate = QDate(2024, 2, 1);
    selection().endDate = QDate(2024, 3, 31);
    {
        TableScope scope;
        db().prod5.open();
        db().pur5.open();
        ASSERT_TRUE(purchasingReport());
    }
    const QString inProgram = documentText(report(), false);
    const QString tabbedInProgram = documentText(report(), true);
    report().endReport();
    {
        TableScope scope;
        db().prod5.open();
        ASSERT_TRUE(productListing());
    }
    const QString listing = documentText(report(), false);
    report().endReport();
    db().reset();

    const QString out = m_dir.file("out.txt");
    ToolRun r = tlvtool({"report", "purchasing", m_dir.path(), "--from", "2024-02-01", "--to", "2024-03-31",
                         "--today", "2024-03-15", "-o", out});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_EQ(fileText(out), inProgram);
    EXPECT_TRUE(inProgram.contains("Purchasing Report for 2/1/2024 through 3/31/2024"));
    r = tlvtool({"report", "purchasing", m_dir.path(), "--tab", "--from", "20240201", "--to", "20240331",
                 "--today", "2024-03-15", "-o", out});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_EQ(fileText(out), tabbedInProgram);
    // Without a span: the month of --today. Page 2 of the listing, dated that day.
    r = tlvtool({"report", "product-listing", m_dir.path(), "--today", "2024-03-15", "-o", out});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_EQ(fileText(out), listing);
    EXPECT_TRUE(listing.contains("Page 2"));
    r = tlvtool({"report", "purchasing", m_dir.path(), "--today", "2024-03-15", "-o", out});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_TRUE(fileText(out).contains("Purchasing Report for 3/1/2024 through 3/31/2024"));
    EXPECT_FALSE(fileText(out).contains("2/2/2024"));

    // A desktop without a chosen locale: the tool dates as the program does.
    for (const LocaleVariables &cLocale : {LocaleVariables{{"LANG", "C.UTF-8"}},
                                           LocaleVariables{{"LC_ALL", "C.UTF-8"}, {"LANG", "C.UTF-8"}}}) {
        r = tlvtool({"report", "purchasing", m_dir.path(), "--from", "2024-02-01", "--to", "2024-03-31",
                     "--today", "2024-03-15", "-o", out},
                    cLocale);
        ASSERT_EQ(r.code, 0) << qPrintable(r.err);
        EXPECT_EQ(fileText(out).toStdString(), inProgram.toStdString())
            << cLocale.first().first.toStdString();
    }

    // Refusals.
    EXPECT_EQ(tlvtool({"report", "nonsense", m_dir.path(), "-o", out}).code, 2);
    EXPECT_EQ(tlvtool({"report", "purchasing", m_dir.path()}).code, 2);
    EXPECT_EQ(tlvtool({"report", "purchasing", m_dir.path(), "--from", "2024-13-01", "-o", out}).code, 2);
    r = tlvtool(
        {"report", "purchasing", m_dir.path(), "--from", "2024-03-10", "--to", "2024-03-09", "-o", out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Ending Date must be greater than or equal to Starting Date."));
}

// ---- The group dialog ------------------------------------------------------------------

namespace {
QListWidget *groupList(QWidget *w)
{
    return w->findChild<QListWidget *>("ListBox1");
}
void clickItem(QListWidget *list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}
void clickButton(QWidget *w, const char *name)
{
    w->findChild<QPushButton *>(QString::fromLatin1(name))->click();
}
} // namespace

TEST_F(Generators, GroupDialogTogglesItemsAndRunReadsTheNumbers)
{
    TableScope scope;
    db().groups.open();
    addGroup(12, "Schools");
    addGroup(7, "Landscapers");
    addGroup(3, "Gone", true);
    TMultGroup d;
    selection().chosenGroups = {99};
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.windowTitle(), "Select One or More Groups");
    QListWidget *list = groupList(&d);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), " 7 - Landscapers");
    EXPECT_EQ(list->item(1)->text(), "12 - Schools");
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_TRUE(selection().chosenGroups.isEmpty());
    // Nothing selected: Run chooses nothing.
    clickButton(&d, "BtnRun");
    EXPECT_TRUE(selection().chosenGroups.isEmpty());

    d.show();
    clickItem(list, 0);
    clickItem(list, 1);
    clickItem(list, 0); // a second click takes it back
    clickButton(&d, "BtnRun");
    EXPECT_EQ(selection().chosenGroups, QList<int>({12}));

    d.show();
    clickButton(&d, "BtnAll");
    clickButton(&d, "BtnRun");
    EXPECT_EQ(selection().chosenGroups, QList<int>({7, 12}));

    d.show();
    clickButton(&d, "BtnAll");
    clickButton(&d, "BtnCancel");
    EXPECT_TRUE(selection().chosenGroups.isEmpty());
}

TEST_F(Generators, ASingleGroupIsPreselected)
{
    ModalWatchdog watchdog;
    TableScope scope;
    db().groups.open();
    addGroup(7, "Landscapers");
    onModal<TMultGroup>([](TMultGroup *d) { clickButton(d, "BtnRun"); });
    EXPECT_TRUE(askGroups());
    EXPECT_EQ(selection().chosenGroups, QList<int>({7}));
    EXPECT_EQ(groupChosen(7), 0);
    EXPECT_FALSE(watchdog.fired());
}

// ---- Report commands --------------------------------------------------------------------

TEST_F(Generators, PurchasingCommandAsksForTheMonthShowsTheViewerAndClosesTheTables)
{
    ModalWatchdog watchdog;
    {
        TableScope scope;
        db().prod5.open();
        db().pur5.open();
        addProduct("A100", "Azalea", 12, 10);
        addPurchase("A100", QDate(2024, 3, 20), 5, 7.5);
    }
    int viewerRows = -1;
    onModal<TDateSpan>([](TDateSpan *d) {
        EXPECT_EQ(selection().startDate, QDate(2024, 3, 1));
        EXPECT_EQ(selection().endDate, QDate(2024, 3, 31));
        clickButton(d, "BtnOK");
    });
    onModal<TReportF>([&](TReportF *v) {
        viewerRows = int(report().rows.size());
        v->mExitClick();
    });
    runReport("purchasing");
    EXPECT_EQ(viewerRows, 8 + 2);
    EXPECT_TRUE(report().rows.isEmpty());
    EXPECT_FALSE(db().pur5.isOpen());
    EXPECT_FALSE(db().prod5.isOpen());

    // Cancelled: no viewer.
    onModal<TDateSpan>([](TDateSpan *d) { clickButton(d, "BtnCancel"); });
    runReport("purchasing");
    EXPECT_FALSE(db().pur5.isOpen());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(Generators, MainWindowButtonsAndChooserRowRunTheReports)
{
    ModalWatchdog watchdog;
    TMain main;
    auto *listing = main.findChild<QPushButton *>("BitBtn15");
    auto *purchases = main.findChild<QPushButton *>("BitBtn16");
    ASSERT_TRUE(listing && purchases);
    EXPECT_TRUE(listing->isEnabled());
    EXPECT_TRUE(purchases->isEnabled());
    main.SpeedButtonClick(5);
    auto *grid = main.findChild<QTableWidget *>("StringGrid1");
    EXPECT_EQ(grid->item(4, 0)->text(), "Purchasing History");
    EXPECT_TRUE(grid->item(4, 0)->flags() & Qt::ItemIsEnabled);

    {
        TableScope scope;
        db().prod5.open();
        addProduct("A100", "Azalea", 12, 10);
    }
    int shown = 0;
    onModal<TReportF>([&](TReportF *v) {
        ++shown;
        EXPECT_EQ(report().titles, QStringList({"Product Listing"}));
        v->mExitClick();
    });
    listing->click();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(db().prod5.isOpen());

    // Both ways to the purchasing report ask for the span first.
    int asked = 0;
    onModal<TDateSpan>([&](TDateSpan *d) {
        ++asked;
        clickButton(d, "BtnCancel");
    });
    purchases->click();
    onModal<TDateSpan>([&](TDateSpan *d) {
        ++asked;
        clickButton(d, "BtnCancel");
    });
    main.StringGrid1DblClick(4, 0);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(watchdog.fired());
}
