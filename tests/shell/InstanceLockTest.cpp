#include "shell/InstanceLock.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
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
