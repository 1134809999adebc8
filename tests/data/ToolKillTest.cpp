// tlvtool pack and reindex killed at a random moment: the next tool call
// repairs what the killed one left, and nothing of the data is lost. The
// directory is the sample business with memos of many lengths added and a
// third of every table's records marked deleted; each round starts from a
// fresh copy of it.
#include "data/xbase/xbase.h"
#include "support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace {

struct ToolRun
{
    int code = -1;
    QString out;
};

ToolRun runProgram(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished();
        r.out = QStringLiteral("timed out");
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAll());
    return r;
}

ToolRun tlvtool(const QStringList &args)
{
    return runProgram(QStringLiteral(TLV_TOOL_PATH), args);
}

QStringList tables(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("*.dbf"), QStringLiteral("*.DBF")}, QDir::Files, QDir::Name);
}

QString stemOf(const QString &dir, const QString &table)
{
    return QDir(dir).filePath(table.left(table.size() - 4));
}

bool hasGroupFile(const QString &dir, const QString &table)
{
    const QString group = table.left(table.size() - 4) + QStringLiteral(".cgp");
    return QDir(dir).entryList(QDir::Files).contains(group, Qt::CaseInsensitive);
}

// Every live record of every table, memo texts included, in physical order
// (which a pack keeps); deleted counts the records marked deleted.
std::string liveRecords(const QString &dir, long *deleted = nullptr)
{
    std::string out;
    if (deleted)
        *deleted = 0;
    for (const QString &table : tables(dir)) {
        out += table.toStdString() + "\n";
        CODE4 *c4 = code4initP();
        code4autoOpen(c4, 0);
        DATA4 *d = d4open(c4, QFile::encodeName(stemOf(dir, table)).constData());
        if (!d) {
            out += "  cannot be opened\n";
            code4initUndoP(c4);
            continue;
        }
        const long count = d4recCountDo(d);
        for (long rec = 1; rec <= count; ++rec) {
            if (d4go(d, rec) != 0) {
                out += "  record cannot be read\n";
                break;
            }
            if (d4deleted(d)) {
                if (deleted)
                    ++*deleted;
                continue;
            }
            for (int j = 1; j <= d4numFields(d); ++j) {
                FIELD4 *f = d4fieldJ(d, j);
                out += f4type(f) == 'M' ? std::string(f4memoStr(f), f4memoLen(f)) : std::string(f4str(f));
                out += '|';
            }
            out += '\n';
        }
        d4close(d);
        code4initUndoP(c4);
    }
    return out;
}

// Memos of one to several blocks on every fourth record, and every third
// record of the tables of many records marked deleted, through the engine with the tables' tags open.
void addMemosAndDeletions(const QString &dir)
{
    for (const QString &table : tables(dir)) {
        CODE4 *c4 = code4initP();
        code4autoOpen(c4, hasGroupFile(dir, table) ? 1 : 0);
        DATA4 *d = d4open(c4, QFile::encodeName(stemOf(dir, table)).constData());
        ASSERT_NE(d, nullptr) << table.toStdString();
        const long count = d4recCountDo(d);
        for (long rec = 1; rec <= count; ++rec) {
            ASSERT_EQ(d4go(d, rec), 0);
            if (rec % 4 == 2)
                for (int j = 1; j <= d4numFields(d); ++j)
                    if (f4type(d4fieldJ(d, j)) == 'M') {
                        const std::string text(size_t(rec * 97 % 1700 + 1), char('a' + rec % 26));
                        ASSERT_EQ(f4memoAssignN(d4fieldJ(d, j), text.data(), unsigned(text.size())), 0);
                    }
            if (rec % 3 == 1 && count > 2) // the one-record tables keep theirs
                d4delete(d);
        }
        ASSERT_EQ(d4flush(d), 0);
        d4close(d);
        ASSERT_EQ(code4errorCode(c4, 0), 0) << table.toStdString();
        code4initUndoP(c4);
    }
}

void copyDirectory(const QString &from, const QString &to)
{
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)));
}

class ToolKill : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_tmp = std::make_unique<QTemporaryDir>();
        s_origin = s_tmp->filePath(QStringLiteral("origin"));
        const ToolRun demo = tlvtool({"demo", s_origin});
        ASSERT_EQ(demo.code, 0) << demo.out.toStdString();
        addMemosAndDeletions(s_origin);
        s_before = liveRecords(s_origin, &s_deletedBefore);
    }
    static void TearDownTestSuite() { s_tmp.reset(); }

    // kills rounds of `tlvtool command` at a random moment of its run; after
    // each, the next tool call (pack or reindex, in turn) must leave a
    // directory that both checkers pass, holding the same live records.
    void killRounds(const char *command, int kills)
    {
        ASSERT_EQ(tlvtool({"check", s_origin}).code, 0);
        ASSERT_GT(s_deletedBefore, 0);
        const QString work = s_tmp->filePath(QStringLiteral("work"));

        // How long one undisturbed run works between claiming the directory
        // and emptying its mark, to spread the kills over that work.
        const QString markFile = QDir(work).filePath(QStringLiteral("tarlvin.lck"));
        const auto awaitClaim = [&](QProcess &p) {
            while (p.state() == QProcess::Running) {
                QFile mark(markFile);
                if (mark.open(QIODevice::ReadOnly) && mark.readAll().startsWith("running"))
                    return;
                QThread::usleep(200);
            }
        };
        copyDirectory(s_origin, work);
        qint64 runMicros = 0;
        {
            QProcess p;
            p.start(QStringLiteral(TLV_TOOL_PATH), {command, work});
            ASSERT_TRUE(p.waitForStarted());
            awaitClaim(p);
            QElapsedTimer clock;
            clock.start();
            // Its work ends where it empties the mark, before the process ends.
            for (;;) {
                QFile mark(markFile);
                if (p.state() != QProcess::Running ||
                    (mark.open(QIODevice::ReadOnly) && !mark.readAll().startsWith("running")))
                    break;
                QThread::usleep(200);
            }
            runMicros = clock.nsecsElapsed() / 1000;
            ASSERT_TRUE(p.waitForFinished(240000));
            ASSERT_EQ(p.exitCode(), 0);
        }

        const unsigned seed = std::random_device{}();
        std::mt19937 dice(seed);
        std::uniform_int_distribution<qint64> moment(0, runMicros);
        int killed = 0, killedAtWork = 0, finishedFirst = 0;
        for (int round = 0; killed < kills && round < kills * 4; ++round) {
            SCOPED_TRACE(
                QStringLiteral("%1, seed %2, round %3").arg(command).arg(seed).arg(round).toStdString());
            copyDirectory(s_origin, work);
            QProcess p;
            p.start(QStringLiteral(TLV_TOOL_PATH), {command, work});
            ASSERT_TRUE(p.waitForStarted());
            awaitClaim(p);
            QThread::usleep(quint64(moment(dice)));
            const bool running = p.state() == QProcess::Running;
            if (running) {
                p.kill();
                ++killed;
            } else {
                ++finishedFirst;
            }
            p.waitForFinished();
            // Killed after it claimed the directory: the mark asks for the repair.
            QFile mark(markFile);
            const bool cutShort =
                running && mark.open(QIODevice::ReadOnly) && mark.readAll().startsWith("running");
            killedAtWork += cutShort ? 1 : 0;

            const char *next = round % 2 ? "reindex" : "pack";
            const ToolRun repair = tlvtool({next, work});
            ASSERT_EQ(repair.code, 0) << next << ": " << repair.out.toStdString();
            EXPECT_EQ(repair.out.contains(QStringLiteral("did not end properly")), cutShort)
                << repair.out.toStdString();
            const ToolRun check = tlvtool({"check", work});
            ASSERT_EQ(check.code, 0) << check.out.toStdString();
            const ToolRun peers = runProgram(QStringLiteral(TLV_PEERS_DIR "/crosscheck.sh"),
                                             {work, s_tmp->filePath(QStringLiteral("peers"))});
            ASSERT_EQ(peers.code, 0) << peers.out.toStdString();
            long deleted = 0;
            ASSERT_EQ(liveRecords(work, &deleted), s_before);
            if (std::string(next) == "pack") {
                EXPECT_EQ(deleted, 0);
            }
        }
        std::printf("[ kills ] tlvtool %s: %d killed (%d of them holding the directory), %d finished before "
                    "their moment, seed %u\n",
                    command, killed, killedAtWork, finishedFirst, seed);
        RecordProperty(std::string("killed_") + command, killed);
        EXPECT_EQ(killed, kills);
    }

    static std::unique_ptr<QTemporaryDir> s_tmp;
    static QString s_origin;
    static std::string s_before;
    static long s_deletedBefore;
};

std::unique_ptr<QTemporaryDir> ToolKill::s_tmp;
QString ToolKill::s_origin;
std::string ToolKill::s_before;
long ToolKill::s_deletedBefore = 0;

} // namespace

TEST_F(ToolKill, PackKilledAFewTimes)
{
    killRounds("pack", 3);
}

TEST_F(ToolKill, ReindexKilledAFewTimes)
{
    killRounds("reindex", 3);
}

// The long runs, by hand: test_data --gtest_also_run_disabled_tests --gtest_filter='ToolKill.DISABLED_*'
TEST_F(ToolKill, DISABLED_PackKilledFiftyTimes)
{
    killRounds("pack", 50);
}

TEST_F(ToolKill, DISABLED_ReindexKilledFiftyTimes)
{
    killRounds("reindex", 50);
}
