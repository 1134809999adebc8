// tlvtool reindex DIR and tlvtool pack DIR: the same work as the program's
// "Re-Index Data" and "Pack Data" buttons, with the progress on standard output.
#include "Tool.h"
#include "data/DataLock.h"
#include "data/FileMaint.h"
#include "platform/Progress.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace tlv::tool {

namespace {

// Prints each caption once and the progress as it grows.
class ConsoleProgress : public Progress
{
public:
    ConsoleProgress() { setProgress(this); }
    ~ConsoleProgress() override { setProgress(nullptr); }
    void showStatus(const QString &caption) override
    {
        if (!caption.isEmpty())
            printLine(caption);
    }
    void showProgress(int percent) override
    {
        if (percent > 0)
            printLine(QStringLiteral("  %1%").arg(percent));
    }
};

// Prints each problem; 1 when there was one.
int reported(const QStringList &problems)
{
    for (const QString &p : problems)
        fail(p);
    return problems.isEmpty() ? 0 : 1;
}

// Runs work with dir as the current directory, holding the directory's lock.
// A run that fails leaves the directory marked, so the next start or tool
// call rebuilds its indexes again.
template <typename F> int inDataDirectory(const QStringList &args, const char *command, F work)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("%1 needs exactly one directory").arg(QLatin1String(command)));
    const QString dir = args.first();
    if (!QFileInfo(dir).isDir())
        return fail(QStringLiteral("%1 is not a directory").arg(dir));
    return withLockedDirectory(dir, [&](DataLock &lock) {
        if (lock.previousRunInterrupted()) {
            // The last run on this data was cut short: its indexes may not match
            // the tables, so they are all built again first.
            printLine(
                QStringLiteral("The last run on %1 did not end properly: rebuilding its indexes").arg(dir));
            rebuildIndexes(false); // an engine error ends the tool with its message
        }
        const int rc = work();
        if (rc != 0)
            lock.keepRunningMark();
        return rc;
    });
}

} // namespace

int runReindex(const QStringList &args)
{
    return inDataDirectory(args, "reindex", [] {
        ConsoleProgress shown;
        rebuildIndexes(false);
        return 0;
    });
}

int runPack(const QStringList &args)
{
    return inDataDirectory(args, "pack", [] {
        ConsoleProgress shown;
        return reported(packAll());
    });
}

} // namespace tlv::tool
