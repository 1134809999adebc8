#pragma once
// Plain POSIX file access for the engine: whole reads and writes at an offset,
// reads served from a shared read-only mapping of the file (so that reading a
// record or an index page already in the system's cache costs no system
// call), an optional read window for when a file cannot be mapped, advisory
// locks, and the case-insensitive lookup of file names that the tables rely on.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xbase {

enum class LockMode { None, Shared, Exclusive };

// A read-only view of an open file through a shared mapping. Writes keep going
// through the descriptor; the system keeps the mapping in step with them. The
// mapping reaches past the end of the file, so that the file can grow under
// it, and only bytes the owner has reported to be in the file are read. Should
// another process cut the file under the mapping all the same, the copy that
// meets the missing page fails (and the file is read through its descriptor
// from then on) instead of the process being killed.
class FileMap
{
public:
    FileMap() = default;
    ~FileMap();
    FileMap(const FileMap &) = delete;
    FileMap &operator=(const FileMap &) = delete;

    // Starts viewing fd, whose first `size` bytes are known to be in the file.
    void attach(int fd, uint64_t size);
    void detach();
    // The owner's account of the file's length: after a cut, a failed write or a
    // fresh look at the file (setSize), or after bytes were written (grown).
    void setSize(uint64_t size) { m_size = size; }
    void grown(uint64_t end)
    {
        if (end > m_size)
            m_size = end;
    }
    // Copies the bytes [off, off + len) to dst; false when they are not all in
    // the file or the file cannot be mapped (read them instead).
    bool copy(void *dst, uint64_t off, size_t len);

private:
    const char *view(uint64_t off, size_t len);
    int m_fd = -1;
    uint64_t m_size = 0;
    char *m_base = nullptr;
    size_t m_len = 0;
    bool m_refused = false;
};

// Reads through mappings are on unless a test or a benchmark turns them off
// to compare; files opened afterwards follow the setting.
void setMappedReads(bool on);

class DiskFile
{
public:
    DiskFile() = default;
    ~DiskFile();
    DiskFile(const DiskFile &) = delete;
    DiskFile &operator=(const DiskFile &) = delete;

    // Opens an existing file read-write, or read-only when writing is refused.
    bool open(const std::string &path);
    // Creates (or truncates) a file for writing.
    bool create(const std::string &path, unsigned mode = 0644);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    bool writable() const { return m_writable; }
    const std::string &path() const { return m_path; }

    // Takes an advisory lock without waiting; false when another holder conflicts.
    bool lock(LockMode mode);
    LockMode lockMode() const { return m_lock; }

    uint64_t size() const { return m_size; }
    bool refreshSize();

    // Reads exactly len bytes at off; false on error or end of file.
    bool readAt(uint64_t off, void *dst, size_t len);
    // Like readAt, but serves the bytes from the read window when it can.
    bool readCached(uint64_t off, void *dst, size_t len);
    // Reads up to len bytes; returns the count read or -1.
    long readSome(uint64_t off, void *dst, size_t len);
    bool writeAt(uint64_t off, const void *src, size_t len);
    // Writes len bytes of `from`, read at fromOff, at off: moved inside the
    // system where the file system can, through memory where it cannot.
    bool copyFrom(DiskFile &from, uint64_t fromOff, uint64_t off, uint64_t len);
    bool truncate(uint64_t len);
    bool sync();
    bool dirty() const { return m_dirty; }

    void setWindow(size_t bytes);
    void dropWindow() { m_winLen = 0; }

private:
    int m_fd = -1;
    bool m_writable = false;
    bool m_dirty = false;
    LockMode m_lock = LockMode::None;
    uint64_t m_size = 0;
    std::string m_path;
    FileMap m_map;
    std::vector<char> m_window;
    uint64_t m_winStart = 0;
    size_t m_winLen = 0;
    uint64_t m_lastEnd = UINT64_MAX; // end of the last cached read, to tell sequential reading
    size_t m_fill = 0;               // bytes the next sequential miss reads ahead; 0 after a jump
};

// Splits "dir/name" into its directory ("." when none) and file part.
void splitPath(const std::string &path, std::string &dir, std::string &file);
// Finds dir/file regardless of the case of the file name; empty when absent.
std::string locateNoCase(const std::string &dir, const std::string &file);
bool fileExists(const std::string &path);
bool renameFile(const std::string &from, const std::string &to);
void removeFile(const std::string &path);
// Makes a rename or a new file in dir durable.
void syncDirectory(const std::string &dir);
std::string asciiLower(std::string s);
// Writes all len bytes at off through fd, retrying interrupted calls; every
// write of the engine goes through here (or DiskFile::writeAt), so that the
// fault plan below sees it.
bool writeFully(int fd, const void *src, size_t len, uint64_t off);
// fsync through the fault plan.
bool syncFd(int fd);

// Fault injection for tests: makes chosen writes, syncs or renames fail as a
// full disk would (ENOSPC, EIO); a failing write that grows a file keeps its first half. Counting starts when
// a plan is set; a zero field never fails. Process-wide, and off unless a test sets it.
struct FaultPlan
{
    long failWrite = 0;       // the k-th write fails...
    bool failLater = false;   // ...and, when set, every write after it too
    long failSync = 0;        // the k-th fsync fails
    long failRename = 0;      // the k-th rename fails...
    bool renameLater = false; // ...and, when set, every rename after it too
};
void setFaultPlan(const FaultPlan &plan);
void clearFaultPlan();
// Calls counted since the plan was set.
long faultWrites();
long faultSyncs();
long faultRenames();
std::string asciiUpper(std::string s);

} // namespace xbase
