// tlvtool backup DIR TARGET, tlvtool restore DIR SOURCE and tlvtool upgrade
// DIR OLD_DIR: the program's "Backup", "Restore" and "Upgrade Data" without
// the chooser. The questions the copy asks (another disk, the disk holding a
// file) are answered Cancel; the upgrade's warning is taken as answered by
// the command line.
#include "Tool.h"
#include "data/Backup.h"
#include "data/DataLock.h"
#include "data/FileMaint.h"
#include "data/Upgrade.h"

#include <QDir>
#include <QFileInfo>

namespace tlv::tool {

namespace {

// Runs work in dir, holding its lock as the program does while it runs.
template <typename F> int withDataDirectory(const QStringList &args, const char *command, F work)
{
    if (args.size() != 2)
        return usageError(QStringLiteral("%1 needs the data directory and one other directory")
                              .arg(QLatin1String(command)));
    const QString dir = args.first();
    if (!QFileInfo(dir).isDir())
        return fail(QStringLiteral("%1 is not a directory").arg(dir));
    // Relative to where the tool was started, not to the data directory.
    const QString other = QFileInfo(args.at(1)).absoluteFilePath();
    return withLockedDirectory(dir, [&](DataLock &lock) {
        const bool rolledBack = recoverInterruptedRestore(QStringLiteral("."));
        if (rolledBack)
            printLine(QStringLiteral("A restore into %1 was cut short: its files were put back").arg(dir));
        if (rolledBack || lock.previousRunInterrupted())
            rebuildIndexes(false);
        return work(other);
    });
}

} // namespace

int runBackup(const QStringList &args)
{
    return withDataDirectory(args, "backup", [](const QString &target) {
        if (!QDir().mkpath(target))
            return fail(QStringLiteral("cannot create %1").arg(target));
        if (!backupTo(target))
            return 1;
        printLine(QStringLiteral("%1 files copied to %2").arg(backupFiles().size()).arg(target));
        return 0;
    });
}

int runRestore(const QStringList &args)
{
    return withDataDirectory(args, "restore", [](const QString &source) {
        if (!QFileInfo(source).isDir())
            return fail(QStringLiteral("%1 is not a directory").arg(source));
        if (!restoreFrom(source))
            return 1;
        printLine(QStringLiteral("%1 files restored from %2; indexes rebuilt")
                      .arg(backupFiles().size())
                      .arg(source));
        return 0;
    });
}

int runUpgrade(const QStringList &args)
{
    return withDataDirectory(args, "upgrade", [](const QString &old) {
        if (!QFileInfo(old).isDir())
            return fail(QStringLiteral("%1 is not a directory").arg(old));
        const UpgradeOutcome outcome = upgradeFrom(old, false);
        switch (outcome.result) {
        case UpgradeResult::Converted:
            printLine(QStringLiteral("%1 data of %2 converted; the data as it was is in %3")
                          .arg(upgradeSourceOf(old) == UpgradeSource::Version1 ? QStringLiteral("Version 1")
                                                                               : QStringLiteral("Norvath"),
                               old, outcome.backupDir));
            return 0;
        case UpgradeResult::Failed:
        case UpgradeResult::NotFound:
        case UpgradeResult::Cancelled:
        case UpgradeResult::NotBackedUp:
            break;
        }
        return 1;
    });
}

} // namespace tlv::tool
