// tlvtool init and demo, run as the separate program they are.
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Helpers.h"
#include "data/InvoiceMemory.h"
#include "data/Money.h"
#include "data/TableScope.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace tlv;

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out, err;
};

ToolRun run(const QStringList &args, const QString &program = QStringLiteral(TLV_TOOL_PATH))
{
    QProcess p;
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// Works in a data directory through the data layer for its lifetime.
class InDirectory
{
public:
    explicit InDirectory(const QString &dir) : m_previous(QDir::currentPath())
    {
        db().reset();
        QDir::setCurrent(dir);
    }
    ~InDirectory()
    {
        db().reset();
        invoiceMemory().reset();
        QDir::setCurrent(m_previous);
    }

private:
    QString m_previous;
};

} // namespace

TEST(Tlvtool, InitWritesEveryTableWithTheOneRecords)
{
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("new/data")); // made when missing
    const ToolRun r = run({"init", dir});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "");

    QStringList expected = allDataFileNames();
    QStringList present = existingDataFiles(dir);
    expected.sort();
    present.sort();
    EXPECT_EQ(present, expected);
    EXPECT_EQ(present.size(), 39); // 11 tables, 3 memo files, 8 groups, 17 tags

    InDirectory in(dir);
    TableScope scope;
    for (const TableDef &t : allTables()) {
        Table &table = db().table(t.id);
        table.open();
        const long expectedRecords = (t.id == TableId::TLV2 || t.id == TableId::ImpDirs) ? 1 : 0;
        EXPECT_EQ(table.recCount(), expectedRecords) << t.stem;
    }
    db().tlv2.read();
    const SettingsRecord &s = db().tlv2.buf;
    EXPECT_EQ(s.ShipLine.trimmed(), "Shipping");
    EXPECT_EQ(s.TaxLine.trimmed(), "Sales Tax");
    EXPECT_EQ(s.TaxRate1, 0.0);
    EXPECT_EQ(s.TaxRate2, 0.0);
    EXPECT_EQ(s.ShipTax, 1);
    EXPECT_EQ(s.TaxRound, 1);
    EXPECT_EQ(s.LHJustify, 1);
    EXPECT_DOUBLE_EQ(s.TopMargin, 0.5);
    EXPECT_TRUE(s.ByCust);
    EXPECT_TRUE(s.fifo);
    EXPECT_EQ(s.MailHost.trimmed(), "");
    EXPECT_EQ(s.FontSize, 0);
    db().impDirs.read();
    EXPECT_EQ(db().impDirs.buf.InfoDir.trimmed(), "");
    EXPECT_EQ(db().impDirs.buf.OrderDir.trimmed(), "");
}

TEST(Tlvtool, InitRefusesADirectoryHoldingDataFiles)
{
    QTemporaryDir tmp;
    {
        QFile f(tmp.filePath(QStringLiteral("cust5.DBF")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    for (const char *command : {"init", "demo"}) {
        const ToolRun r = run({command, tmp.path()});
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_TRUE(r.err.contains("already holds data files")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("cust5.DBF")) << r.err.toStdString();
    }
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList({"cust5.DBF"}));
    QFile f(tmp.filePath(QStringLiteral("cust5.DBF")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "precious");
}

TEST(Tlvtool, HelpNamesTheCommandsAndErrorsExitNonZero)
{
    const ToolRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("init DIR"));
    EXPECT_TRUE(help.out.contains("demo DIR"));

    for (const QStringList &args :
         {QStringList{}, QStringList{"frobnicate"}, QStringList{"init"}, QStringList{"demo", "a", "b"}}) {
        const ToolRun r = run(args);
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, "");
    }

    QTemporaryDir tmp;
    QFile plain(tmp.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const ToolRun r = run({"init", plain.fileName()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("not a directory"));
}

// ---- The sample business ------------------------------------------------------------

class TlvtoolDemo : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_tmp = std::make_unique<QTemporaryDir>();
        s_dir = s_tmp->filePath(QStringLiteral("demo"));
        s_run = run({"demo", s_dir});
    }
    static void TearDownTestSuite() { s_tmp.reset(); }

    static std::unique_ptr<QTemporaryDir> s_tmp;
    static QString s_dir;
    static ToolRun s_run;
};

std::unique_ptr<QTemporaryDir> TlvtoolDemo::s_tmp;
QString TlvtoolDemo::s_dir;
ToolRun TlvtoolDemo::s_run;

TEST_F(TlvtoolDemo, PassesTheIndependentReaders)
{
    ASSERT_EQ(s_run.exitCode, 0) << s_run.err.toStdString();
    const QString out = s_tmp->filePath(QStringLiteral("crosscheck"));
    const ToolRun check = run({s_dir, out}, QStringLiteral(TLV_PEERS_DIR "/crosscheck.sh"));
    const QStringList lines = check.out.trimmed().split(QLatin1Char('\n'));
    std::printf("crosscheck: %s\n", qPrintable(lines.last()));
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    EXPECT_EQ(lines.last(), "3 passed, 0 failed");
}

TEST_F(TlvtoolDemo, IsASmallBelievableBusiness)
{
    ASSERT_EQ(s_run.exitCode, 0) << s_run.err.toStdString();
    InDirectory in(s_dir);
    TableScope scope;
    Db &d = db();
    for (TableId id : {TableId::TLV2, TableId::CUST5, TableId::GROUPS, TableId::INV6, TableId::ITM5,
                       TableId::PMT, TableId::Prod5, TableId::Pur5, TableId::LABELS})
        d.table(id).open();

    d.tlv2.read();
    EXPECT_FALSE(d.tlv2.buf.Company.trimmed().isEmpty());
    const double taxRate = d.tlv2.buf.TaxRate2;

    EXPECT_GE(d.groups.recCount(), 3);
    EXPECT_GE(d.cust5.recCount(), 25);
    EXPECT_LE(d.cust5.recCount(), 35);
    EXPECT_EQ(d.prod5.recCount(), 20);
    EXPECT_GE(d.inv6.recCount(), 50);

    // Every customer is in an existing group; numbers run from 1 without gaps.
    EXPECT_EQ(nextCustomerNumber(), d.cust5.recCount() + 1);
    for (int r = d.cust5.top(); r == 0; r = d.cust5.skip(1)) {
        d.cust5.read();
        EXPECT_TRUE(lookUpGroup(d.cust5.buf.ngroup)) << d.cust5.buf.cuno;
    }

    // Purchases only for stocked products.
    int stocked = 0;
    for (int r = d.prod5.top(); r == 0; r = d.prod5.skip(1)) {
        d.prod5.read();
        d.pur5.useTag(tag::Pur);
        const bool bought = d.pur5.seek(keyUpper(d.prod5.buf.PrID)) == 0;
        EXPECT_EQ(bought, d.prod5.buf.lInven) << d.prod5.buf.PrID.toStdString();
        stocked += d.prod5.buf.lInven ? 1 : 0;
    }
    EXPECT_GE(stocked, 5);
    EXPECT_LT(stocked, 20);

    // Every invoice: in the last three months, for a known customer, with
    // lines, and an amount due that is its total less its payments.
    const QDate today = QDate::currentDate();
    int paid = 0, open = 0, credit = 0, discounted = 0, shipped = 0;
    QDate previous;
    d.inv6.useTag(tag::InvD);
    for (int r = d.inv6.top(); r == 0; r = d.inv6.skip(1)) {
        const long rec = d.inv6.recNo();
        ASSERT_TRUE(loadInvoice(rec)); // leaves INV6 on the same record and order
        const InvoiceRecord h = d.inv6.buf;
        const InvoiceMemory &m = invoiceMemory();
        EXPECT_GE(h.IDate, today.addDays(-92)) << h.IvNo;
        EXPECT_LE(h.IDate, today) << h.IvNo;
        if (previous.isValid()) {
            EXPECT_GE(h.IDate, previous);
        }
        previous = h.IDate;
        EXPECT_GT(m.customerRecNo, 0) << h.IvNo;
        ASSERT_GE(m.highestItem(), 0) << h.IvNo;

        // The stored amounts are exactly what the editor computes.
        Hundredths sum, taxable;
        for (const QStringList &row : m.items) {
            const Hundredths amount =
                lineAmountOf(Hundredths::read(row[ItemPrice]), Hundredths::read(row[ItemQty]));
            sum += amount;
            if (row[ItemTax2] == QLatin1String("t"))
                taxable += amount;
        }
        const Hundredths discount = Hundredths::of(h.Discount);
        taxable -= percentOf(discount, taxable);
        EXPECT_EQ(Hundredths::of(h.Tax), taxOf(Hundredths::of(taxRate), taxable, TaxRounding::Normal))
            << h.IvNo;
        const Hundredths total =
            sum - percentOf(discount, sum) + Hundredths::of(h.Ship) + Hundredths::of(h.Tax);
        Hundredths payments;
        for (const QStringList &row : m.payments) {
            payments += Hundredths::read(row[PaymentAmount]);
            const QDate paidOn = shortToDate(row[PaymentDate]);
            EXPECT_GE(paidOn, h.IDate) << h.IvNo;
            EXPECT_LE(paidOn, today) << h.IvNo;
        }
        EXPECT_EQ(Hundredths::of(h.Due), total - payments) << h.IvNo;
        if (h.Due < 0)
            ++credit;
        else if (h.Due == 0 && !m.payments.isEmpty())
            ++paid;
        else if (h.Due > 0)
            ++open;
        discounted += h.Discount > 0 ? 1 : 0;
        shipped += h.Ship > 0 ? 1 : 0;
    }
    EXPECT_EQ(credit, 1);
    EXPECT_GE(paid, 20);
    EXPECT_GE(open, 5);
    EXPECT_GE(discounted, 3);
    EXPECT_GE(shipped, 3);
}
