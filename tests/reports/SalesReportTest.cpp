// The sales summary, sales by product, daily income and the tax report on
// small tables, compared as whole text exports with texts written out here.
#include "data/Database.h"
#include "data/TableScope.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/DateSpanU.h"
#include "reports/ReportU.h"
#include "reports/RptGen.h"
#include "reports/RptUtil.h"
#include "reports/SalesReports.h"
#include "reports/Selection.h"
#include "shell/MainU.h"
#include "support/Modal.h"
#include "support/Recorders.h"
#include "support/WindowFixture.h"

#include <QFile>
#include <QProcess>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

struct Line
{
    const char *id;
    double qty, price;
    bool tax1 = false, tax2 = false;
};

// The text export with LF line ends, as one string: gtest shows the lines.
std::string exportText()
{
    return documentText(report(), false).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toStdString();
}

// An expected text written as a raw string that starts on a line of its own.
std::string text(const char *raw)
{
    return std::string(raw + 1);
}

class SalesReports : public WindowDataTest
{
protected:
    void SetUp() override
    {
        WindowDataTest::SetUp();
        report().reset();
        resetSelection();
        setPrinter(nullptr); // 60 lines a page
        setClock(&m_clock);
        selection().startDate = QDate(2024, 3, 1);
        selection().endDate = QDate(2024, 3, 31);
        settings().ShipLine = QStringLiteral("Shipping  ");
        settings().TaxLine = QStringLiteral("Sales Tax");
    }
    void TearDown() override
    {
        report().reset();
        resetSelection();
        setClock(nullptr);
        WindowDataTest::TearDown();
    }

    static void openSalesTables()
    {
        for (Table *t : std::initializer_list<Table *>{&db().inv6, &db().itm5, &db().pmt, &db().prod5})
            t->open();
    }
    static void addInvoice(int number, QDate date, double discount, double ship, double tax,
                           std::initializer_list<Line> lines, const QString &note = {}, bool deleted = false)
    {
        appendRecord(db().inv6, [&](InvoiceRecord &b) {
            b.IvNo = number;
            b.IDate = date;
            b.Discount = discount;
            b.Ship = ship;
            b.Tax = tax;
            b.IMemo = note;
        });
        if (deleted)
            db().inv6.markDeleted();
        for (const Line &l : lines)
            appendRecord(db().itm5, [&](ItemRecord &b) {
                b.IvNo = number;
                b.PrID = QString::fromLatin1(l.id);
                b.Qty = l.qty;
                b.UPR = l.price;
                b.LTax1 = l.tax1;
                b.LTax2 = l.tax2;
            });
    }
    static void addPayment(int invoice, QDate date, double amount, bool deleted = false)
    {
        appendRecord(db().pmt, [&](PaymentRecord &b) {
            b.IvNo = invoice;
            b.PDate = date;
            b.PAmt = amount;
        });
        if (deleted)
            db().pmt.markDeleted();
    }
    static void addProduct(const QString &id, const QString &desc, bool deleted = false)
    {
        appendRecord(db().prod5, [&](ProductRecord &b) {
            b.PrID = id;
            b.PDesc = desc;
        });
        if (deleted)
            db().prod5.markDeleted();
    }
    // Runs a generator on the open tables; its text export.
    static std::string run(bool (*generate)())
    {
        TableScope scope;
        openSalesTables();
        EXPECT_TRUE(generate());
        return exportText();
    }

    FixedClock m_clock{QDate(2024, 4, 2)};
};

// Three ways to 9.99 of items at 10 %: one line of 3 × 3.33, three lines of
// 3.33, and a credit; invoices out of the span or marked deleted.
void addDiscountedInvoices()
{
    TableScope scope;
    for (Table *t : std::initializer_list<Table *>{&db().inv6, &db().itm5})
        t->open();
    auto add = [](int n, QDate d, double disc, double ship, double tax, std::initializer_list<Line> lines,
                  bool deleted = false) {
        appendRecord(db().inv6, [&](InvoiceRecord &b) {
            b.IvNo = n;
            b.IDate = d;
            b.Discount = disc;
            b.Ship = ship;
            b.Tax = tax;
        });
        if (deleted)
            db().inv6.markDeleted();
        for (const Line &l : lines)
            appendRecord(db().itm5, [&](ItemRecord &b) {
                b.IvNo = n;
                b.PrID = QString::fromLatin1(l.id);
                b.Qty = l.qty;
                b.UPR = l.price;
                b.LTax1 = l.tax1;
                b.LTax2 = l.tax2;
            });
    };
    add(3, QDate(2024, 3, 20), 0, -0.50, -0.84, {{"B", -2, 5.00, true, true}}); // a credit
    add(1, QDate(2024, 3, 5), 10, 0.45, 0.80, {{"A", 3, 3.33, true, true}});
    add(2, QDate(2024, 3, 5), 10, 0.45, 0,
        {{"A", 1, 3.33, true}, {"A", 1, 3.33, true}, {"A", 1, 3.33, true}});
    add(4, QDate(2024, 3, 6), 0, 0, 0, {{"A", 100, 1.00}}, true);
    add(5, QDate(2024, 4, 1), 0, 0, 0, {{"A", 100, 1.00}});
    add(6, QDate(2024, 2, 29), 0, 0, 0, {{"A", 100, 1.00}});
    // A line of invoice 1 waiting for its pack.
    appendRecord(db().itm5, [](ItemRecord &b) {
        b.IvNo = 1;
        b.Qty = 1;
        b.UPR = 1000;
    });
    db().itm5.markDeleted();
}

} // namespace

TEST_F(SalesReports, SummaryRoundsTheDiscountOncePerInvoice)
{
    addDiscountedInvoices();
    RecordingProgress progress;
    // ruler:  0         1         2         3         4         5         6         7
    //         0123456789012345678901234567890123456789012345678901234567890123456789012345
    EXPECT_EQ(run(salesSummary), text(R"(
Page 1                                                             4/2/2024

               Sales Summary for 3/1/2024 through 3/31/2024




Inv. No      Date      Items   Discounts    Shipping  Sales Tax      Total
      1  3/5/2024       9.99        1.00        0.45       0.80      10.24
      2  3/5/2024       9.99        1.00        0.45       0.00       9.44
      3 3/20/2024     -10.00        0.00       -0.50      -0.84     -11.34
           Totals       9.98        2.00        0.40      -0.04       8.34
)"));
    EXPECT_EQ(report().rows[8], QStringList({"V00", "R07     1", "V08", "R173/5/2024", "V18", "R28      9.99",
                                             "V29", "R40      1.00", "V41", "R52      0.45", "V53",
                                             "R63      0.80", "V64", "R74     10.24", "V75", ""}));
    EXPECT_EQ(report().flags(10), "U");
    EXPECT_EQ(report().rows[11].mid(0, 5), QStringList({"V00", "", "", "R17Totals", "V18"}));
    EXPECT_EQ(report().flags(11), "U");
    EXPECT_EQ(progress.events, QList<QString>({"status:Processing Sales", "progress:33", "progress:66",
                                               "progress:100", "status:"}));
}

TEST_F(SalesReports, TaxReportBaseFollowsTheChargeSettings)
{
    addDiscountedInvoices();
    // Net sales take 1.00 off the line of 3 × 3.33 but 0.33 off each 3.33:
    // 8.99 + 9.00 - 10.00. With "Tax 2 charged on Tax 1" when taxed (3), the
    // first charge line joins the second's base as the editor decided:
    // invoice 1 (base 8.99) and the credit (base -10.00), not invoice 2,
    // which has no line for the second charge.
    struct Case
    {
        int shipTax;
        double rate1;
        const char *body;
    };
    const Case cases[] = {
        {1, 6, R"(
Net Item Sales                                7.99
Sales subject to Shipping         7.99
Shipping Charged                              0.40
Sales subject to Sales Tax       -1.01
Sales Tax Charged                            -0.04
Total                                         8.35
)"},
        {2, 6, R"(
Net Item Sales                                7.99
Sales subject to Shipping         7.99
Shipping Charged                              0.40
Sales subject to Sales Tax       -0.61
Sales Tax Charged                            -0.04
Total                                         8.35
)"},
        {3, 6, R"(
Net Item Sales                                7.99
Sales subject to Shipping         7.99
Shipping Charged                              0.40
Sales subject to Sales Tax       -1.06
Sales Tax Charged                            -0.04
Total                                         8.35
)"},
        {3, 0, R"(
Net Item Sales                                7.99
Shipping Charged                              0.40
Sales subject to Sales Tax       -1.06
Sales Tax Charged                            -0.04
Total                                         8.35
)"},
    };
    // ruler: 0         1         2         3         4         5
    //        012345678901234567890123456789012345678901234567890
    const std::string head = text(R"(
Page 1                                    4/2/2024

     Tax report for 3/1/2024 through 3/31/2024



)");
    for (const Case &c : cases) {
        settings().ShipTax = c.shipTax;
        settings().TaxRate1 = c.rate1;
        EXPECT_EQ(run(taxReport), head + text(c.body)) << c.shipTax << " " << c.rate1;
        // The rules: under the empty row, net sales (with its own tax line),
        // each charged row.
        QStringList flags;
        for (int r = 0; r < report().rows.size(); ++r)
            flags << report().flags(r);
        EXPECT_EQ(flags.mid(5).join('|'), c.rate1 > 0 ? "U|U||U||U|" : "U||U||U|");
        report().endReport();
    }
}

TEST_F(SalesReports, ProductsInCatalogueOrderThenUnknownCodes)
{
    {
        TableScope scope;
        openSalesTables();
        addProduct("B200", "Birdbath");
        addProduct("C300", "Compost", true); // no longer in the catalogue
        addProduct("a100", "Azalea");
        addInvoice(1, QDate(2024, 3, 2), 0, 0, 0, {{"ZZ9", 1, 2.00}, {"B200", 2, 10.00}});
        addInvoice(2, QDate(2024, 3, 3), 10, 0, 0,
                   {{"C300", 3, 3.33}, {"a100", 1, 12.50}, {"B200", 1, 10.00}});
    }
    // ruler:  0         1         2         3         4         5         6
    //         0123456789012345678901234567890123456789012345678901234567890123456
    EXPECT_EQ(run(salesByProduct), text(R"(
Page 1                                                   4/2/2024

        Sales by Product from 3/1/2024 through 3/31/2024




  Item Code    Description                   Qty.Discounted Total
  a100         Azalea                        1.00         11.25
  B200         Birdbath                      3.00         29.00
  ZZ9          Unknown Product               1.00          2.00
  C300         Unknown Product               3.00          8.99
  Total Sales                                             51.24
)"));
    EXPECT_EQ(report().rows[8], QStringList({"V00", "L02a100", "V13", "L15Azalea", "V43", "R49      1.00",
                                             "V51", "R63     11.25", "V65", ""}));
    EXPECT_EQ(report().rows[12],
              QStringList({"V00", "L02Total Sales", "", "", "", "", "V51", "R63     51.24", "V65", "U"}));
}

TEST_F(SalesReports, DailyIncomeDatesTheFirstPaymentOfADayAndTotalsItsLast)
{
    {
        TableScope scope;
        openSalesTables();
        addInvoice(1, QDate(2024, 3, 1), 0, 0, 0, {}, "Visa 4111");
        addInvoice(2, QDate(2024, 3, 1), 0, 0, 0, {}, "Check 1001");
        addInvoice(3, QDate(2024, 3, 1), 0, 0, 0, {}, "Deleted", true);
        addPayment(2, QDate(2024, 3, 9), 5.50);
        addPayment(1, QDate(2024, 3, 4), 10.00);
        addPayment(2, QDate(2024, 3, 4), 5.25);
        addPayment(1, QDate(2024, 3, 4), 99.00, true);
        addPayment(3, QDate(2024, 3, 9), -2.00); // its invoice waits for its pack
        addPayment(99, QDate(2024, 3, 9), 1.25); // no such invoice
        addPayment(1, QDate(2024, 2, 29), 7.00);
        addPayment(1, QDate(2024, 4, 1), 7.00);
    }
    RecordingProgress progress;
    // ruler:  0         1         2         3         4         5         6         7
    //         01234567890123456789012345678901234567890123456789012345678901234567890123
    EXPECT_EQ(run(dailyIncome), text(R"(
Page 1                                                          4/2/2024

              Daily Income from 3/1/2024 through 3/31/2024




 Pmt DateInv No.  Check - Credit Card No.           Amount  Daily Total
 3/4/2024      1  Visa 4111                          10.00
               2  Check 1001                          5.25        15.25
 3/9/2024      2  Check 1001                          5.50
               3                                     -2.00
              99                                      1.25         4.75
 Total Payments                                                   20.00
)"));
    QStringList flags;
    for (int r = 8; r < report().rows.size(); ++r)
        flags << report().flags(r);
    EXPECT_EQ(flags.join('|'), "|U|||U|U");
    EXPECT_EQ(progress.events.mid(0, 2), QList<QString>({"status:Processing Payments", "progress:20"}));
}

TEST_F(SalesReports, NothingInTheSpanIsSaidAndNothingShown)
{
    {
        TableScope scope;
        openSalesTables();
        addInvoice(1, QDate(2024, 2, 1), 0, 0, 0, {{"A", 1, 1}});
        addInvoice(2, QDate(2024, 3, 1), 0, 0, 0, {}); // in the span, but sold nothing
        addInvoice(3, QDate(2024, 3, 2), 0, 0, 0, {{"A", 1, 1}}, {}, true);
        addPayment(1, QDate(2024, 3, 2), 1, true);
    }
    selection().startDate = QDate(2024, 3, 2);
    struct Case
    {
        bool (*generate)();
        const char *message;
    };
    for (const Case c : {Case{salesSummary, "No Invoices within selected dates."},
                         Case{salesByProduct, "No Invoices within selected dates."},
                         Case{taxReport, "No Invoices within selected dates."},
                         Case{dailyIncome, "No Payments within selected dates."}}) {
        m_ui.expect(Answer::Ok, c.message);
        TableScope scope;
        openSalesTables();
        EXPECT_FALSE(c.generate()) << c.message;
        EXPECT_EQ(report().lastRow(), -1);
    }
    // Invoice 2 is in the span from the first, but has no lines to sell.
    selection().startDate = QDate(2024, 3, 1);
    m_ui.expect(Answer::Ok, "No Invoices within selected dates.");
    TableScope scope;
    openSalesTables();
    EXPECT_FALSE(salesByProduct());
    EXPECT_EQ(report().lastRow(), -1);
}

TEST_F(SalesReports, ChooserRowsAndToolRunTheSameReports)
{
    addDiscountedInvoices();
    {
        TableScope scope;
        openSalesTables();
        addPayment(1, QDate(2024, 3, 6), 10.24);
    }
    saveSettings(); // the labels, for the tool
    // The chooser's span is the current month.
    FixedClock march{QDate(2024, 3, 28)};
    setClock(&march);
    ModalWatchdog watchdog;
    TMain main;
    main.SpeedButtonClick(4);
    auto *grid = main.findChild<QTableWidget *>("StringGrid1");
    struct Case
    {
        int row;
        const char *name;
    };
    for (const Case c :
         {Case{1, "sales-summary"}, Case{2, "sales-by-product"}, Case{4, "daily-income"}, Case{6, "tax"}}) {
        EXPECT_TRUE(grid->item(c.row, 0)->flags() & Qt::ItemIsEnabled) << c.name;
        QString shown;
        onModal<TDateSpan>([](TDateSpan *d) { click(d, "BtnOK"); });
        onModal<TReportF>([&](TReportF *v) {
            shown = documentText(report(), false);
            v->mExitClick();
        });
        main.StringGrid1DblClick(c.row, 0);
        EXPECT_FALSE(db().inv6.isOpen());

        const QString out = m_dir.file("out.txt");
        QProcess p;
        p.start(QStringLiteral(TLV_TOOL_PATH),
                {"report", c.name, m_dir.path(), "--today", "2024-03-28", "-o", out});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << c.name;
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(f.readAll()).toStdString(), shown.toStdString()) << c.name;
    }
    EXPECT_FALSE(watchdog.fired());
    setClock(&m_clock);
}
