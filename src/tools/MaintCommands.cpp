// tlvtool reindex DIR and tlvtool pack DIR: the same work as the program's
// "Re-Index Data" and "Pack Data" buttons, with the progress on standard output.
#include "Tool.h"
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

// Runs work with dir as the current directory.
template <typename F> int inDataDirectory(const QStringList &args, const char *command, F work)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("%1 needs exactly one directory").arg(QLatin1String(command)));
    const QString dir = args.first();
    if (!QFileInfo(dir).isDir())
        return fail(QStringLiteral("%1 is not a directory").arg(dir));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    struct Back
    {
        QString dir;
        ~Back() { QDir::setCurrent(dir); }
    } back{previous};
    return work();
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
        packAll();
        return 0;
    });
}

} // namespace tlv::tool
