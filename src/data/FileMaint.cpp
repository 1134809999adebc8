#include "data/FileMaint.h"

#include "data/Catalogue.h"
#include "data/Database.h"
#include "data/ProgramEnd.h"
#include "data/TableScope.h"
#include "platform/Progress.h"
#include "platform/Ui.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

namespace tlv {

namespace {

struct RebuildStep
{
    TableId table;
    int progress; // shown after the group in a full rebuild
};

// The indexed tables in rebuild order.
constexpr RebuildStep rebuildOrder[] = {
    {TableId::CUST5, 25}, {TableId::GROUPS, 30}, {TableId::Prod5, 35}, {TableId::Pur5, 40},
    {TableId::INV6, 60},  {TableId::ITM5, 80},   {TableId::PMT, 100},  {TableId::LABELS, 100},
};

// True when a file of this name exists in the current directory, whatever
// the case of its letters.
bool fileExists(const QString &name)
{
    if (QFileInfo::exists(name))
        return true;
    const QStringList all = QDir::current().entryList(QDir::Files);
    for (const QString &f : all)
        if (f.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool groupFileMissing(const TableDef &t)
{
    if (!fileExists(QString::fromLatin1(t.stem) + QStringLiteral(".cgp")))
        return true;
    for (const TagDef &tag : t.tags)
        if (!fileExists(QString::fromLatin1(tag.name) + QStringLiteral(".ntx")))
            return true;
    return false;
}

// True when the table opens with its whole index group and every tag reaches
// both its ends: a tag file that is there but damaged counts as missing.
bool groupOpens(CODE4 *c4, const TableDef &t)
{
    const int previous = code4autoOpen(c4, 1);
    code4errorCode(c4, 0);
    DATA4 *d = d4open(c4, t.stem);
    int rc = code4errorCode(c4, 0);
    // A tag whose header reads but whose pages are broken opens all the same.
    // A step to both ends of every tag reads its root and the pages down to
    // its outer leaves: that finds such a tag at the cost of a few page reads,
    // whatever the size of the table (the full walk is tlvtool check's).
    bool broken = false;
    if (d && rc >= 0)
        for (const TagDef &tag : t.tags) {
            TAG4 *t4 = d4tag(d, tag.name);
            if (t4)
                d4tagSelect(d, t4);
            if (!t4 || d4top(d) < 0 || d4bottom(d) < 0 || code4errorCode(c4, 0) < 0) {
                broken = true;
                break;
            }
        }
    if (broken)
        rc = e4index;
    if (d)
        d4close(d);
    code4errorCode(c4, 0);
    code4autoOpen(c4, previous);
    return rc != e4index && rc != e4expr;
}

// Ends the program after an engine error, as the engine's own error test does.
[[noreturn]] void engineFailure(const QString &what, int code)
{
    ui().information(what + QStringLiteral("\nEngine error %1.\n").arg(code) + engineReason(code) +
                     QStringLiteral("\nProgram will now terminate."));
    endProgram(what);
}

// Restores the session's switches however the operation ends.
class SessionSwitches
{
public:
    SessionSwitches(int autoOpen, int safety, int accessMode) : m_c4(db().session())
    {
        m_autoOpen = code4autoOpen(m_c4, autoOpen);
        m_safety = code4safety(m_c4, safety);
        m_access = code4accessMode(m_c4, accessMode);
    }
    ~SessionSwitches()
    {
        code4autoOpen(m_c4, m_autoOpen);
        code4safety(m_c4, m_safety);
        code4accessMode(m_c4, m_access);
    }

private:
    CODE4 *m_c4;
    int m_autoOpen, m_safety, m_access;
};

} // namespace

QStringList rebuildIndexes(bool quiet)
{
    QStringList rebuilt;
    CODE4 *c4 = db().session();
    db().closeAll();
    SessionSwitches switches(0, 0, 1);
    if (!quiet) {
        progress().showStatus(QStringLiteral("Rebuilding Indexes"));
        progress().showProgress(5);
    }
    for (const RebuildStep &step : rebuildOrder) {
        const TableDef &t = tableDef(step.table);
        if (quiet && !groupFileMissing(t) && groupOpens(c4, t))
            continue;
        code4errorCode(c4, 0);
        DATA4 *d = d4open(c4, t.stem);
        int rc = code4errorCode(c4, 0);
        if (!d || rc < 0)
            engineFailure(QStringLiteral("Unable to open file ") + dbfFileName(t), rc);
        // A save cut short may have left a record the header never counted.
        if (d4dropTail(d) < 0)
            engineFailure(QStringLiteral("Unable to write to file ") + dbfFileName(t), code4errorCode(c4, 0));
        std::vector<TAG4INFO> tags;
        for (const TagDef &tag : t.tags)
            tags.push_back({tag.name, tag.expression, nullptr, 0, 0});
        tags.push_back({nullptr, nullptr, nullptr, 0, 0});
        const int created = i4create(d, t.stem, tags.data());
        rc = code4errorCode(c4, 0);
        code4close(c4);
        if (created < 0 || rc < 0)
            engineFailure(QStringLiteral("Unable to rebuild the index files of ") + dbfFileName(t),
                          rc < 0 ? rc : created);
        rebuilt << QString::fromLatin1(t.stem);
        if (!quiet)
            progress().showProgress(step.progress);
    }
    if (!quiet) {
        progress().showProgress(100);
        progress().showStatus(QString());
    }
    return rebuilt;
}

QStringList packAll()
{
    QStringList problems;
    db().closeAll();
    CODE4 *c4 = db().session();
    const int previousMode = code4accessMode(c4, 1);
    progress().showStatus(QStringLiteral("Packing Data Files"));
    for (const PackTarget &step : packList::everything) {
        progress().showProgress(step.progress);
        const TableDef &t = tableDef(step.table);
        code4errorCode(c4, 0);
        DATA4 *d = d4open(c4, t.stem);
        int rc = code4errorCode(c4, 0);
        if (d && rc >= 0) {
            rc = d4pack(d);
            // The memo file is rewritten only when it holds dead blocks.
            if (rc >= 0 && step.compactMemo && hasMemo(t) && (rc = d4memoWasted(d)) > 0)
                rc = d4memoCompress(d);
        }
        if (d && d4close(d) < 0 && rc >= 0)
            rc = e4write;
        const int pending = code4errorCode(c4, 0);
        if (rc >= 0 && pending < 0)
            rc = pending;
        if (rc < 0 || !d)
            problems << QStringLiteral("%1 was not packed: %2")
                            .arg(dbfFileName(t), engineReason(rc < 0 ? rc : e4open));
    }
    code4accessMode(c4, previousMode);
    progress().showStatus(QString());
    db().packNeeded = false;
    return problems;
}

bool eraseData()
{
    if (ui().message(BoxKind::Warning,
                     QStringLiteral("WARNING: You are about to erase all of your existing data."),
                     Buttons::OkCancel) != Answer::Ok)
        return false;
    db().closeAll();
    CODE4 *c4 = db().session();
    const int previousAccess = code4accessMode(c4, 1);
    progress().showStatus(QStringLiteral("Erasing Data Files"));
    progress().showProgress(5);

    struct EraseStep
    {
        TableId table;
        int afterEmptying; // 0: nothing shown then
        int afterClosing;
    };
    static constexpr EraseStep eraseOrder[] = {
        {TableId::CUST5, 15, 30}, {TableId::GROUPS, 0, 40}, {TableId::INV6, 50, 60}, {TableId::ITM5, 0, 70},
        {TableId::PMT, 0, 85},    {TableId::Prod5, 90, 95}, {TableId::Pur5, 0, 100},
    };
    for (const EraseStep &step : eraseOrder) {
        Table &t = db().table(step.table);
        t.open(); // a failure ends the program
        const long count = t.recCount();
        int rc = 0;
        if (count > 0)
            rc = d4zap(t.data(), 1, count);
        if (step.afterEmptying)
            progress().showProgress(step.afterEmptying);
        if (rc >= 0 && hasMemo(t.def()))
            d4memoCompress(t.data());
        db().closeAll();
        progress().showProgress(step.afterClosing);
    }
    code4accessMode(c4, previousAccess);
    progress().showStatus(QString());
    return true;
}

} // namespace tlv
