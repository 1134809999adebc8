#pragma once
#include <QString>

namespace tlv {

// Keeps a second copy of the program off the same data directory: an
// exclusive lock on a small file in the directory, held for the whole run.
// The operating system drops the lock when the process ends, even by a crash,
// so a stale lock file never blocks the next start.
//
// The file also tells whether the run before ended properly: while the lock is
// held it says "running", and it is emptied when the lock is given up. A run
// that was killed, crashed or lost its power leaves "running" behind, and the
// next start knows that tables may have been left half-written.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &directory);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True when this process holds the lock.
    bool acquired() const { return m_fd >= 0; }
    // True when the lock file still said "running": the previous run on this
    // directory did not end properly.
    bool previousRunInterrupted() const { return m_interrupted; }
    static QString fileName() { return QStringLiteral("tarlvin.lck"); }

private:
    int m_fd = -1;
    bool m_interrupted = false;
};

} // namespace tlv
