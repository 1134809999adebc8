#include "data/DataLock.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace tlv {

namespace {
constexpr char runningMark[] = "running\n";
constexpr size_t runningLength = sizeof runningMark - 1;

// Empties the file and gives up the lock: the run ended properly.
void finishRun(int fd)
{
    if (::ftruncate(fd, 0) == 0)
        ::fdatasync(fd);
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

struct HeldLock
{
    int fd;
    pid_t owner;
};

// The locks this process holds. The program ends itself with exit() (after
// the message of a table that cannot be opened, or of an engine error),
// which skips the destructors of main's objects: those ends are proper ones
// all the same, and are marked so at exit.
std::vector<HeldLock> &heldLocks()
{
    static auto *held = new std::vector<HeldLock>; // outlives every exit handler
    return *held;
}

void finishHeldLocksAtExit()
{
    for (const HeldLock &h : heldLocks())
        if (h.owner == ::getpid()) // a forked child leaves its parent's lock alone
            finishRun(h.fd);
    heldLocks().clear();
}
} // namespace

DataLock::DataLock(const QString &directory)
{
    const QByteArray path = QFile::encodeName(QDir(directory).filePath(fileName()));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        m_status = Status::CannotWrite;
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        m_status = Status::InUse;
        return;
    }
    m_fd = fd;
    m_status = Status::Held;
    char mark[runningLength] = {};
    m_interrupted = ::pread(fd, mark, runningLength, 0) == ssize_t(runningLength) &&
                    std::memcmp(mark, runningMark, runningLength) == 0;
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, runningMark, runningLength, 0) == ssize_t(runningLength))
        ::fdatasync(fd);

    static const bool registered = std::atexit(finishHeldLocksAtExit) == 0;
    (void)registered;
    heldLocks().push_back({fd, ::getpid()});
}

DataLock::~DataLock()
{
    if (m_fd < 0)
        return;
    auto &held = heldLocks();
    held.erase(std::remove_if(held.begin(), held.end(), [this](const HeldLock &h) { return h.fd == m_fd; }),
               held.end());
    if (m_keepMark) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        return;
    }
    // A proper end: the next start has nothing to repair.
    finishRun(m_fd);
}

} // namespace tlv
