// tlvtool import DIR customers|products FILE --format NAME: the import
// window's "Import" (and with --preview its "Preview") through the same
// code; tlvtool import-format DIR customers|products NAME --columns ...
// saves a format as the format window does.
#include "Tool.h"
#include "data/DataLock.h"
#include "data/Database.h"
#include "data/FileMaint.h"
#include "data/TableScope.h"
#include "import/Importer.h"

#include <QDir>
#include <QFileInfo>

namespace tlv::tool {

namespace {

bool kindOf(const QString &word, ImportKind &kind)
{
    if (word == QLatin1String("customers"))
        kind = ImportKind::Customers;
    else if (word == QLatin1String("products"))
        kind = ImportKind::Products;
    else
        return false;
    return true;
}

// Runs work in dir, holding the directory's lock; a run cut short before
// has its indexes rebuilt first. When work fails with a write half done (a
// full disk), the directory stays marked, so that the next start or tool
// call rebuilds the indexes.
template <typename F> int inDirectory(const QString &dir, F work)
{
    if (!QFileInfo(dir).isDir())
        return fail(QStringLiteral("%1: no such directory").arg(dir));
    return withLockedDirectory(dir, [&](DataLock &lock) {
        if (lock.previousRunInterrupted()) {
            printLine(
                QStringLiteral("The last run on %1 did not end properly: rebuilding its indexes").arg(dir));
            rebuildIndexes(false);
        }
        bool writeFailed = false;
        const int rc = work(writeFailed);
        if (writeFailed)
            lock.keepRunningMark();
        return rc;
    });
}

} // namespace

int runImportCommand(const QStringList &args)
{
    QStringList positional;
    QString formatName, group;
    bool preview = false, haveFormat = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if ((a == QLatin1String("--format") || a == QLatin1String("--group")) && i + 1 < args.size()) {
            if (a == QLatin1String("--format")) {
                formatName = args[++i];
                haveFormat = true;
            } else {
                group = args[++i];
            }
        } else if (a == QLatin1String("--preview")) {
            preview = true;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return usageError(QStringLiteral("unknown or incomplete option '%1'").arg(a));
        } else {
            positional << a;
        }
    }
    ImportKind kind = ImportKind::Customers;
    if (positional.size() != 3 || !haveFormat || !kindOf(positional[1], kind))
        return usageError(QStringLiteral("import needs DIR, customers or products, FILE and --format NAME"));
    int groupNumber = 0;
    if (kind == ImportKind::Customers && !preview) {
        bool ok = false;
        groupNumber = group.toInt(&ok);
        if (!ok || groupNumber <= 0)
            return usageError(
                QStringLiteral("a customer import needs --group N, the group of the customers added"));
    }
    const QString file = QFileInfo(positional[2]).absoluteFilePath();
    return inDirectory(positional[0], [&](bool &writeFailed) -> int {
        TableScope scope(kind == ImportKind::Customers ? packList::customers : packList::products);
        db().importF.open();
        const long recNo = findFormat(kind, formatName);
        if (recNo <= 0) {
            QStringList names;
            for (const FormatListEntry &e : formatsOf(kind))
                names << e.name.trimmed();
            return fail(
                QStringLiteral("no %1 format named '%2' (there are: %3)")
                    .arg(positional[1], formatName,
                         names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "))));
        }
        loadFormat(recNo);
        const ImportFormatRecord format = db().importF.buf;
        const QString refusal = importRefusal(true, file);
        if (!refusal.isEmpty())
            return fail(positional[2] + QStringLiteral(": no such file"));
        if (groupNumber > 0) {
            db().groups.open();
            const bool found = lookUpGroup(groupNumber);
            db().groups.close();
            if (!found)
                return fail(QStringLiteral("there is no customer group %1").arg(groupNumber));
        }
        ImportOptions options;
        options.preview = preview;
        options.group = groupNumber;
        const ImportResult result = importFile(format, file, options);
        writeFailed = result.status == ImportResult::Status::WriteFailed;
        for (const LineVerdict &v : result.verdicts)
            printLine(verdictText(v, true));
        const QString message = messageOf(result, kind, preview);
        if (result.status != ImportResult::Status::Done)
            return fail(message);
        printLine(message);
        return 0;
    });
}

int runImportFormatCommand(const QStringList &args)
{
    QStringList positional;
    QString columns, delimiter = QStringLiteral("44"), least = QStringLiteral("0");
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if ((a == QLatin1String("--columns") || a == QLatin1String("--delimiter") ||
             a == QLatin1String("--least")) &&
            i + 1 < args.size()) {
            (a == QLatin1String("--columns")     ? columns
             : a == QLatin1String("--delimiter") ? delimiter
                                                 : least) = args[++i];
        } else if (a.startsWith(QLatin1Char('-'))) {
            return usageError(QStringLiteral("unknown or incomplete option '%1'").arg(a));
        } else {
            positional << a;
        }
    }
    ImportKind kind = ImportKind::Customers;
    if (positional.size() != 3 || !kindOf(positional[1], kind))
        return usageError(QStringLiteral("import-format needs DIR, customers or products, and NAME"));
    ImportFormatRecord f = newFormat(kind);
    f.FmtName = positional[2];
    const QStringList numbers = columns.split(QLatin1Char(','));
    if (columns.isEmpty() || numbers.size() > slotCount(kind))
        return usageError(
            QStringLiteral("--columns takes up to %1 column numbers, 0 for a field not imported")
                .arg(slotCount(kind)));
    bool ok = true;
    for (int i = 0; i < numbers.size() && ok; ++i)
        f.number(i + 1) = numbers[i].trimmed().toInt(&ok);
    bool ok2 = false, ok3 = false;
    f.DELIM = delimiter.toInt(&ok2);
    f.nFields = least.toInt(&ok3);
    if (!ok || !ok2 || !ok3)
        return usageError(QStringLiteral("--columns, --delimiter and --least take whole numbers"));
    return inDirectory(positional[0], [&](bool &writeFailed) -> int {
        TableScope scope;
        db().importF.open();
        long recNo = findFormat(kind, f.FmtName);
        const FormatSave result = saveFormat(recNo, f);
        if (result != FormatSave::Saved) {
            writeFailed = true;
            return fail(messageOf(result));
        }
        printLine(QStringLiteral("Format '%1' saved as record %2").arg(f.FmtName).arg(recNo));
        return 0;
    });
}

} // namespace tlv::tool
