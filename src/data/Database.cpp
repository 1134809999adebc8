#include "data/Database.h"

#include "data/Cp1252.h"
#include "data/Helpers.h"
#include "data/ProgramEnd.h"
#include "platform/Ui.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace tlv {

// ---- Field values ---------------------------------------------------------------

namespace fieldio {

namespace {

// A NUL would end the text early in the engine's C strings, and 0x1A ends a
// memo; neither can be stored, so they become '?' like any other character
// the table cannot hold.
QByteArray storable(const QString &text)
{
    QByteArray bytes = toCp1252(text);
    for (char &c : bytes)
        if (c == '\0' || c == '\x1A')
            c = '?';
    return bytes;
}

} // namespace

QString readText(FIELD4 *f)
{
    const char *s = f4str(f);
    if (!s)
        return QString();
    const int width = f4len(f);
    return fromCp1252(s, width > 0 ? qstrnlen(s, width) : qstrlen(s));
}

QString readMemo(FIELD4 *f)
{
    const char *s = f4memoStr(f);
    if (!s)
        return QString();
    return fromCp1252(s, f4memoLen(f));
}

int readInt(FIELD4 *f)
{
    const long v = f4long(f);
    return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v));
}

double readDouble(FIELD4 *f)
{
    return f4double2(f);
}

QDate readDate(FIELD4 *f)
{
    return textToDate(readText(f));
}

bool readBool(FIELD4 *f)
{
    return f4true(f) > 0;
}

void writeText(FIELD4 *f, const QString &value, int limit)
{
    QByteArray bytes = storable(value);
    if (limit >= 0 && bytes.size() > limit)
        bytes.truncate(limit); // one byte per character
    f4assign(f, bytes.constData());
}

void writeMemo(FIELD4 *f, const QString &value)
{
    qsizetype end = value.size();
    while (end > 0 && value.at(end - 1).isSpace())
        --end;
    const QByteArray bytes = storable(value.left(end));
    f4memoAssignN(f, bytes.constData(), static_cast<unsigned>(bytes.size()));
}

void writeInt(FIELD4 *f, int value)
{
    f4assignLong(f, value);
}

void writeDouble(FIELD4 *f, double value)
{
    f4assignDouble(f, std::isfinite(value) ? value : 0.0);
}

void writeDate(FIELD4 *f, const QDate &value)
{
    f4assign(f, dateToText(value).toLatin1().constData());
}

void writeBool(FIELD4 *f, bool value)
{
    f4assign(f, value ? "T" : "F");
}

} // namespace fieldio

// ---- Tables -----------------------------------------------------------------------

namespace {
constexpr int notPositioned = 3; // the result of positioning a table that is not open
} // namespace

bool Table::open()
{
    Db &d = db();
    CODE4 *c4 = d.session();
    if (m_data) {
        d4close(m_data);
        m_data = nullptr;
    }
    m_fields.clear();
    d.takeErrorCode();

    const bool group = hasIndexGroup(def());
    code4autoOpen(c4, group ? 1 : 0);
    DATA4 *data = d4open(c4, def().stem);
    const int error = d.takeErrorCode();
    if (!group)
        code4autoOpen(c4, 1);
    if (error < 0 || !data) {
        if (data)
            d4close(data);
        openFailure(dbfFileName(def()), error < 0 ? error : e4open);
    }
    m_data = data;

    if (group) {
        TAG4 *t = d4tag(m_data, def().defaultTag);
        if (t)
            d4tagSelect(m_data, t);
        if (!t || d.takeErrorCode() < 0) {
            d4close(m_data);
            m_data = nullptr;
            openFailure(QLatin1String(def().tagFailName), e4index);
        }
    }
    top();

    // A table without one of its fields is not a table this program can use;
    // treat it like one that cannot be opened.
    for (const FieldDef &fd : def().fields) {
        FIELD4 *f = d4field(m_data, fd.name);
        if (!f) {
            d.takeErrorCode();
            d4close(m_data);
            m_data = nullptr;
            m_fields.clear();
            openFailure(dbfFileName(def()), e4open);
        }
        m_fields.push_back(f);
    }
    return true;
}

int Table::top()
{
    return db().lastResult = m_data ? d4top(m_data) : notPositioned;
}

int Table::bottom()
{
    return db().lastResult = m_data ? d4bottom(m_data) : notPositioned;
}

int Table::go(long recNo)
{
    return db().lastResult = m_data ? d4go(m_data, recNo) : notPositioned;
}

int Table::seek(const QString &key)
{
    if (!m_data)
        return db().lastResult = notPositioned;
    return db().lastResult = d4seek(m_data, toCp1252(key).constData());
}

int Table::skip(long n)
{
    return db().lastResult = m_data ? d4skip(m_data, n) : notPositioned;
}

long Table::recNo() const
{
    return m_data ? d4recNo(m_data) : 0;
}

long Table::recCount() const
{
    return m_data ? d4recCountDo(m_data) : 0;
}

bool Table::eof() const
{
    return !m_data || d4eof(m_data) != 0;
}

bool Table::selectTag(const char *name)
{
    if (!m_data)
        return false;
    if (!name || !*name) {
        d4tagSelect(m_data, nullptr);
        return true;
    }
    TAG4 *t = d4tag(m_data, name);
    if (!t) {
        db().takeErrorCode(); // the probe's own e4tag
        return false;
    }
    d4tagSelect(m_data, t);
    return true;
}

void Table::useTag(const char *name)
{
    if (selectTag(name))
        return;
    QString file = QLatin1String(name) + QLatin1String(".ntx");
    for (const TagDef &t : def().tags)
        if (QString::fromLatin1(t.name).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            file = QLatin1String(t.name) + QLatin1String(".ntx");
    openFailure(file, e4index);
}

QString Table::selectedTag() const
{
    if (!m_data)
        return QString();
    TAG4 *t = d4tagSelected(m_data);
    const char *alias = t ? t4alias(t) : nullptr;
    return alias ? QString::fromLatin1(alias) : QString();
}

bool Table::appendBlank()
{
    if (!m_data)
        return false;
    return (db().lastWriteResult = d4appendBlank(m_data)) == 0;
}

void Table::markDeleted()
{
    if (m_data)
        d4delete(m_data);
}

void Table::recall()
{
    if (m_data)
        d4recall(m_data);
}

bool Table::isDeleted() const
{
    return m_data && d4deleted(m_data) != 0;
}

int Table::flush()
{
    return db().lastWriteResult = m_data ? d4flush(m_data) : 0;
}

int Table::pack()
{
    return m_data ? d4pack(m_data) : -1;
}

FIELD4 *Table::field(int index) const
{
    return index >= 0 && index < int(m_fields.size()) ? m_fields[index] : nullptr;
}

FIELD4 *Table::field(const char *name) const
{
    return field(fieldIndex(def(), name));
}

// ---- Session ----------------------------------------------------------------------

Db::Db() = default;

Db::~Db()
{
    endSession();
}

CODE4 *Db::session()
{
    if (!m_session) {
        m_session = code4initP();
        if (!m_session)
            endProgram(QStringLiteral("the database engine could not start"));
        code4optimize(m_session, 1);
        code4optimizeWrite(m_session, -1);
    }
    return m_session;
}

void Db::endSession()
{
    if (!m_session)
        return;
    closeAll();
    code4initUndoP(m_session);
    m_session = nullptr;
}

int Db::takeErrorCode()
{
    return m_session ? code4errorCode(m_session, 0) : 0;
}

void Table::close()
{
    if (m_data)
        d4close(m_data);
    m_data = nullptr;
    m_fields.clear();
}

void Db::closeAll()
{
    if (m_session)
        code4close(m_session);
    for (int i = 0; i < tableCount; ++i) {
        Table &t = table(static_cast<TableId>(i));
        t.m_data = nullptr;
        t.m_fields.clear();
    }
}

Table &Db::table(TableId id)
{
    switch (id) {
    case TableId::TLV2:
        return tlv2;
    case TableId::CUST5:
        return cust5;
    case TableId::GROUPS:
        return groups;
    case TableId::INV6:
        return inv6;
    case TableId::ITM5:
        return itm5;
    case TableId::LABELS:
        return labels;
    case TableId::PMT:
        return pmt;
    case TableId::Prod5:
        return prod5;
    case TableId::Pur5:
        return pur5;
    case TableId::ImportF:
        return importF;
    case TableId::ImpDirs:
        break;
    }
    return impDirs;
}

void Db::reset()
{
    endSession();
    tlv2.clear();
    cust5.clear();
    groups.clear();
    inv6.clear();
    itm5.clear();
    labels.clear();
    pmt.clear();
    prod5.clear();
    pur5.clear();
    importF.clear();
    impDirs.clear();
    lastResult = 0;
    lastWriteResult = 0;
    packNeeded = false;
    selected = SelectedRecords{};
}

Db &db()
{
    static Db instance;
    return instance;
}

void openFailure(const QString &fileName, int code)
{
    ui().information(QStringLiteral("Unable to open file ") + fileName + QLatin1Char('\n') +
                     engineReason(code) + QStringLiteral("\nProgram will now terminate."));
    endProgram(QStringLiteral("Unable to open file ") + fileName);
}

// ---- Operations -------------------------------------------------------------------

QString keyUpper(const QString &text)
{
    QString s = text;
    for (QChar &c : s)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return s;
}

int nextCustomerNumber()
{
    Table &t = db().cust5;
    if (t.recCount() == 0)
        return 1;
    const QString previous = t.selectedTag();
    t.useTag(tag::CCNO);
    FIELD4 *number = t.field(fld::cuno);
    int last = 0;
    for (int r = t.top(); r == 0; r = t.skip(1)) {
        const int n = fieldio::readInt(number);
        if (n > last + 1)
            break;
        // Numbers only grow in this order; a stray zero or negative number
        // must not pull the walk back.
        if (n > last)
            last = n;
    }
    t.selectTag(previous.isEmpty() ? nullptr : previous.toLatin1().constData());
    t.top();
    return last + 1;
}

bool lookUpGroup(int number)
{
    auto &groups = db().groups;
    groups.useTag(tag::nGroup);
    const QString key = paddedNumber(number, 2);
    if (key.size() == 2 && groups.seek(key) == 0) {
        groups.read();
        return true;
    }
    groups.buf.nGroup = 0;
    groups.buf.cGroup.clear();
    return false;
}

QString engineReason(int code)
{
    switch (code) {
    case e4open:
        return QStringLiteral("The file was not found or is not a table.");
    case e4lock:
        return QStringLiteral("The file is in use by another program.");
    case e4data:
    case e4read:
        return QStringLiteral("The file is damaged.");
    case e4memo:
        return QStringLiteral("The memo file is missing or damaged.");
    case e4index:
        return QStringLiteral("An index file is missing or damaged; "
                              "Re-Index Data (or tlvtool reindex) rebuilds the index files.");
    case e4write:
    case e4create:
        return QStringLiteral("The disk is full or the file or its directory is not writable.");
    default:
        return QStringLiteral("Database engine error %1.").arg(code);
    }
}

QString writeFailureLine()
{
    const int code = db().lastWriteResult;
    return code == 0 ? QString() : QStringLiteral("\n") + engineReason(code);
}

} // namespace tlv
