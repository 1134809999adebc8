// Backup and restore between the data directory and another directory, with
// full disks and renames that fail injected through the engine's fault plan.
#include "data/Backup.h"
#include "DataFixture.h"
#include "data/DataLock.h"
#include "data/xbase/FileIo.h"
#include "shell/ReadOnlyDir.h"
#include "support/Recorders.h"
#include "support/ScriptedUi.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

using namespace tlv;
using namespace tlv::test;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The business files of a directory, by name.
std::map<QString, QByteArray> businessFiles(const QString &dir)
{
    std::map<QString, QByteArray> files;
    for (const BackupFile &f : backupFiles())
        files[QString::fromLatin1(f.name)] = bytesOf(QDir(dir).filePath(QString::fromLatin1(f.name)));
    return files;
}

// What a copy may leave beside its files when it does not clean up.
QStringList strays(const QString &dir)
{
    return QDir(dir).entryList({"*.part", "*.new", "*.undo", "RESTORE.UNDO"}, QDir::Files);
}

class BackupRestore : public DataDirTest
{
protected:
    void SetUp() override
    {
        DataDirTest::SetUp();
        addCustomer(1, QStringLiteral("Before"));
    }
    void TearDown() override
    {
        xbase::clearFaultPlan();
        DataDirTest::TearDown();
    }
    void addCustomer(int number, const QString &last)
    {
        Db &d = db();
        d.cust5.open();
        ASSERT_TRUE(d.cust5.appendBlank());
        d.cust5.buf = CustomerRecord{};
        d.cust5.buf.cuno = number;
        d.cust5.buf.last = last;
        d.cust5.buf.note = last + QStringLiteral(" note");
        d.cust5.write();
        d.groups.open();
        ASSERT_TRUE(d.groups.appendBlank());
        d.groups.buf = GroupRecord{};
        d.groups.buf.nGroup = number;
        d.groups.buf.cGroup = last;
        d.groups.write();
        d.closeAll();
    }
    // A backup of the data as it is now; the data then changes.
    void backupThenChange()
    {
        ScriptedUi ui;
        ASSERT_TRUE(backupTo(m_backup.path()));
        addCustomer(2, QStringLiteral("After"));
        ASSERT_NE(businessFiles(m_dir.path()), businessFiles(m_backup.path()));
    }

    QTemporaryDir m_backup;
};

TEST_F(BackupRestore, TheDataDirectoryItselfIsRefused)
{
    for (const QString &chosen : {m_dir.path(), m_dir.path() + "/", "  " + m_dir.path() + "  "}) {
        ScriptedUi ui;
        RecordingProgress shown;
        ui.expect(Answer::Ok, QStringLiteral("Backup must be to a different drive and/or directory"));
        ui.expect(Answer::Ok, QStringLiteral("Restore must be from a different drive and/or directory"));
        EXPECT_FALSE(backupTo(chosen));
        EXPECT_FALSE(restoreFrom(chosen));
        EXPECT_TRUE(ui.allUsed());
        EXPECT_TRUE(shown.events.isEmpty())
            << shown.events.join(' ').toStdString(); // nothing copied or rebuilt
        EXPECT_EQ(strays(m_dir.path()), QStringList());
        EXPECT_FALSE(QFile::exists(m_dir.file(manifestFileName())));
    }
}

TEST_F(BackupRestore, BackupFillsTheChosenDirectoryAndRestoreBringsItBack)
{
    const auto before = businessFiles(m_dir.path());
    {
        ScriptedUi ui;
        RecordingProgress shown;
        // The chooser's result has no trailing separator.
        ASSERT_TRUE(backupTo(m_backup.path()));
        EXPECT_EQ(shown.events.join(' '), "status:Copying Data Files progress:10 progress:20 progress:30 "
                                          "progress:35 progress:45 progress:55 progress:70 progress:75 "
                                          "progress:85 progress:95 progress:100 status:");
    }
    EXPECT_EQ(businessFiles(m_backup.path()), before);
    EXPECT_EQ(strays(m_backup.path()), QStringList());
    // The list of sums names each file with its size and SHA-256.
    const QByteArray manifest = bytesOf(QDir(m_backup.path()).filePath(manifestFileName()));
    const QByteArray cust = before.at("CUST5.dbf");
    EXPECT_TRUE(manifest.contains(QCryptographicHash::hash(cust, QCryptographicHash::Sha256).toHex() + ' ' +
                                  QByteArray::number(cust.size()) + " CUST5.dbf\n"))
        << manifest.toStdString();

    addCustomer(2, QStringLiteral("After"));
    ScriptedUi ui;
    RecordingProgress shown;
    ASSERT_TRUE(restoreFrom(m_backup.path() + "/"));
    EXPECT_TRUE(shown.events.contains("status:Rebuilding Indexes"));
    EXPECT_EQ(businessFiles(m_dir.path()), before);
    EXPECT_EQ(strays(m_dir.path()), QStringList());
    db().cust5.open();
    EXPECT_EQ(db().cust5.recCount(), 1);
    ASSERT_TRUE(db().cust5.selectTag("CCNO"));
    EXPECT_EQ(db().cust5.seek(QStringLiteral("     1")), 0); // the rebuilt number tag finds it
    db().closeAll();
}

TEST_F(BackupRestore, ARestoreLackingAFileChangesNothingAndStillRebuilds)
{
    backupThenChange();
    ASSERT_TRUE(QFile::remove(QDir(m_backup.path()).filePath("LABELS.dbf")));
    const auto live = businessFiles(m_dir.path());
    ScriptedUi ui;
    RecordingProgress shown;
    ui.expect(Answer::Ok,
              QStringLiteral("Unable to find ") + m_backup.path() + "/LABELS.dbf\nFunction Aborted");
    ui.expect(Answer::Ok, QStringLiteral("Restore Failed . . Check that your disk is not full."));
    EXPECT_FALSE(restoreFrom(m_backup.path()));
    EXPECT_TRUE(ui.allUsed());
    EXPECT_TRUE(shown.events.contains("status:Rebuilding Indexes"));
    EXPECT_EQ(businessFiles(m_dir.path()), live); // not half restored
    EXPECT_EQ(strays(m_dir.path()), QStringList());
}

TEST_F(BackupRestore, ADamagedBackupIsRefusedBeforeAnythingIsOverwritten)
{
    backupThenChange();
    QFile itm(QDir(m_backup.path()).filePath("ITM5.dbf"));
    ASSERT_TRUE(itm.open(QIODevice::ReadWrite));
    QByteArray bytes = itm.readAll();
    bytes[bytes.size() - 1] = char(bytes.back() ^ 0x20);
    itm.seek(0);
    itm.write(bytes);
    itm.close();
    const auto live = businessFiles(m_dir.path());
    ScriptedUi ui;
    ui.expect(Answer::Ok, QStringLiteral("ITM5.dbf does not match"));
    EXPECT_FALSE(restoreFrom(m_backup.path()));
    EXPECT_TRUE(ui.allUsed());
    EXPECT_EQ(businessFiles(m_dir.path()), live);
    EXPECT_EQ(strays(m_dir.path()), QStringList());
}

TEST_F(BackupRestore, AFullDiskAsksForAnotherDisk)
{
    backupThenChange();
    const auto old = businessFiles(m_backup.path());
    const auto live = businessFiles(m_dir.path());
    for (const Answer answer : {Answer::Cancel, Answer::Ok}) {
        SCOPED_TRACE(toString(answer).toStdString());
        ScriptedUi ui;
        ui.expect(answer, QStringLiteral("Disk Full. Insert another disk.GROUPS.dbf"));
        if (answer == Answer::Cancel)
            ui.expect(Answer::Ok, QStringLiteral("Backup Failed . . Check that disk is not write protected"));
        // Each of these small files is one write: the third is GROUPS.dbf.
        xbase::setFaultPlan({.failWrite = 3});
        EXPECT_EQ(backupTo(m_backup.path()), answer == Answer::Ok);
        xbase::clearFaultPlan();
        EXPECT_TRUE(ui.allUsed());
        EXPECT_EQ(strays(m_backup.path()), QStringList());
        const auto now = businessFiles(m_backup.path());
        if (answer == Answer::Cancel) {
            // The earlier copy of the file that did not fit is whole, and no
            // list of sums vouches for the mixed backup.
            EXPECT_EQ(now.at("GROUPS.dbf"), old.at("GROUPS.dbf"));
            EXPECT_EQ(now.at("CUST5.dbf"), live.at("CUST5.dbf"));
            EXPECT_FALSE(QFile::exists(QDir(m_backup.path()).filePath(manifestFileName())));
        } else {
            EXPECT_EQ(now, live);
            EXPECT_TRUE(QFile::exists(QDir(m_backup.path()).filePath(manifestFileName())));
        }
    }
}

TEST_F(BackupRestore, AWriteProtectedDiskAsksForTheProtectionToGo)
{
    // Readable by the user the guard below runs as.
    QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    ScriptedUi ui;
    ui.expect(Answer::Ok, QStringLiteral("Disk is Write Protected"));
    ui.expect(Answer::Cancel, QStringLiteral("Disk is Write Protected"));
    ui.expect(Answer::Ok, QStringLiteral("Backup Failed . . Check that disk is not write protected"));
    ReadOnlyDir guard(m_backup.path());
    if (!guard.writeProtected())
        GTEST_SKIP() << "this file system ignores permissions";
    EXPECT_FALSE(backupTo(m_backup.path()));
    EXPECT_TRUE(ui.allUsed());
    EXPECT_EQ(QDir(m_backup.path()).entryList(QDir::Files), QStringList());
}

TEST_F(BackupRestore, ARestoreFailingWhileRenamingIsRolledBack)
{
    backupThenChange();
    const auto live = businessFiles(m_dir.path());
    // Rename 1 puts the list of kept files in place; 4 is the third data file.
    {
        ScriptedUi ui;
        ui.expect(Answer::Ok, QStringLiteral("Restore Failed . . Check that your disk is not full."));
        xbase::setFaultPlan({.failRename = 4});
        EXPECT_FALSE(restoreFrom(m_backup.path()));
        xbase::clearFaultPlan();
        EXPECT_EQ(businessFiles(m_dir.path()), live);
        EXPECT_EQ(strays(m_dir.path()), QStringList());
    }
    // Every rename from the third data file on fails, the putting back too:
    // the directory is as a restore killed there leaves it, and the next
    // start puts the kept files back.
    {
        ScriptedUi ui;
        xbase::setFaultPlan({.failRename = 4, .renameLater = true});
        EXPECT_FALSE(copyAllFiles(CopyDirection::FromBackup, m_backup.path()));
        xbase::clearFaultPlan();
        EXPECT_NE(businessFiles(m_dir.path()), live);
        EXPECT_TRUE(QFile::exists(m_dir.file("RESTORE.UNDO")));
        EXPECT_TRUE(recoverInterruptedRestore(m_dir.path()));
        EXPECT_EQ(businessFiles(m_dir.path()), live);
        EXPECT_EQ(strays(m_dir.path()), QStringList());
    }
}

TEST_F(BackupRestore, ARestoreFromARemovableDiskAsksForTheDiskHoldingAFile)
{
    backupThenChange();
    const QString away = m_backup.path() + "-INV6.dbt";
    ASSERT_TRUE(QFile::rename(QDir(m_backup.path()).filePath("INV6.dbt"), away));
    setRemovableCheck([](const QString &) { return true; });
    const auto live = businessFiles(m_dir.path());
    ScriptedUi ui;
    ui.expect(Answer::Ok, QStringLiteral("Insert disk containing INV6.dbt"));
    ui.expect(Answer::Cancel, QStringLiteral("Insert disk containing INV6.dbt"));
    ui.expect(Answer::Ok, QStringLiteral("Restore Failed . . Check that your disk is not full."));
    EXPECT_FALSE(restoreFrom(m_backup.path()));
    setRemovableCheck(nullptr);
    QFile::rename(away, QDir(m_backup.path()).filePath("INV6.dbt"));
    EXPECT_TRUE(ui.allUsed());
    EXPECT_EQ(businessFiles(m_dir.path()), live);
}

} // namespace

namespace {

int runTool(const QStringList &args, QString *output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TLV_TOOL_PATH), args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

TEST(TlvtoolBackup, CopiesBothWaysAndKeepsOffADirectoryInUse)
{
    QTemporaryDir tmp;
    const QString data = tmp.filePath("data"), copy = tmp.filePath("copy/of/data"); // made when missing
    QString out;
    ASSERT_EQ(runTool({"demo", data}, &out), 0) << out.toStdString();
    ASSERT_EQ(runTool({"backup", data, copy}, &out), 0) << out.toStdString();
    const auto backedUp = businessFiles(copy);
    EXPECT_EQ(backedUp, businessFiles(data));
    QFile::remove(QDir(data).filePath("PMT.dbf"));
    {
        DataLock held(data); // the program running on the data
        ASSERT_TRUE(held.acquired());
        EXPECT_EQ(runTool({"restore", data, copy}, &out), 1);
        EXPECT_TRUE(out.contains("in use")) << out.toStdString();
    }
    ASSERT_EQ(runTool({"restore", data, copy}, &out), 0) << out.toStdString();
    EXPECT_EQ(businessFiles(data), backedUp);
    EXPECT_EQ(runTool({"check", data}, &out), 0) << out.toStdString();
}

TEST(TlvtoolBackup, ARestoreKilledAtAnyMomentLeavesTheOldDataOrTheNew)
{
    QTemporaryDir tmp;
    const QString pristine = tmp.filePath("pristine"), data = tmp.filePath("data"),
                  empty = tmp.filePath("empty"), copy = tmp.filePath("copy"), other = tmp.filePath("other");
    QString out;
    ASSERT_EQ(runTool({"demo", pristine}, &out), 0) << out.toStdString();
    ASSERT_EQ(runTool({"init", empty}, &out), 0) << out.toStdString();
    ASSERT_EQ(runTool({"backup", empty, copy}, &out), 0) << out.toStdString();
    const auto oldFiles = businessFiles(pristine), newFiles = businessFiles(copy);
    auto fresh = [&] {
        QDir(data).removeRecursively();
        QDir().mkpath(data);
        for (const QString &name : QDir(pristine).entryList(QDir::Files))
            QFile::copy(QDir(pristine).filePath(name), QDir(data).filePath(name));
    };
    fresh();
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runTool({"restore", data, copy}, &out), 0) << out.toStdString();
    const qint64 whole = std::max<qint64>(timer.elapsed(), 20);

    std::mt19937 random(27);
    int old = 0, restored = 0;
    for (int round = 0; round < 10; ++round) {
        fresh();
        QProcess p;
        p.start(QStringLiteral(TLV_TOOL_PATH), {"restore", data, copy});
        ASSERT_TRUE(p.waitForStarted());
        // Mostly within the copying and renaming, before the indexes are rebuilt.
        QThread::usleep(std::uniform_int_distribution<qint64>(0, whole * 600)(random));
        p.kill();
        p.waitForFinished();
        // The next call puts things right before its own work.
        ASSERT_EQ(runTool({"backup", data, other}, &out), 0) << out.toStdString();
        const auto now = businessFiles(data);
        ASSERT_TRUE(now == oldFiles || now == newFiles) << "round " << round;
        (now == oldFiles ? old : restored)++;
        EXPECT_EQ(strays(data), QStringList());
        ASSERT_EQ(runTool({"check", data}, &out), 0) << out.toStdString();
    }
    std::printf("killed restores: %d left the old data, %d the restored\n", old, restored);
}
