#include "shell/InstanceLock.h"
#include "shell/ReadOnlyDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using tlv::InstanceLock;

namespace {
// Whether another process can take the lock on dir (flock locks belong to
// the open file, so the test asks a child process).
bool otherProcessCanLock(const QString &dir)
{
    const pid_t pid = fork();
    if (pid == 0) {
        InstanceLock lock(dir);
        _exit(lock.acquired() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
} // namespace

TEST(InstanceLock, SecondCopyIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir dir;
    {
        InstanceLock first(dir.path());
        ASSERT_TRUE(first.acquired());
        EXPECT_FALSE(otherProcessCanLock(dir.path()));
    }
    EXPECT_TRUE(otherProcessCanLock(dir.path()));
}

TEST(InstanceLock, ACrashedHolderLeavesNoStaleLock)
{
    QTemporaryDir dir;
    const pid_t pid = fork();
    if (pid == 0) {
        InstanceLock lock(dir.path());
        if (lock.acquired())
            abort(); // dies holding the lock
        _exit(3);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_TRUE(QFile::exists(dir.filePath(InstanceLock::fileName())));
    {
        InstanceLock again(dir.path());
        EXPECT_TRUE(again.acquired());
        // The crashed run is known to the next one, and only to that one.
        EXPECT_TRUE(again.previousRunInterrupted());
    }
    InstanceLock third(dir.path());
    EXPECT_TRUE(third.acquired());
    EXPECT_FALSE(third.previousRunInterrupted());
}

TEST(InstanceLock, AProperEndLeavesNothingToRepair)
{
    QTemporaryDir dir;
    {
        InstanceLock first(dir.path());
        ASSERT_TRUE(first.acquired());
        EXPECT_FALSE(first.previousRunInterrupted());
        QFile file(dir.filePath(InstanceLock::fileName()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "running\n");
    }
    EXPECT_EQ(QFileInfo(dir.filePath(InstanceLock::fileName())).size(), 0);
    InstanceLock second(dir.path());
    EXPECT_FALSE(second.previousRunInterrupted());
}

TEST(InstanceLock, UnwritableDirectoryIsNotAcquired)
{
    InstanceLock lock("/nonexistent/directory");
    EXPECT_FALSE(lock.acquired());
}

TEST(InstanceLock, AReadOnlyDirectoryIsToldApartFromARunningCopy)
{
    QTemporaryDir dir;
    {
        InstanceLock first(dir.path());
        EXPECT_EQ(InstanceLock(dir.path()).status(), InstanceLock::Status::InUse);
    }
    QFile::remove(dir.filePath(InstanceLock::fileName()));
    tlv::test::ReadOnlyDir readOnly(dir.path());
    if (!readOnly.writeProtected())
        GTEST_SKIP() << "this file system lets the directory be written anyway";
    EXPECT_EQ(InstanceLock(dir.path()).status(), InstanceLock::Status::CannotWrite);
    EXPECT_EQ(InstanceLock("/nonexistent/directory").status(), InstanceLock::Status::CannotWrite);
}

namespace {
constexpr char endVariable[] = "TLV_LOCK_TEST_END";
constexpr char dirVariable[] = "TLV_LOCK_TEST_DIR";
} // namespace

// The child's part: takes the lock and ends the way it is told to.
TEST(InstanceLock, HeldByTheChildUntilItEnds)
{
    const QByteArray how = qgetenv(endVariable);
    if (how.isEmpty())
        GTEST_SKIP() << "the child process of InstanceLock.TheProgramsOwnEndsMarkTheRunFinished";
    InstanceLock lock(QString::fromLocal8Bit(qgetenv(dirVariable)));
    if (!lock.acquired())
        _exit(3);
    if (how == "exit")
        std::exit(1); // how the program ends itself after a message
    if (how == "abort")
        std::abort();
    std::raise(SIGKILL);
}

TEST(InstanceLock, TheProgramsOwnEndsMarkTheRunFinished)
{
    const struct
    {
        const char *end;
        bool interrupted;
    } cases[] = {{"exit", false}, {"abort", true}, {"kill", true}};
    for (const auto &c : cases) {
        QTemporaryDir dir;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(endVariable, c.end);
        env.insert(dirVariable, dir.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=InstanceLock.HeldByTheChildUntilItEnds"});
        ASSERT_TRUE(child.waitForFinished(60000)) << c.end;
        ASSERT_NE(child.exitCode(), 3) << c.end << ": the child could not take the lock";
        InstanceLock next(dir.path());
        ASSERT_TRUE(next.acquired()) << c.end;
        EXPECT_EQ(next.previousRunInterrupted(), c.interrupted) << c.end;
    }
}
