// A program killed while it saves and deletes invoices: the next start opens
// every table, the data directory passes the check, and the invoices that
// were not being saved are exactly as they were.
//
// The saving is done by a child process (this test program, running the
// loop below) that is killed with SIGKILL at a random moment, many times
// over the same directory.
#include "data/Check.h"
#include "data/FileMaint.h"
#include "invoicing/InvoiceFixture.h"
#include "invoicing/InvoiceStore.h"
#include "shell/InstanceLock.h"

#include <QThread>
#include <cstdio>
#include <random>

using namespace tlv;
using namespace tlv::test;

namespace {

constexpr int customer = 7;
constexpr int before = 1001; // stored before the one being saved, never touched
constexpr int victim = 1002; // saved over and over
constexpr int after = 1003;  // stored after it, never touched

const char *const dirVariable = "TLV_SAVE_LOOP_DIR";
const char *const seedVariable = "TLV_SAVE_LOOP_SEED";

void openInvoiceTables()
{
    Db &d = db();
    for (Table *t : {(Table *)&d.cust5, (Table *)&d.groups, (Table *)&d.inv6, (Table *)&d.itm5,
                     (Table *)&d.pmt, (Table *)&d.prod5})
        t->open();
}

// The record of the invoice with this number; 0 when there is none.
long invoiceRecord(int number)
{
    auto &inv = db().inv6;
    inv.useTag(tag::Inv);
    if (inv.seek(paddedNumber(number, 6)) != 0 || inv.isDeleted())
        return 0;
    return inv.recNo();
}

// Loads the invoice as the editor does and describes it: header, lines and
// payments. Empty when there is no such invoice.
QStringList snapshot(int number)
{
    const long recNo = invoiceRecord(number);
    if (recNo == 0 || !loadInvoice(recNo))
        return {};
    const InvoiceRecord &h = db().inv6.buf;
    QStringList s{QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                      .arg(h.IvNo)
                      .arg(h.CuNo)
                      .arg(dateToText(h.IDate), h.Dept.trimmed(), h.IMemo.trimmed())
                      .arg(h.Ship)
                      .arg(h.Due)};
    for (const QStringList &row : invoiceMemory().items)
        s << row.mid(0, ItemComment + 1).join(QLatin1Char('|'));
    for (const QStringList &row : invoiceMemory().payments)
        s << row.join(QLatin1Char('|'));
    return s;
}

QStringList line(const QString &id, int qty)
{
    return QStringList{id,
                       numberToFixed(qty, 9, 2),
                       QStringLiteral("    1.25"),
                       QStringLiteral("f"),
                       QStringLiteral("t"),
                       QStringLiteral("Item ") + id,
                       QStringLiteral("note ") + id,
                       QString(),
                       QString()};
}

QStringList payment(const QDate &date, double amount)
{
    return QStringList{dateToShort(date), numberToFixed(amount, 10, 2)};
}

// Stores a new invoice through the save itself.
void storeNew(int lines, int payments)
{
    Db &d = db();
    d.selected.invoice = 0;
    startNewInvoice(QDate(2026, 3, 14));
    d.inv6.buf.CuNo = customer;
    d.inv6.buf.Dept = QStringLiteral("Dept %1").arg(d.inv6.buf.IvNo);
    d.inv6.buf.Ship = 3.5;
    d.inv6.buf.Due = 10.25 * d.inv6.buf.IvNo;
    for (int i = 0; i < lines; ++i)
        invoiceMemory().items.append(line(QStringLiteral("N%1-%2").arg(d.inv6.buf.IvNo).arg(i), i + 1));
    for (int i = 0; i < payments; ++i)
        invoiceMemory().payments.append(payment(QDate(2026, 3, 1 + i), 2.5 + i));
    saveInvoice(QString());
}

} // namespace

// The child's part: saves the victim with ever different lines and payments,
// adds new invoices and deletes them again, until it is killed.
TEST(InvoiceCrash, SaveLoopRunByTheKilledChild)
{
    const QByteArray dir = qgetenv(dirVariable);
    if (dir.isEmpty())
        GTEST_SKIP() << "the child process of InvoiceCrash.AKilledSaveDamagesNoOtherInvoice";
    ASSERT_TRUE(QDir::setCurrent(QString::fromLocal8Bit(dir)));
    InstanceLock lock(QDir::currentPath());
    ASSERT_TRUE(lock.acquired());
    db().reset();
    db().session();
    openInvoiceTables();
    std::mt19937 random(qgetenv(seedVariable).toUInt());
    std::printf("ready\n");
    std::fflush(stdout);
    Db &d = db();
    for (int op = 0; op < 1000000; ++op) {
        switch (op % 3) {
        case 0:
        case 1: {
            const long recNo = invoiceRecord(victim);
            ASSERT_GT(recNo, 0);
            d.selected.invoice = int(recNo);
            ASSERT_TRUE(loadInvoice(recNo));
            QList<QStringList> &items = invoiceMemory().items;
            items.clear();
            const int lines = 1 + int(random() % 8);
            for (int i = 0; i < lines; ++i)
                items.append(line(QStringLiteral("V%1-%2").arg(op).arg(i), i + 1));
            QList<QStringList> &payments = invoiceMemory().payments;
            payments.clear();
            for (int i = int(random() % 4); i > 0; --i)
                payments.append(payment(QDate(2026, 4, i), op + 0.5));
            d.inv6.buf.Due = op;
            ASSERT_EQ(saveInvoice(QStringLiteral("note %1").arg(op)).outcome, SaveOutcome::Saved);
            break;
        }
        default: {
            // A new invoice, or the newest one deleted again.
            auto &inv = d.inv6;
            inv.useTag(tag::Inv);
            ASSERT_EQ(inv.bottom(), 0);
            inv.read();
            if (inv.buf.IvNo > after && random() % 2 == 0) {
                d.selected.invoice = int(inv.recNo());
                deleteInvoice();
            } else {
                storeNew(1 + int(random() % 4), int(random() % 3));
            }
            break;
        }
        }
        std::printf("op %d\n", op);
        std::fflush(stdout);
    }
}

TEST_F(InvoiceWindow, AKilledSaveDamagesNoOtherInvoice)
{
    addCustomer(customer, QStringLiteral("Lee"));
    m_ui.expectInput(QString::number(before));
    storeNew(3, 2);
    storeNew(5, 1);
    storeNew(2, 1);
    const QStringList beforeShown = snapshot(before);
    const QStringList afterShown = snapshot(after);
    ASSERT_EQ(beforeShown.size(), 1 + 3 + 2);
    ASSERT_EQ(afterShown.size(), 1 + 2 + 1);
    ASSERT_FALSE(snapshot(victim).isEmpty());
    db().reset();

    std::mt19937 random(20261208);
    int operations = 0;
    constexpr int rounds = 12;
    for (int round = 0; round < rounds; ++round) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(dirVariable), m_dir.path());
        env.insert(QString::fromLatin1(seedVariable), QString::number(round));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=InvoiceCrash.SaveLoopRunByTheKilledChild")});
        ASSERT_TRUE(child.waitForStarted(30000));
        QByteArray out;
        while (!out.contains("ready\n") && child.waitForReadyRead(60000))
            out += child.readAllStandardOutput();
        ASSERT_TRUE(out.contains("ready\n")) << out.toStdString();
        QThread::msleep(10 + random() % 400);
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the child stopped by itself:\n"
                                                           << (out + child.readAll()).toStdString();
        out += child.readAllStandardOutput();
        operations += int(out.count("op "));

        // The next start of the program.
        InstanceLock lock(m_dir.path());
        ASSERT_TRUE(lock.acquired());
        EXPECT_TRUE(lock.previousRunInterrupted());
        db().session();
        rebuildIndexes(!lock.previousRunInterrupted());
        Db &d = db();
        for (int t = 0; t < tableCount; ++t)
            d.table(TableId(t)).open();
        d.closeAll();
        const CheckResult check = checkDataFiles();
        EXPECT_EQ(check.failed, 0) << "round " << round << ":\n" << check.problems.join('\n').toStdString();

        openInvoiceTables();
        EXPECT_EQ(snapshot(before), beforeShown) << "round " << round;
        EXPECT_EQ(snapshot(after), afterShown) << "round " << round;
        // The invoice being saved opens, with some lines and payments of the
        // save that was cut short and maybe some of the one before.
        EXPECT_FALSE(snapshot(victim).isEmpty()) << "round " << round;
        db().reset();
    }
    // The child got some work done between the kills.
    EXPECT_GT(operations, rounds);

    // Saved once more, the invoice that was cut short is whole again.
    db().session();
    openInvoiceTables();
    const long recNo = invoiceRecord(victim);
    db().selected.invoice = int(recNo);
    ASSERT_TRUE(loadInvoice(recNo));
    invoiceMemory().items = {line(QStringLiteral("R1"), 1), line(QStringLiteral("R2"), 2)};
    invoiceMemory().payments = {payment(QDate(2026, 5, 1), 9)};
    ASSERT_EQ(saveInvoice(QString()).outcome, SaveOutcome::Saved);
    const QStringList repaired = snapshot(victim);
    ASSERT_EQ(repaired.size(), 1 + 2 + 1);
    EXPECT_TRUE(repaired[1].startsWith(QStringLiteral("R1")));
    EXPECT_TRUE(repaired[2].startsWith(QStringLiteral("R2")));
    EXPECT_EQ(snapshot(before), beforeShown);
    expectCheckPasses();
}
