#include "data/DataLock.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tlv {

namespace {
constexpr char runningMark[] = "running\n";
constexpr size_t runningLength = sizeof runningMark - 1;
} // namespace

DataLock::DataLock(const QString &directory)
{
    const QByteArray path = QFile::encodeName(QDir(directory).filePath(fileName()));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
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
}

DataLock::~DataLock()
{
    if (m_fd < 0)
        return;
    if (::ftruncate(m_fd, 0) == 0)
        ::fdatasync(m_fd);
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
}

} // namespace tlv
