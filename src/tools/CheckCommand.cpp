// tlvtool check DIR: verifies every table and index of a data directory.
#include "Tool.h"
#include "data/Check.h"
#include "data/DataLock.h"

#include <QDir>
#include <QFileInfo>

namespace tlv::tool {

int runCheck(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("check needs exactly one directory"));
    const QString dir = args.first();
    if (!QFileInfo(dir).isDir())
        return fail(QStringLiteral("%1 is not a directory").arg(dir));
    // Never while the program or another tlvtool changes the files; a
    // directory that cannot take the lock file (read-only) is checked as it is.
    DataLock lock(dir);
    if (lock.status() == DataLock::Status::InUse)
        return failInUse(dir);
    if (lock.previousRunInterrupted()) {
        lock.keepRunningMark(); // the repair is the next start's or tool call's
        printLine(QStringLiteral("The last run on %1 did not end properly: the next start of the program, "
                                 "or tlvtool reindex, rebuilds its indexes")
                      .arg(dir));
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    const CheckResult r = checkDataFiles();
    QDir::setCurrent(previous);
    for (const QString &p : r.problems)
        printLine(p);
    printLine(QStringLiteral("%1 passed, %2 failed").arg(r.passed).arg(r.failed));
    return r.failed == 0 ? 0 : 1;
}

} // namespace tlv::tool
