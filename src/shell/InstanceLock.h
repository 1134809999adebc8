#pragma once
#include <QString>

namespace tlv {

// Keeps a second copy of the program off the same data directory: an
// exclusive lock on a small file in the directory, held for the whole run.
// The operating system drops the lock when the process ends, even by a crash,
// so a stale lock file never blocks the next start.
//
// The file also tells whether the run before ended properly: while the lock is
// held it says "running", and it is emptied when the lock is given up, also
// when the program ends itself through exit() (after a table could not be
// opened or the engine failed). A run that was killed, crashed or lost its
// power leaves "running" behind, and the next start knows that tables may have
// been left half-written.
class InstanceLock
{
public:
    enum class Status {
        Held,        // this process holds the lock
        InUse,       // another copy of the program holds it
        CannotWrite, // the lock file cannot be created or written in the directory
    };

    explicit InstanceLock(const QString &directory);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    Status status() const { return m_status; }
    // True when this process holds the lock.
    bool acquired() const { return m_status == Status::Held; }
    // True when the lock file still said "running": the previous run on this
    // directory did not end properly.
    bool previousRunInterrupted() const { return m_interrupted; }
    static QString fileName() { return QStringLiteral("tarlvin.lck"); }

private:
    int m_fd = -1;
    Status m_status = Status::CannotWrite;
    bool m_interrupted = false;
};

} // namespace tlv
