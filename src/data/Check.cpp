#include "data/Check.h"

#include "data/Catalogue.h"
#include "data/Database.h"

#include <cstring>
#include <string>
#include <vector>

namespace tlv {

namespace {

void collect(void *ctx, const char *problem)
{
    static_cast<QStringList *>(ctx)->append(QString::fromLatin1(problem));
}

QString shown(const std::string &key)
{
    return QStringLiteral("\"%1\"").arg(QString::fromLatin1(key.data(), qsizetype(key.size())));
}

// One tag against its table; problems are added to `problems`.
void checkTag(DATA4 *d, TAG4 *tag, const QString &where, QStringList &problems)
{
    const long count = d4recCountDo(d);
    std::vector<unsigned char> seen(size_t(count) + 1, 0);
    d4tagSelect(d, tag);
    std::string previous;
    long previousRec = 0;
    long entries = 0;
    const int problemsBefore = int(problems.size());
    auto problem = [&](const QString &text) {
        // A badly damaged tag would print a line per record; a few tell enough.
        if (problems.size() - problemsBefore < 20)
            problems << where + QStringLiteral(": ") + text;
    };
    for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1)) {
        ++entries;
        if (entries > count) {
            problem(QStringLiteral("holds more keys than the table has records (%1)").arg(count));
            break;
        }
        const long rec = d4recNo(d);
        const std::string stored = t4keyStored(tag);
        const std::string computed = t4keyComputed(tag);
        if (rec < 1 || rec > count)
            problem(QStringLiteral("lists record %1, which does not exist").arg(rec));
        else if (seen[size_t(rec)]++)
            problem(QStringLiteral("lists record %1 twice").arg(rec));
        if (stored != computed)
            problem(QStringLiteral("record %1 has the key %2 but should have %3")
                        .arg(rec)
                        .arg(shown(stored), shown(computed)));
        if (entries > 1) {
            const int order =
                std::memcmp(previous.data(), stored.data(), std::min(previous.size(), stored.size()));
            if (order > 0 || (order == 0 && previousRec >= rec))
                problem(QStringLiteral("key %1 of record %2 is out of order").arg(shown(stored)).arg(rec));
        }
        previous = stored;
        previousRec = rec;
    }
    if (entries < count) {
        for (long r = 1; r <= count; ++r)
            if (!seen[size_t(r)]) {
                problem(QStringLiteral("has no key for record %1").arg(r));
                break;
            }
        problem(QStringLiteral("holds %1 keys for %2 records").arg(entries).arg(count));
    }
}

} // namespace

CheckResult checkDataFiles()
{
    CheckResult result;
    Db &db = tlv::db();
    db.closeAll();
    CODE4 *c4 = db.session();
    for (const TableDef &t : allTables()) {
        const bool group = hasIndexGroup(t);
        const int previousAuto = code4autoOpen(c4, group ? 1 : 0);
        db.takeErrorCode();
        DATA4 *d = d4open(c4, t.stem);
        const int rc = db.takeErrorCode();
        code4autoOpen(c4, previousAuto);
        const QString file = dbfFileName(t);
        if (!d || rc < 0) {
            if (d)
                d4close(d);
            result.problems << QStringLiteral("%1: cannot be opened with its index group (engine error %2)")
                                   .arg(file)
                                   .arg(rc)
                            << QStringLiteral("%1: %2").arg(file, engineReason(rc));
            ++result.failed;
            continue;
        }
        ++result.passed;
        for (const TagDef &td : t.tags) {
            const QString where = QStringLiteral("%1 tag %2").arg(file, QLatin1String(td.name));
            TAG4 *tag = d4tag(d, td.name);
            db.takeErrorCode();
            if (!tag) {
                result.problems << where + QStringLiteral(": missing from the index group");
                ++result.failed;
                continue;
            }
            const int before = int(result.problems.size());
            checkTag(d, tag, where, result.problems);
            const int engineError = db.takeErrorCode();
            if (engineError < 0)
                result.problems << where + QStringLiteral(": engine error %1 while reading").arg(engineError);
            if (result.problems.size() > before)
                ++result.failed;
            else
                ++result.passed;
        }
        // What walking the tags in their order cannot see: the file's size,
        // delete flags, memo pointers, and keys past the end of the table.
        QStringList found;
        d4check(d, collect, &found);
        db.takeErrorCode();
        bool more = false;
        for (const QString &p : found) {
            const QString line =
                file + (p.startsWith(QLatin1String("tag ")) ? QStringLiteral(" ") : QStringLiteral(": ")) + p;
            if (!result.problems.contains(line)) {
                result.problems << line;
                more = true;
            }
        }
        if (more)
            ++result.failed;
        d4close(d);
        db.takeErrorCode();
    }
    return result;
}

} // namespace tlv
