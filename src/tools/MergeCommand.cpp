// tlvtool merge DIR -o FILE: the mail-merge file of the program's "Export
// Merge File", written by the same code; the groups are given as numbers
// (all groups when none are given), a FILE ending in ".csv" gets CSV.
#include "Tool.h"
#include "data/Database.h"
#include "data/TableScope.h"
#include "reports/MergeExport.h"
#include "reports/Selection.h"

#include <QDir>
#include <QFileInfo>

namespace tlv::tool {

int runMerge(const QStringList &args)
{
    QStringList positional;
    QString output, groups;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if ((a == QLatin1String("-o") || a == QLatin1String("--groups")) && i + 1 < args.size())
            (a == QLatin1String("-o") ? output : groups) = args[++i];
        else if (a.startsWith(QLatin1Char('-')))
            return usageError(QStringLiteral("unknown or incomplete option '%1'").arg(a));
        else
            positional << a;
    }
    if (positional.size() != 1 || output.isEmpty())
        return usageError(QStringLiteral("merge needs DIR and -o FILE"));
    if (!QFileInfo(positional[0]).isDir())
        return fail(QStringLiteral("%1: no such directory").arg(positional[0]));
    QList<int> chosen;
    for (const QString &g : groups.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = g.trimmed().toInt(&ok);
        if (!ok)
            return usageError(QStringLiteral("--groups: '%1' is not a group number").arg(g));
        chosen << n;
    }
    QString outputPath = QFileInfo(output).absoluteFilePath();
    if (QFileInfo(outputPath).suffix().isEmpty())
        outputPath += QStringLiteral(".doc");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(positional[0]);
    struct DirectoryReset
    {
        QString dir;
        ~DirectoryReset() { QDir::setCurrent(dir); }
    } directoryReset{previous};

    TableScope scope;
    db().cust5.open();
    db().groups.open();
    resetSelection();
    selection().chosenGroups = chosen.isEmpty() ? groupsOfItems(groupListItems()) : chosen;
    QString error;
    switch (writeMergeFile(outputPath, mergeFormatOf(outputPath), &error)) {
    case MergeStatus::Written:
        return 0;
    case MergeStatus::NotCreated:
        return fail(QStringLiteral("Unable to save to: ") + outputPath);
    case MergeStatus::WriteFailed:
        return fail(QStringLiteral("Unable to save to: ") + outputPath + QStringLiteral(": ") + error);
    }
    return 1;
}

} // namespace tlv::tool
