#include "FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xbase {

namespace {

FaultPlan g_plan;
bool g_planSet = false;
long g_writes = 0, g_syncs = 0, g_renames = 0;

bool writeRefused()
{
    if (!g_planSet)
        return false;
    ++g_writes;
    if (g_plan.failWrite > 0 &&
        (g_writes == g_plan.failWrite || (g_plan.failLater && g_writes > g_plan.failWrite))) {
        errno = ENOSPC;
        return true;
    }
    return false;
}

bool syncRefused()
{
    if (!g_planSet)
        return false;
    if (++g_syncs == g_plan.failSync) {
        errno = EIO;
        return true;
    }
    return false;
}

bool renameRefused()
{
    if (!g_planSet)
        return false;
    ++g_renames;
    if (g_plan.failRename > 0 &&
        (g_renames == g_plan.failRename || (g_plan.renameLater && g_renames > g_plan.failRename))) {
        errno = ENOSPC;
        return true;
    }
    return false;
}

} // namespace

void setFaultPlan(const FaultPlan &plan)
{
    g_plan = plan;
    g_planSet = true;
    g_writes = g_syncs = g_renames = 0;
}

void clearFaultPlan()
{
    g_planSet = false;
}

long faultWrites()
{
    return g_writes;
}
long faultSyncs()
{
    return g_syncs;
}
long faultRenames()
{
    return g_renames;
}

bool writeFully(int fd, const void *src, size_t len, uint64_t off)
{
    if (writeRefused()) {
        // A disk that fills up in the middle of a write that grows the file
        // keeps what fitted; one within the file needs no new space and
        // fails whole or not at all.
        struct stat st;
        if (len > 1 && fstat(fd, &st) == 0 && off + len > uint64_t(st.st_size) &&
            pwrite(fd, src, len / 2, off_t(off)) < 0)
            return false;
        errno = ENOSPC;
        return false;
    }
    size_t done = 0;
    const char *p = static_cast<const char *>(src);
    while (done < len) {
        ssize_t n = pwrite(fd, p + done, len - done, off_t(off + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

bool syncFd(int fd)
{
    if (syncRefused())
        return false;
    return fsync(fd) == 0;
}

DiskFile::~DiskFile()
{
    close();
}

bool DiskFile::open(const std::string &path)
{
    close();
    m_fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    m_writable = m_fd >= 0;
    if (m_fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    struct stat st;
    if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close();
        return false;
    }
    m_size = uint64_t(st.st_size);
    m_path = path;
    m_dirty = false;
    return true;
}

bool DiskFile::create(const std::string &path, unsigned mode)
{
    close();
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (m_fd < 0)
        return false;
    m_writable = true;
    m_size = 0;
    m_path = path;
    m_dirty = true;
    return true;
}

void DiskFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the descriptor also drops its flock
    m_fd = -1;
    m_lock = LockMode::None;
    m_winLen = 0;
    m_dirty = false;
}

bool DiskFile::lock(LockMode mode)
{
    if (m_fd < 0)
        return false;
    int op = mode == LockMode::Exclusive ? LOCK_EX : mode == LockMode::Shared ? LOCK_SH : LOCK_UN;
    int rc;
    do
        rc = flock(m_fd, op | (mode == LockMode::None ? 0 : LOCK_NB));
    while (rc != 0 && errno == EINTR);
    if (rc != 0)
        return false;
    m_lock = mode;
    return true;
}

bool DiskFile::refreshSize()
{
    struct stat st;
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        return false;
    m_size = uint64_t(st.st_size);
    return true;
}

long DiskFile::readSome(uint64_t off, void *dst, size_t len)
{
    if (m_fd < 0)
        return -1;
    size_t done = 0;
    char *p = static_cast<char *>(dst);
    while (done < len) {
        ssize_t n = pread(m_fd, p + done, len - done, off_t(off + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    return long(done);
}

bool DiskFile::readAt(uint64_t off, void *dst, size_t len)
{
    return readSome(off, dst, len) == long(len);
}

void DiskFile::setWindow(size_t bytes)
{
    m_window.assign(bytes, 0);
    m_winLen = 0;
}

bool DiskFile::readCached(uint64_t off, void *dst, size_t len)
{
    if (m_window.empty() || len > m_window.size())
        return readAt(off, dst, len);
    if (m_winLen == 0 || off < m_winStart || off + len > m_winStart + m_winLen) {
        // Fill the window only for reads that follow the previous one; a read
        // elsewhere (a seek through an index) costs just its own bytes.
        bool sequential = off == m_lastEnd;
        m_lastEnd = off + len;
        if (!sequential) {
            m_fill = 0;
            return readAt(off, dst, len);
        }
        // The read-ahead doubles with each sequential miss up to the whole
        // window: a scan soon reads large pieces, while a few neighbouring
        // records met in an index's order (the lines of one invoice) cost a
        // small read, not the whole window each time.
        m_fill = m_fill == 0 ? std::max<size_t>(4096, len) : m_fill * 2;
        m_fill = std::min(m_fill, m_window.size());
        long n = readSome(off, m_window.data(), m_fill);
        if (n < long(len)) {
            m_winLen = 0;
            return false;
        }
        m_winStart = off;
        m_winLen = size_t(n);
    }
    std::memcpy(dst, m_window.data() + (off - m_winStart), len);
    m_lastEnd = off + len;
    return true;
}

bool DiskFile::writeAt(uint64_t off, const void *src, size_t len)
{
    if (m_fd < 0 || !m_writable)
        return false;
    const char *p = static_cast<const char *>(src);
    if (!writeFully(m_fd, src, len, off)) {
        m_winLen = 0;
        refreshSize(); // a part may have reached the file
        return false;
    }
    m_dirty = true;
    if (off + len > m_size)
        m_size = off + len;
    // Keep the read window in step with what is now on disk.
    if (m_winLen > 0 && off < m_winStart + m_winLen && off + len > m_winStart) {
        uint64_t from = std::max(off, m_winStart);
        uint64_t to = std::min<uint64_t>(off + len, m_winStart + m_winLen);
        std::memcpy(m_window.data() + (from - m_winStart), p + (from - off), size_t(to - from));
    }
    return true;
}

bool DiskFile::truncate(uint64_t len)
{
    if (m_fd < 0 || !m_writable)
        return false;
    if (ftruncate(m_fd, off_t(len)) != 0)
        return false;
    m_size = len;
    m_dirty = true;
    if (m_winLen > 0 && m_winStart + m_winLen > len)
        m_winLen = m_winStart >= len ? 0 : size_t(len - m_winStart);
    return true;
}

bool DiskFile::sync()
{
    if (m_fd < 0)
        return false;
    if (!m_dirty)
        return true;
    if (!syncFd(m_fd))
        return false;
    m_dirty = false;
    return true;
}

void splitPath(const std::string &path, std::string &dir, std::string &file)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        dir = ".";
        file = path;
    } else {
        dir = slash == 0 ? "/" : path.substr(0, slash);
        file = path.substr(slash + 1);
    }
}

std::string asciiLower(std::string s)
{
    for (char &ch : s)
        if (ch >= 'A' && ch <= 'Z')
            ch = char(ch - 'A' + 'a');
    return s;
}

std::string asciiUpper(std::string s)
{
    for (char &ch : s)
        if (ch >= 'a' && ch <= 'z')
            ch = char(ch - 'a' + 'A');
    return s;
}

static std::string joinPath(const std::string &dir, const std::string &file)
{
    if (dir == ".")
        return file;
    if (!dir.empty() && dir.back() == '/')
        return dir + file;
    return dir + "/" + file;
}

bool fileExists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string locateNoCase(const std::string &dir, const std::string &file)
{
    std::string exact = joinPath(dir, file);
    if (fileExists(exact))
        return exact;
    DIR *dp = opendir(dir.c_str());
    if (!dp)
        return {};
    std::string want = asciiLower(file);
    std::string found;
    while (struct dirent *e = readdir(dp)) {
        if (asciiLower(e->d_name) == want) {
            std::string candidate = joinPath(dir, e->d_name);
            if (fileExists(candidate)) {
                found = candidate;
                break;
            }
        }
    }
    closedir(dp);
    return found;
}

bool renameFile(const std::string &from, const std::string &to)
{
    if (renameRefused())
        return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void removeFile(const std::string &path)
{
    ::unlink(path.c_str());
}

void syncDirectory(const std::string &dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
}

} // namespace xbase
