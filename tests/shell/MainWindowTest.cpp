#include "invoicing/InvoiceU.h"
#include "masterdata/CustomerU.h"
#include "masterdata/ProdDefU.h"
#include "platform/qt/QtHelp.h"
#include "shell/AboutU.h"
#include "shell/MainU.h"
#include "support/Recorders.h"
#include "support/WindowFixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace tlv;

namespace {
QColor pixel(QWidget *w, int x, int y)
{
    return w->grab().toImage().pixelColor(x, y);
}
} // namespace

TEST(MainWindow, PagesCaptionsAndHints)
{
    TMain main;
    main.setStartUpOnShow(false);
    auto *pages = main.findChild<QTabWidget *>("PageControl1");
    ASSERT_NE(pages, nullptr);
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i)
        tabs << pages->tabText(i);
    EXPECT_EQ(tabs, QStringList({"Invoices", "Customers and Products", "Report Generation", "Preferences",
                                 "File Maintenance"}));
    auto *prod = main.findChild<QPushButton *>("BitBtnProd");
    ASSERT_NE(prod, nullptr);
    EXPECT_EQ(prod->text(), "Products && Services"); // shows one ampersand
    EXPECT_EQ(prod->toolTip(), "Define Products and Services you Sell");
    EXPECT_EQ(main.findChild<QPushButton *>("BtnInvoice")->toolTip(), "Create and Edit Invoices");
    EXPECT_EQ(main.findChild<QPushButton *>("BitBtn13")->text(), "Erase Data Files");
    EXPECT_EQ(main.findChild<QWidget *>("GroupBox1")->toolTip(),
              "Select how customers are displayed in pick lists");
    QStringList menus;
    for (QAction *a : main.menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Help"}));
}

TEST(MainWindow, ExactlyOneSpeedButtonDownAndTheGridFollows)
{
    TMain main;
    main.setStartUpOnShow(false);
    main.resize(800, 500);
    main.show();
    auto *pages = main.findChild<QTabWidget *>("PageControl1");
    pages->setCurrentIndex(2);
    auto *grid = main.findChild<QTableWidget *>("StringGrid1");
    EXPECT_EQ(main.chooserType(), 1);
    EXPECT_EQ(grid->rowCount(), 5);
    QTest::mouseClick(main.findChild<QToolButton *>("SpeedButton6"), Qt::LeftButton);
    EXPECT_EQ(main.chooserType(), 6);
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(0, 0)->text(), "Customer Profile");
    EXPECT_EQ(grid->columnWidth(0), grid->width());
    int down = 0;
    for (int i = 1; i <= 8; ++i)
        down += main.findChild<QToolButton *>(QString("SpeedButton%1").arg(i))->isChecked() ? 1 : 0;
    EXPECT_EQ(down, 1);
    // Centred at three quarters of the page.
    const QWidget *page = grid->parentWidget();
    EXPECT_EQ(grid->x(), static_cast<int>(0.75 * page->width()) - grid->width() / 2);
}

TEST(MainWindow, ChooserLinesFitTheirTextOnOneLineWithNothingBelowTheLast)
{
    TMain main;
    main.setStartUpOnShow(false);
    main.resize(800, 500);
    main.show();
    main.findChild<QTabWidget *>("PageControl1")->setCurrentIndex(2);
    auto *grid = main.findChild<QTableWidget *>("StringGrid1");
    // What an item view leaves around a cell's text, and the grid line.
    const int around = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 1;
    for (int type = 1; type <= 8; ++type) {
        main.SpeedButtonClick(type);
        const int last = grid->rowCount() - 1;
        EXPECT_EQ(grid->rowViewportPosition(last) + grid->rowHeight(last), grid->viewport()->height())
            << type;
        for (int row = 0; row <= last; ++row) {
            const QTableWidgetItem *item = grid->item(row, 0);
            const QFontMetrics fm(item->data(Qt::FontRole).isValid() ? item->font() : grid->font());
            EXPECT_LE(fm.horizontalAdvance(item->text()) + around, grid->columnWidth(0))
                << item->text().toStdString();
            EXPECT_GE(grid->rowHeight(row), fm.height()) << item->text().toStdString();
        }
    }
}

TEST(MainWindow, DoubleClickRunsOnlyEntryRows)
{
    TMain main;
    main.setStartUpOnShow(false);
    QList<int> ran;
    main.setChooserAction(1, 1, {});
    main.setChooserAction(1, 2, [&] { ran << 2; });
    main.StringGrid1DblClick(0, 0);
    main.StringGrid1DblClick(5, 0);
    main.StringGrid1DblClick(1, 0); // no action behind it
    EXPECT_TRUE(ran.isEmpty());
    main.StringGrid1DblClick(2, 0);
    EXPECT_EQ(ran, QList<int>({2}));
    // An entry with nothing behind it is shown greyed.
    auto *grid = main.findChild<QTableWidget *>("StringGrid1");
    EXPECT_FALSE(grid->item(1, 0)->flags() & Qt::ItemIsEnabled);
    EXPECT_TRUE(grid->item(2, 0)->flags() & Qt::ItemIsEnabled);
}

TEST(MainWindow, ProgressPanelDrawsBlueThenSilver)
{
    TMain main;
    main.setStartUpOnShow(false);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    auto *panel = main.findChild<ProgressPanel *>("ProgressPanel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->width(), 110);
    main.showStatus("Packing Data Files");
    EXPECT_EQ(main.findChild<QLabel *>("StatusCaption")->text(), "Packing Data Files");
    main.showProgress(40);
    const int y = panel->height() / 2;
    EXPECT_EQ(pixel(panel, 5, y), QColor(0, 0, 255));
    EXPECT_EQ(pixel(panel, 44, y), QColor(0, 0, 255));
    EXPECT_NE(pixel(panel, 45, y), QColor(0, 0, 255));
    EXPECT_NE(pixel(panel, 4, y), QColor(0, 0, 255));
    EXPECT_NE(pixel(panel, 5, 2), QColor(0, 0, 255)) << "the bar starts at y = 3";
    main.showProgress(0);
    EXPECT_EQ(pixel(panel, 5, y), QColor(192, 192, 192));
    EXPECT_EQ(pixel(panel, 104, y), QColor(192, 192, 192));
    EXPECT_NE(pixel(panel, 105, y), QColor(192, 192, 192));
    // A new caption clears the bar.
    main.showProgress(70);
    main.showStatus("");
    EXPECT_EQ(pixel(panel, 50, y), QColor(192, 192, 192));
}

TEST(MainWindow, HelpButtonsOpenTheirPagesTopics)
{
    test::RecordingHelp help;
    TMain main;
    main.setStartUpOnShow(false);
    for (const char *name : {"BtnHelpInvoices", "BtnHelpCustomers", "BtnHelpReports", "BtnHelpPreferences",
                             "BtnHelpMaintenance"}) {
        auto *b = main.findChild<QPushButton *>(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    main.Contents1Click();
    EXPECT_EQ(help.topics, QList<int>({300, 400, 500, 600, 700, 0}));
}

TEST(MainWindow, CaptionsAreTheWindowsOwnAndEnterPressesTheFocusedButton)
{
    setUpApplication();
    // Once a display name is set, Qt adds it to every caption in the title bar.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    test::RecordingHelp help;
    TMain main;
    main.setStartUpOnShow(false);
    test::showActive(main);
    auto *helpButton = main.findChild<QPushButton *>("BtnHelpInvoices");
    helpButton->setFocus();
    QTest::keyClick(helpButton, Qt::Key_Return);
    EXPECT_EQ(help.topics, QList<int>({300}));
}

TEST(MainWindow, ClosingItClosesEveryOtherWindow)
{
    QtHelp qtHelp;
    setHelp(&qtHelp);
    {
        TMain main;
        main.setStartUpOnShow(false);
        main.show();
        main.findChild<QPushButton *>("BtnHelpInvoices")->click();
        QWidget other;
        other.show();
        main.close();
        for (const QWidget *w : QApplication::topLevelWidgets())
            EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
    setHelp(nullptr);
}

TEST(MainWindow, HelpButtonsHaveNoIconAndCommandIconsOneSize)
{
    TMain main;
    TInvoice invoice;
    TCustomer customer;
    TProdDef product;
    for (const QWidget *w : std::initializer_list<const QWidget *>{&main, &invoice, &customer, &product})
        for (const QPushButton *b : w->findChildren<QPushButton *>())
            if (b->text().remove('&') == "Help") {
                EXPECT_TRUE(b->icon().isNull()) << b->objectName().toStdString();
            }
    const QSize size = main.findChild<QPushButton *>("BtnInvoice")->iconSize();
    for (const QPushButton *b : main.findChildren<QPushButton *>()) {
        if (b->icon().isNull())
            continue;
        EXPECT_EQ(b->iconSize(), size) << b->objectName().toStdString();
        EXPECT_EQ(b->icon().actualSize(size), size) << b->objectName().toStdString();
    }
}

TEST(AboutWindow, CaptionAndHiddenOkWhileStarting)
{
    TAboutForm about;
    about.setVersion("1.0.0.0");
    EXPECT_EQ(about.windowTitle(), "About Tarlvin Invoicing & Inventory 1.0.0.0");
    about.setStarting(true);
    about.show();
    EXPECT_FALSE(about.okButton()->isVisible());
    about.setStarting(false);
    EXPECT_TRUE(about.okButton()->isVisible());
}
