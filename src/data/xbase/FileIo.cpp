#include "FileIo.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
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

namespace {

bool g_mappedReads = true;

// A copy out of a mapping that meets a page the file no longer has raises
// SIGBUS; while such a copy runs, the handler jumps back to it.
thread_local sigjmp_buf *t_copying = nullptr;
struct sigaction g_previousBus;

void onBusError(int sig, siginfo_t *info, void *context)
{
    if (sigjmp_buf *back = t_copying) {
        t_copying = nullptr;
        siglongjmp(*back, 1);
    }
    // Not one of ours: as if this handler were not there.
    if (g_previousBus.sa_flags & SA_SIGINFO) {
        g_previousBus.sa_sigaction(sig, info, context);
    } else if (g_previousBus.sa_handler != SIG_DFL && g_previousBus.sa_handler != SIG_IGN) {
        g_previousBus.sa_handler(sig);
    } else {
        signal(SIGBUS, SIG_DFL);
        raise(SIGBUS);
    }
}

void guardBusErrors()
{
    static const bool installed = [] {
        struct sigaction sa = {};
        sa.sa_sigaction = onBusError;
        sa.sa_flags = SA_SIGINFO | SA_NODEFER; // not blocked after the jump back
        sigemptyset(&sa.sa_mask);
        return sigaction(SIGBUS, &sa, &g_previousBus) == 0;
    }();
    (void)installed;
}

} // namespace

void setMappedReads(bool on)
{
    g_mappedReads = on;
}

FileMap::~FileMap()
{
    detach();
}

void FileMap::attach(int fd, uint64_t size)
{
    detach();
    m_fd = fd;
    m_size = size;
    m_refused = !g_mappedReads;
    if (!m_refused)
        guardBusErrors();
}

void FileMap::detach()
{
    if (m_base)
        munmap(m_base, m_len);
    m_base = nullptr;
    m_len = 0;
    m_fd = -1;
    m_size = 0;
    m_refused = false;
}

const char *FileMap::view(uint64_t off, size_t len)
{
    if (m_fd < 0 || m_refused || off + len > m_size || off + len < off)
        return nullptr;
    if (off + len > m_len) {
        // Map afresh with room for the file to grow by half again, so that a
        // growing file is mapped a number of times logarithmic in its size.
        if (m_base)
            munmap(m_base, m_len);
        m_base = nullptr;
        const uint64_t page = uint64_t(sysconf(_SC_PAGESIZE));
        uint64_t want = m_size + std::max<uint64_t>(m_size / 2, 1u << 20);
        want = (want + page - 1) / page * page;
        if (want > SIZE_MAX / 2) {
            m_refused = true;
            return nullptr;
        }
        void *p = mmap(nullptr, size_t(want), PROT_READ, MAP_SHARED, m_fd, 0);
        if (p == MAP_FAILED) {
            // Some file systems cannot map; their reads go through the descriptor.
            m_refused = true;
            m_len = 0;
            return nullptr;
        }
        m_base = static_cast<char *>(p);
        m_len = size_t(want);
    }
    return m_base + off;
}

bool FileMap::copy(void *dst, uint64_t off, size_t len)
{
    const char *src = view(off, len);
    if (!src)
        return false;
    sigjmp_buf back;
    if (sigsetjmp(back, 0) != 0) {
        // The file is shorter than it was: read it through the descriptor,
        // which tells the truth about its end, from now on.
        m_refused = true;
        return false;
    }
    t_copying = &back;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(dst, src, len);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    t_copying = nullptr;
    return true;
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
    m_map.attach(m_fd, m_size);
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
    m_map.attach(m_fd, 0);
    return true;
}

void DiskFile::close()
{
    m_map.detach();
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
    m_map.setSize(m_size);
    return true;
}

long DiskFile::readSome(uint64_t off, void *dst, size_t len)
{
    if (m_fd < 0)
        return -1;
    if (off < m_size) {
        const size_t inFile = size_t(std::min<uint64_t>(len, m_size - off));
        if (m_map.copy(dst, off, inFile)) {
            if (inFile == len)
                return long(len);
            // Past the size known here the file may still have grown by
            // another hand: ask the system for the rest.
            long more = readSome(off + inFile, static_cast<char *>(dst) + inFile, len - inFile);
            return more < 0 ? -1 : long(inFile) + more;
        }
    }
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
    if (m_map.copy(dst, off, len))
        return true;
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
    m_map.grown(m_size);
    // Keep the read window in step with what is now on disk.
    if (m_winLen > 0 && off < m_winStart + m_winLen && off + len > m_winStart) {
        uint64_t from = std::max(off, m_winStart);
        uint64_t to = std::min<uint64_t>(off + len, m_winStart + m_winLen);
        std::memcpy(m_window.data() + (from - m_winStart), p + (from - off), size_t(to - from));
    }
    return true;
}

bool DiskFile::copyFrom(DiskFile &from, uint64_t fromOff, uint64_t off, uint64_t len)
{
    if (m_fd < 0 || !m_writable || from.m_fd < 0)
        return false;
    // Pieces of a few megabytes, each one write to the fault plan.
    constexpr uint64_t kPiece = 8u << 20;
    std::vector<char> buffer;
    bool inSystem = true;
    for (uint64_t done = 0; done < len;) {
        const size_t n = size_t(std::min(kPiece, len - done));
        bool ok = false;
        if (inSystem && !g_planSet) {
            loff_t in = loff_t(fromOff + done), out = loff_t(off + done);
            size_t moved = 0;
            while (moved < n) {
                const ssize_t r = copy_file_range(from.m_fd, &in, m_fd, &out, n - moved, 0);
                if (r < 0 && errno == EINTR)
                    continue;
                if (r <= 0)
                    break;
                moved += size_t(r);
            }
            ok = moved == n;
            if (!ok && moved == 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
                inSystem = false; // not here: through memory from now on
            else if (!ok) {
                refreshSize();
                return false;
            }
        }
        if (!ok) {
            buffer.resize(n);
            if (!from.readAt(fromOff + done, buffer.data(), n) || !writeAt(off + done, buffer.data(), n))
                return false;
        }
        done += n;
        if (off + done > m_size)
            m_size = off + done;
    }
    m_dirty = true;
    m_map.grown(m_size);
    m_winLen = 0;
    return true;
}

bool DiskFile::truncate(uint64_t len)
{
    if (m_fd < 0 || !m_writable)
        return false;
    if (ftruncate(m_fd, off_t(len)) != 0) {
        refreshSize();
        return false;
    }
    m_size = len;
    m_map.setSize(len);
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
