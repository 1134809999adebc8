// "Upgrade Data": old tables written here with widths of their own, converted
// into the current tables after a backup beside the data directory.
#include "data/Upgrade.h"
#include "DataFixture.h"
#include "data/Backup.h"
#include "support/Recorders.h"
#include "support/ScriptedUi.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <functional>

using namespace tlv;
using namespace tlv::test;

namespace {

using Row = std::vector<const char *>; // field values in the order of the field list

// Writes an old table dir/stem with the fields given and one record per row
// (memo fields take their text through f4memoAssign).
void writeOldTable(const QString &dir, const char *stem, const std::vector<FIELD4INFO> &fields,
                   const std::vector<Row> &rows)
{
    std::vector<FIELD4INFO> list = fields;
    list.push_back({nullptr, 0, 0, 0});
    const QByteArray path = QFile::encodeName(QDir(dir).filePath(QString::fromLatin1(stem)));
    DATA4 *d = d4create(db().session(), path.constData(), list.data(), nullptr);
    ASSERT_NE(d, nullptr) << stem;
    for (const Row &row : rows) {
        ASSERT_EQ(d4appendBlank(d), 0);
        for (size_t i = 0; i < row.size(); ++i) {
            FIELD4 *f = d4fieldJ(d, int(i) + 1);
            if (f4type(f) == 'M')
                f4memoAssign(f, row[i]);
            else
                f4assign(f, row[i]);
        }
    }
    d4close(d);
}

const std::vector<FIELD4INFO> prod4Fields = {
    {"PRID", 'C', 8, 0},  {"RCODE", 'C', 6, 0}, {"PDESC", 'C', 30, 0}, {"UPRICE", 'N', 9, 2},
    {"LTAX1", 'L', 1, 0}, {"LTAX2", 'L', 1, 0}, {"ICOMM", 'C', 20, 0}, {"PMEMO", 'M', 10, 0}};
const std::vector<FIELD4INFO> cust2Fields = {
    {"CUNO", 'N', 5, 0},   {"NGROUP", 'N', 2, 0}, {"TITLE", 'C', 4, 0},     {"FIRST", 'C', 12, 0},
    {"LAST", 'C', 18, 0},  {"ADDR1", 'C', 30, 0}, {"ADDR2", 'C', 30, 0},    {"ADDR3", 'C', 30, 0},
    {"ADDR4", 'C', 20, 0}, {"ZIP", 'C', 10, 0},   {"COMMENTS", 'M', 10, 0}, {"NOTE", 'C', 30, 0}};
const std::vector<FIELD4INFO> invFields = {{"IVNO", 'N', 5, 0},   {"CUNO", 'N', 5, 0}, {"IDATE", 'D', 8, 0},
                                           {"IMEMO", 'C', 25, 0}, {"REM", 'M', 10, 0}, {"SHIP", 'N', 8, 2},
                                           {"TAX", 'N', 8, 2},    {"DUE", 'N', 9, 2}};
const std::vector<FIELD4INFO> itm4Fields = {{"IVNO", 'N', 5, 0}, {"PRID", 'C', 8, 0}, {"ICOMM", 'C', 20, 0},
                                            {"QTY", 'N', 7, 2},  {"UPR", 'N', 9, 2},  {"LTAX1", 'L', 1, 0},
                                            {"LTAX2", 'L', 1, 0}};

// The current tables as short text, one line per record in record order.
template <class R> QString dump(BufferedTable<R> &t, const std::function<QString(const R &)> &line)
{
    t.open();
    d4tagSelect(t.data(), nullptr);
    QString text;
    for (int rc = t.top(); rc == 0; rc = t.skip()) {
        t.read();
        text += line(t.buf) + QLatin1Char('\n');
    }
    db().closeAll();
    return text;
}

QString customers()
{
    return dump<CustomerRecord>(db().cust5, [](const CustomerRecord &c) {
        return QStringLiteral("%1 %2 %3 %4 [%5|%6|%7]")
            .arg(c.cuno)
            .arg(c.ngroup)
            .arg(c.last.trimmed(), c.comments, c.phone.trimmed(), c.fax.trimmed(), c.email.trimmed());
    });
}

QString invoices()
{
    return dump<InvoiceRecord>(db().inv6, [](const InvoiceRecord &r) {
        return QStringLiteral("%1 %2 %3 [%4] %5 %6 %7 %8 [%9]")
            .arg(r.IvNo)
            .arg(r.CuNo)
            .arg(r.IDate.toString(Qt::ISODate), r.Dept.trimmed())
            .arg(r.Discount, 0, 'f', 2)
            .arg(r.Ship, 0, 'f', 2)
            .arg(r.Tax, 0, 'f', 2)
            .arg(r.Due, 0, 'f', 2)
            .arg(r.REM);
    });
}

QString items()
{
    return dump<ItemRecord>(db().itm5, [](const ItemRecord &r) {
        return QStringLiteral("%1 %2 %3x%4 %5 [%6]")
            .arg(r.IvNo)
            .arg(r.PrID.trimmed())
            .arg(r.Qty, 0, 'f', 2)
            .arg(r.UPR, 0, 'f', 2)
            .arg(r.LTax1 ? 'T' : 'F')
            .arg(r.PDesc.trimmed());
    });
}

class Upgrade : public DataDirTest
{
protected:
    void TearDown() override
    {
        for (const QString &dir : m_backups)
            QDir(dir).removeRecursively();
        DataDirTest::TearDown();
    }
    QString oldDir()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("old"));
        return m_dir.file(QStringLiteral("old"));
    }
    void addCustomer(int number, const char *last)
    {
        Db &d = db();
        d.cust5.open();
        ASSERT_TRUE(d.cust5.appendBlank());
        d.cust5.buf = CustomerRecord{};
        d.cust5.buf.cuno = number;
        d.cust5.buf.last = QString::fromLatin1(last);
        d.cust5.buf.phone = QStringLiteral("555-0100");
        d.cust5.write();
        d.closeAll();
    }
    // The Norvath tables; Groups, labels and pmt laid out like today's.
    void writeNorvath(const QString &dir, bool withCustomers)
    {
        for (const char *name : {"GROUPS.dbf", "LABELS.dbf", "PMT.dbf"})
            ASSERT_TRUE(QFile::copy(m_dir.file(QString::fromLatin1(name)),
                                    QDir(dir).filePath(QString::fromLatin1(name).toLower())));
        writeOldTable(dir, "Prod4", prod4Fields,
                      {{"ab-1", "R1", "Lower-case widget", "12.50", "T", "F", "", "memo"},
                       {"CD2", "R2", "Service call", "40.00", "F", "F", "", ""}});
        writeOldTable(dir, "cust2", cust2Fields,
                      withCustomers
                          ? std::vector<Row>{{"7", "2", "Mr", "Al", "Stone", "1 Road", "", "", "", "12345",
                                              "likes tea", "note"},
                                             {"9", "1", "", "Bo", "Reed", "", "", "", "", "", "", ""}}
                          : std::vector<Row>{});
        writeOldTable(dir, "INV", invFields,
                      {{"101", "7", "19990214", "first", "  thanks  ", "3.00", "1.75", "29.25"},
                       {"102", "9", "20000101", "", "", "0", "0", "40.00"}});
        writeOldTable(dir, "itm4", itm4Fields,
                      {{"101", "ab-1", "", "2", "12.50", "T", "F"},
                       {"101", "GONE", "", "1", "1.00", "F", "F"},
                       {"102", "cd2", "", "1", "40.00", "F", "F"}});
    }
    UpgradeOutcome run(const QString &dir, ScriptedUi &ui)
    {
        const UpgradeOutcome out = upgradeFrom(dir);
        if (!out.backupDir.isEmpty())
            m_backups << out.backupDir;
        EXPECT_TRUE(ui.allUsed()) << ui.texts().join(QLatin1Char('|')).toStdString();
        return out;
    }

    QStringList m_backups;
};

// The Norvath conversion: products, customers, invoices and items mapped
// field by field, descriptions found by upper-cased product identifier, an
// empty old table converted to an empty one while the rest goes on.
TEST_F(Upgrade, NorvathDataReplacesTheCurrentData)
{
    for (const bool withCustomers : {true, false}) {
        SCOPED_TRACE(withCustomers);
        addCustomer(1, "Current");
        const QString dir = oldDir() + (withCustomers ? "/full" : "/nocust");
        QDir().mkpath(dir);
        writeNorvath(dir, withCustomers);
        db().closeAll();
        ScriptedUi ui;
        ui.expect(Answer::Ok, QStringLiteral("Warning: All previously entered data will be overwritten"))
            .expect(Answer::Ok, QStringLiteral("backed up to"));
        RecordingProgress progress;
        const UpgradeOutcome out = run(dir, ui);
        ASSERT_EQ(out.result, UpgradeResult::Converted);
        // The backup holds the data as it was, with its sums.
        EXPECT_TRUE(QFile::exists(QDir(out.backupDir).filePath(manifestFileName())));

        EXPECT_EQ(customers().toStdString(),
                  withCustomers ? "7 2 Stone likes tea [||]\n9 1 Reed  [||]\n" : "");
        EXPECT_EQ(invoices().toStdString(), "101 7 1999-02-14 [] 0.00 3.00 1.75 29.25 [thanks]\n"
                                            "102 9 2000-01-01 [] 0.00 0.00 0.00 40.00 []\n");
        EXPECT_EQ(items().toStdString(), "101 ab-1 2.00x12.50 T [Lower-case widget]\n"
                                         "101 GONE 1.00x1.00 F []\n"
                                         "102 cd2 1.00x40.00 F [Service call]\n");
        const auto at = progress.events.indexOf(QStringLiteral("status:Converting Data Files"));
        ASSERT_GE(at, 0);
        EXPECT_EQ(progress.events.mid(at, 8).join(QLatin1Char(' ')).toStdString(),
                  "status:Converting Data Files progress:5 progress:10 progress:15 progress:20 progress:22 "
                  "progress:25 " +
                      std::string(withCustomers ? "progress:37" : "progress:62"));
        EXPECT_TRUE(progress.events.contains(QStringLiteral("status:Transferring Item Descriptions")));
    }
}

// Version 1: the invoices of Inv5 become INV6 invoices; the other tables are
// copied from the chosen directory, and nothing is copied when it is the
// data directory itself.
TEST_F(Upgrade, Version1InvoicesAreConvertedWithTheOtherTablesCopied)
{
    const std::vector<FIELD4INFO> inv5Fields = {
        {"IVNO", 'N', 6, 0},   {"CUNO", 'N', 6, 0},  {"IDATE", 'D', 8, 0},
        {"IMEMO", 'C', 30, 0}, {"DEPT", 'C', 12, 0}, {"REM", 'M', 10, 0},
        {"SHIP", 'N', 9, 2},   {"TAX", 'N', 9, 2},   {"DUE", 'N', 10, 2}};
    const std::vector<Row> inv5Rows = {
        {"5", "1", "20010305", "m", "Sales", " hello ", "1.00", "0.50", "11.50"},
        {"6", "1", "20010306", "", "", "", "0", "0", "2.00"}};
    for (const bool inPlace : {true, false}) {
        SCOPED_TRACE(inPlace);
        addCustomer(1, "Old");
        QString dir = m_dir.path();
        if (!inPlace) {
            dir = oldDir();
            for (const BackupFile &f : backupFiles())
                QFile::copy(m_dir.file(QString::fromLatin1(f.name)),
                            QDir(dir).filePath(QString::fromLatin1(f.name).toLower()));
            addCustomer(2, "New"); // only in the data directory: the copy replaces it
        }
        writeOldTable(dir, "INV5", inv5Fields, inv5Rows);
        db().closeAll();
        ScriptedUi ui;
        ui.expect(Answer::Ok,
                  QStringLiteral("Convert/Upgrade data from Tarlvin Invoicing & Inventory version "
                                 "1.xx\nWarning: All previously entered data will be overwritten"))
            .expect(Answer::Ok, QStringLiteral("backed up to"));
        RecordingProgress progress;
        ASSERT_EQ(run(dir, ui).result, UpgradeResult::Converted);
        EXPECT_EQ(invoices().toStdString(), "5 1 2001-03-05 [Sales] 0.00 1.00 0.50 11.50 [hello]\n"
                                            "6 1 2001-03-06 [] 0.00 0.00 0.00 2.00 []\n");
        EXPECT_EQ(customers().toStdString(), "1 0 Old  [555-0100||]\n");
        const auto at = progress.events.indexOf(QStringLiteral("status:Converting Data Files"));
        ASSERT_GE(at, 0);
        EXPECT_EQ(progress.events.mid(at + 1, inPlace ? 3 : 12).join(QLatin1Char(' ')).toStdString(),
                  inPlace
                      ? "progress:5 progress:75 progress:100"
                      : "progress:5 progress:10 progress:15 progress:20 progress:25 progress:30 progress:35 "
                        "progress:40 progress:45 progress:50 progress:75 progress:100");
        QFile::remove(QDir(dir).filePath(QStringLiteral("INV5.dbf")));
        QFile::remove(QDir(dir).filePath(QStringLiteral("INV5.dbt")));
        // Start the next round from an empty customer table.
        db().cust5.open();
        d4zap(db().cust5.data(), 1, db().cust5.recCount());
        db().closeAll();
    }
}

// A directory without the old files changes nothing; a conversion that stops
// part way leaves indexed tables, says where the data as it was went, and a
// restore from there brings it back.
TEST_F(Upgrade, MissingFilesChangeNothingAndAFailedStepCanBeRestored)
{
    addCustomer(1, "Kept");
    const QString dir = oldDir();
    {
        ScriptedUi ui;
        ui.expect(Answer::Ok, QStringLiteral("Data files not found in ") + dir);
        EXPECT_EQ(run(dir, ui).result, UpgradeResult::NotFound);
    }
    writeNorvath(dir, true);
    // Line items without their price field: the last step cannot be done.
    QFile::remove(QDir(dir).filePath(QStringLiteral("itm4.dbf")));
    writeOldTable(dir, "itm4", {{"IVNO", 'N', 5, 0}, {"PRID", 'C', 8, 0}}, {{"101", "ab-1"}});
    db().closeAll();
    ScriptedUi ui;
    ui.expect(Answer::Ok, QStringLiteral("Warning"))
        .expect(Answer::Ok, QStringLiteral("backed up to"))
        .expect(Answer::Ok, QStringLiteral("Unable to convert all data files\nThe data as it was before the "
                                           "upgrade is in "));
    const UpgradeOutcome out = run(dir, ui);
    ASSERT_EQ(out.result, UpgradeResult::Failed);
    EXPECT_EQ(customers().toStdString(), "7 2 Stone likes tea [||]\n9 1 Reed  [||]\n");
    EXPECT_EQ(items().toStdString(), "");
    EXPECT_TRUE(restoreFrom(out.backupDir));
    EXPECT_EQ(customers().toStdString(), "1 0 Kept  [555-0100||]\n");
}

// tlvtool upgrade DIR OLD_DIR runs the same conversion without asking, and
// says where the data as it was went.
TEST_F(Upgrade, ToolConvertsWithoutAWindow)
{
    const QString dir = oldDir();
    writeNorvath(dir, true);
    db().reset();
    QProcess p;
    p.start(QStringLiteral(TLV_TOOL_PATH), {"upgrade", m_dir.path(), dir});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString backup = out.section(QStringLiteral(" is in "), 1).trimmed();
    m_backups << backup;
    EXPECT_TRUE(QFile::exists(QDir(backup).filePath(manifestFileName()))) << out.toStdString();
    EXPECT_EQ(customers().toStdString(), "7 2 Stone likes tea [||]\n9 1 Reed  [||]\n");

    // A directory without the old files: nothing changes, and the exit code says so.
    QDir().mkpath(m_dir.file(QStringLiteral("old/none")));
    p.start(QStringLiteral(TLV_TOOL_PATH), {"upgrade", m_dir.path(), m_dir.file(QStringLiteral("old/none"))});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(customers().toStdString(), "7 2 Stone likes tea [||]\n9 1 Reed  [||]\n");
}

} // namespace
