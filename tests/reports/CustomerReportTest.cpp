// The buyers of a product, the receivables and the customer profile on small
// tables, compared as whole text exports; the mail-merge file byte for byte.
#include "data/Database.h"
#include "data/TableScope.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "reports/CustomerReports.h"
#include "reports/MergeExport.h"
#include "reports/MultGroupU.h"
#include "reports/ReportU.h"
#include "reports/RptUtil.h"
#include "reports/Selection.h"
#include "shell/MainU.h"
#include "support/Modal.h"
#include "support/Recorders.h"
#include "support/WindowFixture.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tlv;
using namespace tlv::test;

namespace {

std::string exportText()
{
    return documentText(report(), false).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toStdString();
}

std::string text(const char *raw)
{
    return std::string(raw + 1);
}

struct Cust
{
    int number, group;
    const char *title, *first, *last, *addr1, *addr2, *addr3, *addr4, *zip;
    bool deleted = false;
};

struct Sale
{
    int number, customer;
    QDate date;
    double discount, due;
    std::initializer_list<std::pair<const char *, double>> lines; // product, unit price (quantity 2)
    bool deleted = false;
};

class CustomerReports : public WindowDataTest
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
    }
    void TearDown() override
    {
        report().reset();
        resetSelection();
        setClock(nullptr);
        WindowDataTest::TearDown();
    }
    static void openAll()
    {
        Db &d = db();
        for (Table *t : std::initializer_list<Table *>{&d.cust5, &d.groups, &d.inv6, &d.itm5, &d.prod5})
            t->open();
    }
    static void fill(std::initializer_list<Cust> customers, std::initializer_list<Sale> sales)
    {
        TableScope scope;
        openAll();
        addGroup(1, "Retail");
        addGroup(2, "Wholesale");
        appendRecord(db().prod5, [](ProductRecord &p) {
            p.PrID = "A";
            p.PDesc = "Azalea";
            p.UPrice = 10;
        });
        for (const Cust &c : customers) {
            appendRecord(db().cust5, [&](CustomerRecord &b) {
                b.cuno = c.number;
                b.ngroup = c.group;
                b.title = c.title;
                b.first = c.first;
                b.last = c.last;
                b.addr1 = c.addr1;
                b.addr2 = c.addr2;
                b.addr3 = c.addr3;
                b.addr4 = c.addr4;
                b.zip = c.zip;
            });
            if (c.deleted)
                db().cust5.markDeleted();
        }
        for (const Sale &s : sales) {
            appendRecord(db().inv6, [&](InvoiceRecord &b) {
                b.IvNo = s.number;
                b.CuNo = s.customer;
                b.IDate = s.date;
                b.Discount = s.discount;
                b.Due = s.due;
            });
            if (s.deleted)
                db().inv6.markDeleted();
            for (const auto &[id, price] : s.lines)
                appendRecord(db().itm5, [&](ItemRecord &b) {
                    b.IvNo = s.number;
                    b.PrID = QString::fromLatin1(id);
                    b.Qty = 2;
                    b.UPR = price;
                });
        }
    }
    static std::string run(const std::function<bool()> &generate)
    {
        TableScope scope;
        openAll();
        EXPECT_TRUE(generate());
        return exportText();
    }

    FixedClock m_clock{QDate(2024, 3, 15)};
};

const std::initializer_list<Cust> someCustomers = {
    {7, 1, "Mr", "John", "Smith", "1 Elm St", "Springfield", "", "", "12345"},
    {8, 3, "", "Ann", "Lee", "", "", "", "", "99001"}, // group 3 is not defined
    {9, 2, "Dr", "\u00c8ve", "Moss", "Moss, \"Best\" Ltd", "2 Oak Rd", "Leeds", "", "LS1"},
    {10, 1, "", "Gone", "Away", "", "", "", "", "00001", true},
};

} // namespace

TEST_F(CustomerReports, BuyersPayTheUnitPriceLessTheInvoiceDiscount)
{
    fill(someCustomers, {{1, 7, QDate(2024, 3, 5), 10, 0, {{"A", 10.00}, {"B", 4.00}}},
                         {2, 8, QDate(2024, 3, 2), 0, 0, {{"A", 10.00}}},
                         {3, 42, QDate(2024, 3, 9), 0, 0, {{"A", 12.50}}}, // no such customer
                         {4, 10, QDate(2024, 3, 9), 0, 0, {{"A", 1.00}}},  // customer waiting for its pack
                         {5, 7, QDate(2024, 3, 9), 0, 0, {{"A", 2.00}}, true},
                         {6, 7, QDate(2024, 4, 1), 0, 0, {{"A", 3.00}}}});
    RecordingProgress progress;
    EXPECT_EQ(run([] { return productBuyers(1); }), text(R"(
Page 1                                                              3/15/2024

                             Buyers of A-Azalea
                       from 3/1/2024 through 3/31/2024




 Customer                            Mail Group               DateUnit Price
 Ann Lee                             UNKNOWN              3/2/2024     10.00
 Mr John Smith                       Retail               3/5/2024      9.00
 UNKNOWN                             UNKNOWN              3/9/2024     12.50
 UNKNOWN                             UNKNOWN              3/9/2024      1.00
)"));
    EXPECT_EQ(report().rows[10], QStringList({"V00", "L01Mr John Smith", "V36", "L37Retail", "V57",
                                              "R663/5/2024", "V67", "R76    9.00", "V77", ""}));
    EXPECT_EQ(report().flags(report().lastRow()), "U");
    EXPECT_EQ(progress.events.first(), "status:Processing Buyers");
}

TEST_F(CustomerReports, ReceivablesAgeInDaysAndCreditsReduceTheTotal)
{
    fill(someCustomers, {{3, 9, QDate(2024, 3, 12), 0, -5.00, {}},  // a credit
                         {1, 7, QDate(2024, 3, 5), 0, 25.00, {}},   // 10 days old on 15 March
                         {2, 7, QDate(2024, 3, 6), 0, 0, {}},       // paid
                         {4, 42, QDate(2023, 12, 31), 0, 0.10, {}}, // no such customer
                         {5, 7, QDate(2024, 3, 1), 0, 99.00, {}, true}});
    EXPECT_EQ(run(receivables), text(R"(
Page 1                                                        3/15/2024

                              RECEIVABLES




Inv. No   Customer                                 Days        Amount
      1   Mr John Smith                              10         25.00
      3   Dr Ève Moss                                 3         -5.00
      4   UNKNOWN                                    75          0.10
 Total Receivables                                              20.10
)"));
    const int last = report().lastRow();
    EXPECT_EQ(report().rows[last], QStringList({"V00", "L01Total Receivables", "", "", "", "", "V57",
                                                "R69     20.10", "V71", "U"}));
    EXPECT_EQ(report().flags(last - 1), "U");
}

TEST_F(CustomerReports, ProfilePairsAddressLinesWithPurchases)
{
    fill({{7, 1, "Mr", "John", "Smith", "1 Elm St", "Springfield", "", "", "12345"},
          {8, 2, "", "Ann", "Lee", "", "", "", "", "99001"},
          {9, 2, "Dr", "Eve", "Moss", "Moss Ltd", "2 Oak Rd", "Leeds", "", "LS1"}},
         {{1, 7, QDate(2024, 3, 5), 10, 0, {{"A", 10.00}, {"B", 4.00}, {"C", 1.25}}},
          {2, 7, QDate(2023, 1, 2), 0, 0, {{"D", 3.00}, {"E", 7.50}}},
          {3, 9, QDate(2024, 3, 5), 0, 0, {}, true}});
    selection().chosenGroups = {2, 1};
    EXPECT_EQ(run([] {
                  beginProfile();
                  return profileOfChosenGroups();
              }),
              text(R"(
Page 1                                                            3/15/2024

                             Customer Profile




 Customer                              Date   Product         Qty  U-Price
 Ann Lee  99001
 
 
 Cust#: 8  Group: Wholesale
 Dr  Eve Moss
 Moss Ltd
 2 Oak Rd
 Leeds  LS1
 Cust#: 9  Group: Wholesale
 Mr  John Smith                    3/5/2024   A              2.00    10.00
 1 Elm St                          3/5/2024   B              2.00     4.00
 Springfield  12345                3/5/2024   C              2.00     1.25
 Cust#: 7  Group: Retail           1/2/2023   D              2.00     3.00
                                   1/2/2023   E              2.00     7.50
)"));
    // Each block is ruled off; every row carries the six rules.
    QStringList flags;
    for (int r = 8; r < report().rows.size(); ++r)
        flags << report().flags(r);
    EXPECT_EQ(flags.join(QLatin1Char('|')).toStdString(), "|||U|||||U|||||U");
    EXPECT_EQ(report().rows.last(), QStringList({"V00", "", "V35", "R431/2/2023", "V45", "L46E", "V57",
                                                 "R65    2.00", "V66", "R74    7.50", "V75", "U"}));
}

TEST_F(CustomerReports, MergeFileInPostalCodeOrder)
{
    fill(someCustomers, {});
    struct Case
    {
        QList<int> groups;
        const char *file;
        QByteArray expected;
    };
    const Case cases[] = {
        {{2, 3, 1},
         "m.doc",
         "Title\tFirstName\tLastName\tCompany\tAddr1\tAddr2\tAddr3\tPostalCode\r\n"
         "Mr\tJohn\tSmith\t1 Elm St\tSpringfield\t\t\t12345\r\n"
         "\tAnn\tLee\t\t\t\t\t99001\r\n"
         "Dr\t\xc8ve\tMoss\tMoss, \"Best\" Ltd\t2 Oak Rd\tLeeds\t\tLS1\r\n"},
        {{5}, "m.doc", "Title\tFirstName\tLastName\tCompany\tAddr1\tAddr2\tAddr3\tPostalCode\r\n"},
        {{2},
         "m.csv",
         "Title,FirstName,LastName,Company,Addr1,Addr2,Addr3,PostalCode\r\n"
         "Dr,\xc3\x88ve,Moss,\"Moss, \"\"Best\"\" Ltd\",2 Oak Rd,Leeds,,LS1\r\n"},
    };
    for (const Case &c : cases) {
        TableScope scope;
        db().cust5.open();
        selection().chosenGroups = c.groups;
        const QString name = m_dir.file(QLatin1String(c.file));
        EXPECT_EQ(writeMergeFile(name, mergeFormatOf(name)), MergeStatus::Written);
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll().toStdString(), c.expected.toStdString());
    }
}

TEST_F(CustomerReports, ChooserRunsReceivablesAsTheToolAndExportsTheMergeFile)
{
    fill(someCustomers, {{1, 7, QDate(2024, 3, 5), 0, 25.00, {}}});
    ModalWatchdog watchdog;
    TMain main;
    main.SpeedButtonClick(4);
    QString shown;
    onModal<TReportF>([&](TReportF *v) {
        shown = documentText(report(), false);
        v->mExitClick();
    });
    main.StringGrid1DblClick(5, 0);
    EXPECT_FALSE(db().inv6.isOpen());
    const QString out = m_dir.file("out.txt");
    QProcess p;
    p.start(QStringLiteral(TLV_TOOL_PATH),
            {"report", "receivables", m_dir.path(), "--today", "2024-03-15", "-o", out});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()).toStdString(), shown.toStdString());

    // "Export Merge File": all groups; a name without extension becomes a
    // ".doc"; a directory that cannot take the file is said so.
    main.SpeedButtonClick(8);
    const QString merge = m_dir.file("letters");
    const QString nowhere = m_dir.file("no/such/dir/x.doc");
    for (const QString &name : {merge, nowhere}) {
        onModal<TMultGroup>([](TMultGroup *g) {
            click(g, "BtnAll");
            click(g, "BtnRun");
        });
        m_ui.expectFileName(name);
        if (name == nowhere)
            m_ui.expect(Answer::Ok, "Unable to save to: " + nowhere);
        main.StringGrid1DblClick(1, 0);
        EXPECT_FALSE(db().cust5.isOpen());
    }
    QFile doc(merge + ".doc");
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly));
    EXPECT_EQ(doc.readAll().count('\n'), 3); // the heading, Smith and Moss
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(CustomerReports, ToolWritesTheSameBuyersAndProfileAsTheGenerators)
{
    fill(someCustomers, {{1, 7, QDate(2024, 3, 5), 10, 0, {{"A", 10.00}, {"B", 4.00}}},
                         {2, 9, QDate(2024, 3, 2), 0, 0, {{"A", 10.00}}}});
    saveSettings();
    struct Case
    {
        QStringList args;
        std::function<bool()> generate;
    };
    const Case cases[] = {
        {{"buyers", "--product", "a", "--from", "2024-03-01", "--to", "2024-03-31"},
         [] { return productBuyers(1); }},
        {{"profile", "--customers", "9,7"},
         [] {
             beginProfile();
             profileBlock(3);
             profileBlock(1);
             return true;
         }},
        {{"profile", "--groups", "1,2"},
         [] {
             beginProfile();
             selection().chosenGroups = {1, 2};
             return profileOfChosenGroups();
         }},
    };
    for (const Case &c : cases) {
        const std::string expected = run(c.generate);
        report().endReport();
        const QString out = m_dir.file("out.txt");
        QProcess p;
        p.start(QStringLiteral(TLV_TOOL_PATH),
                c.args + QStringList{m_dir.path(), "--today", "2024-03-15", "-o", out});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(f.readAll()).replace("\r\n", "\n").toStdString(), expected)
            << c.args.join(' ').toStdString();
    }
}
