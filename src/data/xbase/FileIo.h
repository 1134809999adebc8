#pragma once
// Plain POSIX file access for the engine: whole reads and writes at an offset,
// an optional read window so that sequential record reads cost one system
// call per window instead of one per record, advisory locks, and the
// case-insensitive lookup of file names that the tables rely on.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xbase {

enum class LockMode { None, Shared, Exclusive };

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
