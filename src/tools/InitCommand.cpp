// tlvtool init DIR: the empty tables of a new installation.
#include "Tool.h"
#include "data/DataFiles.h"

#include <QDir>
#include <QFileInfo>

namespace tlv::tool {

int initDataDirectory(const QString &dir)
{
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir())
        return fail(QStringLiteral("%1 exists and is not a directory").arg(dir));
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("cannot create the directory %1").arg(dir));
    const QStringList existing = existingDataFiles(dir);
    if (!existing.isEmpty())
        return fail(QStringLiteral("%1 already holds data files (%2); nothing was written")
                        .arg(dir, existing.join(QStringLiteral(", "))));
    const QString error = createDataFiles(dir);
    if (!error.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(dir, error));
    return 0;
}

int runInit(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("init needs exactly one directory"));
    const int code = initDataDirectory(args.first());
    if (code == 0)
        printLine(QStringLiteral("Wrote the empty tables into %1").arg(args.first()));
    return code;
}

} // namespace tlv::tool
