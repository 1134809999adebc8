#pragma once
#include <QString>

namespace tlv {

// Keeps a second copy of the program off the same data directory: an
// exclusive lock on a small file in the directory, held for the whole run.
// The operating system drops the lock when the process ends, even by a crash,
// so a stale lock file never blocks the next start.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &directory);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when this process holds the lock.
    bool acquired() const { return m_fd >= 0; }
    static QString fileName() { return QStringLiteral("tarlvin.lck"); }

private:
    int m_fd = -1;
};

} // namespace tlv
