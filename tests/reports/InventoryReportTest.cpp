// Stock valued from purchases and invoice lines, first in first out and last
// in first out; the stock, inventory and cost-of-goods reports over it, from
// the chooser and from tlvtool.
#include "data/Settings.h"
#include "data/TableScope.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/DateSpanU.h"
#include "reports/InventoryReports.h"
#include "reports/ReportU.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"
#include "reports/Valuation.h"
#include "shell/MainU.h"
#include "support/Modal.h"
#include "support/Recorders.h"
#include "support/WindowFixture.h"
#include "widgets/DateEdit.h"

#include <QFile>
#include <QLabel>
#include <QProcess>

using namespace tlv;
using namespace tlv::test;

namespace {

QDate day(int month, int d)
{
    return QDate(2024, month, d);
}

struct Buy
{
    QDate date;
    double qty, cost;
};
struct Sell
{
    int invoice; // 1 to 4 dated the 15th of January to April; 5 is marked deleted, 99 missing
    double qty;
};

class Inventory : public WindowDataTest
{
protected:
    void SetUp() override
    {
        WindowDataTest::SetUp();
        report().reset();
        resetSelection();
        setPrinter(nullptr);
        setClock(&m_clock);
    }
    void TearDown() override
    {
        report().reset();
        resetSelection();
        setClock(nullptr);
        WindowDataTest::TearDown();
    }

    static void open()
    {
        for (Table *t : std::initializer_list<Table *>{&db().prod5, &db().pur5, &db().itm5, &db().inv6})
            t->open();
    }
    static void addInvoices()
    {
        for (int n = 1; n <= 5; ++n) {
            appendRecord(db().inv6, [&](InvoiceRecord &b) {
                b.IvNo = n;
                b.IDate = day(n == 5 ? 2 : n, 15);
            });
            if (n == 5)
                db().inv6.markDeleted();
        }
    }
    static void addProduct(const QString &id, double reorder, bool stocked, const std::vector<Buy> &buys,
                           const std::vector<Sell> &sales)
    {
        appendRecord(db().prod5, [&](ProductRecord &b) {
            b.PrID = id;
            b.PDesc = "Item " + id;
            b.REORDER = reorder;
            b.lInven = stocked;
        });
        for (const Buy &p : buys)
            addPurchase(id, p.date, p.qty, p.cost);
        for (const Sell &s : sales)
            appendRecord(db().itm5, [&](ItemRecord &b) {
                b.IvNo = s.invoice;
                b.PrID = id;
                b.Qty = s.qty;
            });
    }
    static QStringList rowsFrom(int first)
    {
        QStringList rows;
        for (int r = first; r < report().rows.size(); ++r)
            rows << report().rows[r].join('|');
        return rows;
    }

    FixedClock m_clock{day(3, 31)};
};

} // namespace

TEST_F(Inventory, LotsAreDrawnFirstInOrLastInAsTheSettingSays)
{
    struct Case
    {
        const char *what, *id;
        bool fifo = true, stocked = true;
        std::vector<Buy> buys;
        std::vector<Sell> sales;
        const char *quantity, *value, *onOrder, *uncovered;
    };
    const Case cases[] = {
        {"fifo leaves the newer lot",
         "F1",
         true,
         true,
         {{day(1, 2), 10, 10}, {day(2, 2), 10, 20}},
         {{3, 15}},
         "5.00",
         "10.00",
         "0.00",
         "0.00"},
        {"lifo leaves the older lot",
         "L1",
         false,
         true,
         {{day(1, 2), 10, 10}, {day(2, 2), 10, 20}},
         {{3, 15}},
         "5.00",
         "5.00",
         "0.00",
         "0.00"},
        {"lifo skips a lot bought after the sale",
         "L2",
         false,
         true,
         {{day(1, 2), 10, 10}, {day(3, 2), 10, 20}},
         {{2, 5}},
         "15.00",
         "25.00",
         "0.00",
         "0.00"},
        {"lifo falls back to the oldest lots",
         "L3",
         false,
         true,
         {{day(1, 2), 10, 10}, {day(3, 2), 10, 20}},
         {{2, 15}},
         "5.00",
         "10.00",
         "0.00",
         "0.00"},
        {"a sale after the date draws nothing",
         "S1",
         true,
         true,
         {{day(1, 2), 10, 10}},
         {{4, 4}},
         "10.00",
         "10.00",
         "0.00",
         "4.00"},
        {"a purchase after the date is on order",
         "P1",
         true,
         true,
         {{day(1, 2), 10, 10}, {day(4, 1), 5, 50}},
         {},
         "10.00",
         "10.00",
         "5.00",
         "0.00"},
        {"zero quantities make no lot",
         "Z1",
         true,
         true,
         {{day(1, 2), 0, 5}},
         {{2, 3}},
         "0.00",
         "0.00",
         "0.00",
         "3.00"},
        {"lower case finds its purchases",
         "ab-1",
         true,
         true,
         {{day(1, 2), 10, 18.45}},
         {{2, 9}},
         "1.00",
         "1.85",
         "0.00",
         "0.00"},
        {"lines of missing or deleted invoices are no sales",
         "M1",
         true,
         true,
         {{day(1, 2), 10, 10}},
         {{5, 2}, {99, 3}},
         "10.00",
         "10.00",
         "0.00",
         "0.00"},
        {"a product not stocked has nothing",
         "N1",
         true,
         false,
         {{day(1, 2), 10, 10}},
         {{2, 1}},
         "0.00",
         "0.00",
         "0.00",
         "0.00"},
    };
    TableScope scope;
    open();
    addInvoices();
    for (const Case &c : cases)
        addProduct(c.id, 0, c.stocked, c.buys, c.sales);
    for (const Case &c : cases) {
        Valuator valuator(c.fifo);
        ProductRecord p;
        p.PrID = c.id;
        p.lInven = c.stocked;
        const Valuation v = valuator.valuate(p, day(3, 31));
        EXPECT_EQ(v.inventoryItem, c.stocked) << c.what;
        EXPECT_EQ(v.lotQuantity.text(4), QString(c.quantity).rightJustified(4)) << c.what;
        EXPECT_EQ(v.lotValue.text(4), QString(c.value).rightJustified(4)) << c.what;
        EXPECT_EQ(v.onOrder.text(4), QString(c.onOrder).rightJustified(4)) << c.what;
        EXPECT_EQ(v.uncoveredSales.text(4), QString(c.uncovered).rightJustified(4)) << c.what;
    }
}

TEST_F(Inventory, ReportsListStockedProductsWithExactTotals)
{
    {
        TableScope scope;
        open();
        addInvoices();
        addProduct("A100", 2, true, {{day(1, 2), 10, 10}, {day(2, 2), 10, 20}}, {{3, 15}, {4, 1}});
        addProduct("b200", 5, true, {{day(1, 2), 10, 18.45}, {day(4, 1), 3, 6}}, {{2, 9}});
        addProduct("SVC", 0, false, {{day(3, 1), 1, 7}}, {{3, 1}});
    }
    TableScope scope;
    open();
    settings().fifo = true;

    ASSERT_TRUE(stockOnHand());
    const ReportDocument &doc = report();
    EXPECT_EQ(doc.titles, QStringList({"Stock On-Hand as of 3/31/2024"}));
    ASSERT_EQ(doc.headings.size(), 3);
    EXPECT_EQ(doc.headings[0].join('|'), "||||||U");
    EXPECT_EQ(doc.headings[1].join('|'), "||R52Quantity|R65Quantity|R78Reorder|R85Need|");
    EXPECT_EQ(doc.headings[2].join('|'),
              "L00Product|L12Description|R52On-Hand|R65On-Order|R78Level|R85Stock|U");
    // A100: 5 left less the April sale; b200: 1 left and 3 on order, short of 5.
    EXPECT_EQ(rowsFrom(9),
              QStringList({
                  "L00A100|L12Item A100|R52        4.00|R65        0.00|R78        2.00|R85OK|",
                  "L00b200|L12Item b200|R52        1.00|R65        3.00|R78        5.00|R85YES|BU",
              }));
    report().endReport();

    selection().startDate = day(3, 31);
    ASSERT_TRUE(inventoryAsOf());
    EXPECT_EQ(report().titles, QStringList({"Inventory as of 3/31/2024"}));
    EXPECT_EQ(rowsFrom(8), QStringList({
                               "L00A100|L12Item A100|R52        5.00|R67       10.00|",
                               "L00b200|L12Item b200|R52        1.00|R67        1.85|U",
                               "||R52Total|R67       11.85|",
                           }));
    report().endReport();

    // March: beginning 10 + 20 (A100) + 1.85 (b200, after February's sale);
    // the service's purchase counts among the purchases only.
    selection().startDate = day(3, 1);
    selection().endDate = day(3, 31);
    for (const bool fifo : {true, false}) {
        settings().fifo = fifo;
        RecordingProgress progress;
        ASSERT_TRUE(costOfGoodsSold());
        // Two passes over the three products, one over the five purchases.
        ASSERT_EQ(progress.events.size(), 2 * 3 + 5 + 2);
        EXPECT_EQ(progress.events.first(), "status:Processing Cost of Goods");
        EXPECT_EQ(progress.events[1], "progress:9");
        EXPECT_EQ(progress.events[11], "progress:100");
        const QStringList cogs = rowsFrom(8);
        EXPECT_EQ(report().titles, QStringList({"Cost of Goods Sold from 3/1/2024 through 3/31/2024"}));
        EXPECT_EQ(cogs, QStringList({
                            "L00Beginning Inventory|R50       31.85|",
                            "L00Inventory Purchases|R50        7.00|U",
                            "L00Total|R50       38.85|",
                            QString("L00Ending Inventory|R50       %1|U").arg(fifo ? "11.85" : " 6.85"),
                            QString("L00Cost of Goods Sold|R50       %1|").arg(fifo ? "27.00" : "32.00"),
                        }));
        report().endReport();

        // The detail lists March's sale lot by lot and comes to the same figure.
        ASSERT_TRUE(costOfGoodsDetail());
        const QStringList detail = rowsFrom(8);
        ASSERT_EQ(detail.size(), 12);
        EXPECT_EQ(
            detail.mid(1, 2),
            fifo ? QStringList({"|R183|R303/15/2024|R421/2/2024|R53     10.00|R64      1.00|R78       10.00|",
                                "|||R422/2/2024|R53      5.00|R64      2.00|R78       10.00|U"})
                 : QStringList({"|R183|R303/15/2024|R422/2/2024|R53     10.00|R64      2.00|R78       20.00|",
                                "|||R421/2/2024|R53      5.00|R64      1.00|R78        5.00|U"}));
        const QString sold = fifo ? "20.00" : "25.00";
        EXPECT_EQ(detail.mid(3, 4),
                  QStringList({
                      QString("L00Cost of Sales Listed||||||R78       %1|").arg(sold),
                      "L00Purchases Not in Stock||||||R78        7.00|U",
                      QString("L00Cost of Goods Sold||||||R78       %1|").arg(fifo ? "27.00" : "32.00"),
                      "|||||||",
                  }));
        EXPECT_EQ(detail.mid(7).join('\n'),
                  cogs.join('\n').replace("R50", "R78").replace("|R78", "||||||R78"));
        report().endReport();
    }
}

TEST_F(Inventory, ChooserRowsAskTheirDatesAndTheToolWritesTheSameText)
{
    {
        TableScope scope;
        open();
        addInvoices();
        addProduct("A100", 2, true, {{day(1, 2), 10, 10}, {day(2, 2), 10, 20}}, {{3, 15}});
    }
    settings().fifo = true;
    saveSettings();
    ModalWatchdog watchdog;
    TMain main;
    main.SpeedButtonClick(5);
    // Inventory: one date, today, under its own caption; the dialog is put back afterwards.
    QStringList titles, texts;
    auto viewer = [&](TReportF *v) {
        titles << report().titles;
        texts << documentText(report(), false);
        v->mExitClick();
    };
    onModal<TDateSpan>([](TDateSpan *d) {
        EXPECT_EQ(d->findChild<QLabel *>("Label1")->text(), "Inventory as Of:");
        EXPECT_TRUE(d->findChild<QWidget *>("DateTimePicker2")->isHidden());
        EXPECT_EQ(selection().startDate, day(3, 31));
        d->findChild<DateEdit *>("DateTimePicker1")->setDate(day(2, 29));
        d->findChild<QPushButton *>("BtnOK")->click();
    });
    onModal<TReportF>(viewer);
    main.StringGrid1DblClick(1, 0);
    for (int row : {2, 5}) {
        onModal<TDateSpan>([](TDateSpan *d) {
            EXPECT_FALSE(d->findChild<QWidget *>("DateTimePicker2")->isHidden());
            d->findChild<QPushButton *>("BtnOK")->click();
        });
        onModal<TReportF>(viewer);
        main.StringGrid1DblClick(row, 0);
    }
    onModal<TReportF>(viewer);
    main.StringGrid1DblClick(3, 0);
    EXPECT_EQ(titles,
              QStringList({"Inventory as of 2/29/2024", "Cost of Goods Sold from 3/1/2024 through 3/31/2024",
                           "Cost of Goods Detail from 3/1/2024 through 3/31/2024",
                           "Stock On-Hand as of 3/31/2024"}));
    EXPECT_FALSE(db().itm5.isOpen());
    EXPECT_FALSE(watchdog.fired());
    ASSERT_EQ(texts.size(), 4);

    // tlvtool: the same text from the settings in the directory (first in first out).
    const char *names[] = {"inventory", "cogs", "cogs-detail", "stock-on-hand"};
    const QString out = m_dir.file("out.txt");
    for (int i = 0; i < 4; ++i) {
        QProcess p;
        p.start(QStringLiteral(TLV_TOOL_PATH),
                {"report", names[i], m_dir.path(), "--from", "2024-03-01", "--to",
                 i == 0 ? "2024-02-29" : "2024-03-31", "--today", "2024-03-31", "-o", out});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(f.readAll()).toStdString(), texts[i].toStdString()) << names[i];
    }
    EXPECT_TRUE(texts[1].contains("Cost of Goods Sold                           20.00"))
        << texts[1].toStdString();
}
