#pragma once
// The claim on a data directory that the program and tlvtool share: an
// exclusive flock on "tarlvin.lck" in the directory, held while either works
// on the data. While held the file says "running"; it is emptied at a proper
// end, also when the holder ends itself through exit() (after a table could
// not be opened or the engine failed). Finding "running" means the last holder
// was cut short (killed, crashed, power lost) in the middle of its work, so
// its index files may not match the tables. The operating system drops the
// lock when the process ends, so a stale file never blocks the next start.
#include <QString>

namespace tlv {

class DataLock
{
public:
    enum class Status {
        Held,        // this process holds the lock
        InUse,       // the program or tlvtool holds it
        CannotWrite, // the lock file cannot be created or written in the directory
    };

    explicit DataLock(const QString &directory);
    ~DataLock(); // a proper end: the file is emptied
    DataLock(const DataLock &) = delete;
    DataLock &operator=(const DataLock &) = delete;

    Status status() const { return m_status; }
    bool acquired() const { return m_status == Status::Held; }
    bool previousRunInterrupted() const { return m_interrupted; }
    // Leaves the file saying "running" at the end, so the next start or
    // tlvtool call repairs: for a holder whose repair failed, or one that
    // only looked and left an earlier run's repair to come.
    void keepRunningMark() { m_keepMark = true; }
    static QString fileName() { return QStringLiteral("tarlvin.lck"); }

private:
    int m_fd = -1;
    Status m_status = Status::CannotWrite;
    bool m_interrupted = false;
    bool m_keepMark = false;
};

} // namespace tlv
