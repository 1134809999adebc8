// Session calls, opening and creating tables, record positioning, appending
// and writing records.

#include "Table.h"

#include "Cgp.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace xbase {

namespace {

constexpr size_t kReadWindow = 128 * 1024;

uint32_t le32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint32_t le16(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

void putLe32(unsigned char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void putLe16(unsigned char *p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

// Bytes 1-3 of the header: the date of the last update, year counted from 1900.
void todayBytes(unsigned char *p)
{
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    p[0] = static_cast<unsigned char>(std::min(std::max(tm.tm_year, 0), 255));
    p[1] = static_cast<unsigned char>(tm.tm_mon + 1);
    p[2] = static_cast<unsigned char>(tm.tm_mday);
}

void resetMemos(DATA4 *d)
{
    for (FIELD4 *f : d->memoFields) {
        f->memoLoaded = false;
        f->memoChanged = false;
        f->memo.clear();
    }
}

bool validFieldShape(char type, int len, int dec)
{
    switch (type) {
    case 'C':
        return len >= 1 && len <= 255;
    case 'N':
    case 'F':
        return len >= 1 && len <= 20 && dec <= len;
    case 'D':
        return len == 8;
    case 'L':
        return len == 1;
    case 'M':
        return len == 10;
    default:
        return false;
    }
}

int parseHeader(DATA4 *d)
{
    uint64_t size = d->dbf.size();
    if (size < 32)
        return e4data;
    unsigned char h[32];
    if (!d->dbf.readAt(0, h, 32))
        return e4read;
    if (h[0] != 0x03 && h[0] != 0x83)
        return e4open;
    d->version = h[0];
    d->recCount = le32(h + 4);
    d->headerLen = le16(h + 8);
    d->recordLen = le16(h + 10);
    if (d->headerLen < 32 + 32 + 1 || d->headerLen > size || d->recordLen < 2)
        return e4data;
    std::vector<unsigned char> desc(d->headerLen);
    if (!d->dbf.readAt(0, desc.data(), desc.size()))
        return e4read;
    uint32_t offset = 1;
    bool terminated = false;
    for (uint32_t pos = 32; pos < d->headerLen; pos += 32) {
        if (desc[pos] == 0x0D) {
            terminated = true;
            break;
        }
        if (pos + 32 > d->headerLen)
            break;
        const unsigned char *fd = desc.data() + pos;
        std::string name;
        for (int i = 0; i < 11 && fd[i] != 0; ++i)
            name.push_back(char(fd[i]));
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        auto f = std::make_unique<FIELD4>();
        f->name = asciiUpper(name);
        f->type = char(fd[11]);
        f->len = fd[16];
        f->dec = fd[17];
        if (f->type == 'C')
            f->dec = 0;
        if (name.empty() || !validFieldShape(f->type, f->len, f->dec))
            return e4data;
        f->offset = int(offset);
        f->data = d;
        offset += uint32_t(f->len);
        if (f->type == 'M')
            d->memoFields.push_back(f.get());
        d->fields.push_back(std::move(f));
    }
    if (!terminated || d->fields.empty() || offset != d->recordLen)
        return e4data;
    uint64_t need = uint64_t(d->headerLen) + uint64_t(d->recCount) * d->recordLen;
    if (need > size)
        return e4data;
    return 0;
}

std::string stemOf(const std::string &file)
{
    std::string lower = asciiLower(file);
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".dbf") == 0)
        return file.substr(0, file.size() - 4);
    return file;
}

void readGroupList(DATA4 *d)
{
    std::string path = locateNoCase(d->dir, d->alias + ".cgp");
    if (path.empty())
        return;
    DiskFile f;
    if (!f.open(path))
        return;
    d->groupPath = path;
    // A group file names a handful of tags; anything larger is not one of ours.
    size_t len = size_t(std::min<uint64_t>(f.size(), 64 * 1024));
    std::string text(len, '\0');
    long n = f.readSome(0, text.data(), len);
    text.resize(n > 0 ? size_t(n) : 0);
    d->groupTags = groupFileEntries(text);
}

int loadRecord(DATA4 *d, long recNo)
{
    uint64_t off = uint64_t(d->headerLen) + uint64_t(recNo - 1) * d->recordLen;
    d->record.resize(d->recordLen);
    resetMemos(d);
    if (!d->dbf.readCached(off, d->record.data(), d->recordLen)) {
        setError(d, e4read);
        d->record.assign(d->recordLen, ' ');
        d->original = d->record;
        d->recNo = 0;
        d->eof = true;
        return r4eof;
    }
    d->original = d->record;
    d->recNo = recNo;
    d->eof = false;
    d->bof = false;
    return 0;
}

void clearCurrent(DATA4 *d)
{
    d->record.assign(d->recordLen, ' ');
    d->original = d->record;
    d->recNo = 0;
    d->changed = false;
    d->appendPending = false;
    resetMemos(d);
}

void writeMemoPointer(DATA4 *d, FIELD4 *f, uint32_t block)
{
    char buf[16];
    if (block == 0)
        std::memset(buf, ' ', 10);
    else
        std::snprintf(buf, sizeof buf, "%10u", block);
    std::memcpy(d->record.data() + f->offset, buf, 10);
}

} // namespace

void setError(CODE4 *c4, int code)
{
    if (c4)
        c4->errorCode = code;
}

const char *currentRecord(DATA4 *d)
{
    return d->record.data();
}

int readRecord(DATA4 *d, long recNo, std::string &buf)
{
    if (recNo < 1 || uint64_t(recNo) > d->recCount)
        return e4param;
    buf.resize(d->recordLen);
    uint64_t off = uint64_t(d->headerLen) + uint64_t(recNo - 1) * d->recordLen;
    if (!d->dbf.readCached(off, buf.data(), d->recordLen))
        return e4read;
    return 0;
}

int flushRecord(DATA4 *d)
{
    if (!d->changed && !d->appendPending)
        return 0;
    if (d->recNo <= 0) {
        d->changed = false;
        d->appendPending = false;
        return 0;
    }
    int rc = 0;
    for (FIELD4 *f : d->memoFields) {
        if (!f->memoChanged)
            continue;
        f->memoChanged = false;
        bool valid = false;
        uint32_t old = memoBlockOf(d->original.data() + f->offset, f->len, &valid);
        uint32_t block = 0;
        if (!f->memo.empty()) {
            int mrc = writeMemo(d, f->memo, valid ? old : 0, block);
            if (mrc < 0) {
                rc = mrc;
                continue; // keep the record's old pointer
            }
        }
        writeMemoPointer(d, f, block);
    }
    bool differs = d->record != d->original;
    if (differs) {
        uint64_t off = uint64_t(d->headerLen) + uint64_t(d->recNo - 1) * d->recordLen;
        if (!d->dbf.writeAt(off, d->record.data(), d->recordLen)) {
            setError(d, e4write);
            d->record = d->original;
            d->changed = false;
            // An appended record stays as the blank one on disk, and that
            // one needs its keys all the same.
            if (d->appendPending && indexAppend(d, d->recNo, d->record.data()) < 0)
                indexRepair(d);
            d->appendPending = false;
            return e4write;
        }
        d->modified = true;
    }
    int irc = 0;
    if (d->appendPending)
        irc = indexAppend(d, d->recNo, d->record.data());
    else if (differs)
        irc = indexUpdate(d, d->recNo, d->original.data(), d->record.data());
    d->original = d->record;
    d->changed = false;
    d->appendPending = false;
    if (irc < 0) {
        rc = irc;
        indexRepair(d); // the tags may hold half of the change
    }
    if (rc < 0)
        setError(d, rc);
    return rc;
}

int flushForChange(DATA4 *d)
{
    int rc = flushRecord(d);
    if (rc < 0)
        return rc;
    if (!d->dbf.writable()) {
        setError(d, e4write);
        return e4write;
    }
    return 0;
}

int positionOn(DATA4 *d, long recNo)
{
    flushRecord(d);
    if (recNo < 1 || uint64_t(recNo) > d->recCount)
        return positionEof(d);
    return loadRecord(d, recNo);
}

int positionEof(DATA4 *d)
{
    flushRecord(d);
    clearCurrent(d);
    d->eof = true;
    d->bof = d->recCount == 0;
    return r4eof;
}

int positionBof(DATA4 *d)
{
    flushRecord(d);
    if (d->recCount == 0) {
        clearCurrent(d);
        d->eof = d->bof = true;
        return r4bof;
    }
    if (loadRecord(d, 1) != 0)
        return r4eof;
    d->bof = true;
    return r4bof;
}

} // namespace xbase

using namespace xbase;

// ---- Session ------------------------------------------------------------

CODE4 *code4initP()
{
    return new CODE4;
}

int code4initUndoP(CODE4 *c4)
{
    if (!c4)
        return e4param;
    int rc = code4close(c4);
    delete c4;
    return rc;
}

int error4exitTest(CODE4 *c4)
{
    if (c4 && c4->errorCode < 0) {
        std::fprintf(stderr, "Database engine error %d\n", c4->errorCode);
        std::exit(1);
    }
    return 0;
}

void code4exit(CODE4 *)
{
    std::exit(1);
}

int code4errorCode(CODE4 *c4, int value)
{
    if (!c4)
        return e4param;
    int old = c4->errorCode;
    c4->errorCode = value;
    return old;
}

static int swapSetting(int &setting, int value)
{
    int old = setting;
    setting = value;
    return old;
}

int code4optimize(CODE4 *c4, int on)
{
    return c4 ? swapSetting(c4->optimize, on) : e4param;
}

int code4optimizeWrite(CODE4 *c4, int mode)
{
    return c4 ? swapSetting(c4->optimizeWrite, mode) : e4param;
}

int code4autoOpen(CODE4 *c4, int on)
{
    return c4 ? swapSetting(c4->autoOpen, on) : e4param;
}

int code4accessMode(CODE4 *c4, int mode)
{
    return c4 ? swapSetting(c4->accessMode, mode) : e4param;
}

int code4safety(CODE4 *c4, int on)
{
    return c4 ? swapSetting(c4->safety, on) : e4param;
}

int code4close(CODE4 *c4)
{
    if (!c4)
        return e4param;
    int rc = 0;
    while (!c4->tables.empty()) {
        int r = d4close(c4->tables.back());
        if (r < 0 && rc == 0)
            rc = r;
    }
    return rc;
}

// ---- Opening, creating, closing -------------------------------------------

DATA4 *d4open(CODE4 *c4, const char *name)
{
    if (!c4)
        return nullptr;
    if (!name || !*name) {
        setError(c4, e4param);
        return nullptr;
    }
    std::string dir, file;
    splitPath(name, dir, file);
    std::string dbfPath = locateNoCase(dir, stemOf(file) + ".dbf");
    if (dbfPath.empty()) {
        setError(c4, e4open);
        return nullptr;
    }
    recoverInterruptedRewrite(dbfPath);

    auto d = std::make_unique<DATA4>();
    d->code = c4;
    d->dir = dir;
    d->dbfPath = dbfPath;
    std::string ignored, onDisk;
    splitPath(dbfPath, ignored, onDisk);
    d->alias = onDisk.substr(0, onDisk.size() - 4);
    if (!d->dbf.open(dbfPath)) {
        setError(c4, e4open);
        return nullptr;
    }
    d->exclusive = c4->accessMode != 0;
    if (!d->dbf.lock(d->exclusive ? LockMode::Exclusive : LockMode::Shared)) {
        setError(c4, e4lock);
        return nullptr;
    }
    int rc = parseHeader(d.get());
    if (rc == 0 && !d->memoFields.empty())
        rc = openMemoFile(d.get());
    if (rc < 0) {
        setError(c4, rc);
        return nullptr;
    }
    if (c4->optimize)
        d->dbf.setWindow(std::max<size_t>(kReadWindow, d->recordLen));
    clearCurrent(d.get());
    if (c4->autoOpen)
        readGroupList(d.get());
    rc = indexOpen(d.get());
    if (rc < 0) { // the index half cleans up after itself when it refuses
        setError(c4, rc);
        return nullptr;
    }
    c4->tables.push_back(d.get());
    return d.release();
}

int d4close(DATA4 *d)
{
    if (!d)
        return e4param;
    int rc = flushRecord(d);
    indexClose(d, true);
    if (d->modified && d->dbf.writable()) {
        unsigned char date[3];
        todayBytes(date);
        d->dbf.writeAt(1, date, 3);
    }
    // Closing makes the table durable: whatever a command wrote is on disk when it ends.
    if (!d->dbf.sync() || (d->dbt.isOpen() && !d->dbt.sync())) {
        if (rc == 0)
            rc = e4write;
    }
    if (rc < 0)
        setError(d, rc);
    CODE4 *c4 = d->code;
    auto &list = c4->tables;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (*it == d) {
            list.erase(it);
            break;
        }
    }
    delete d;
    return rc;
}

static bool validFieldName(const std::string &name)
{
    if (name.empty() || name.size() > 10)
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char ch = name[i];
        bool ok = (ch >= 'A' && ch <= 'Z') || ch == '_' || (i > 0 && ch >= '0' && ch <= '9');
        if (!ok)
            return false;
    }
    return true;
}

DATA4 *d4create(CODE4 *c4, const char *name, const FIELD4INFO *fields, const TAG4INFO *tags)
{
    if (!c4)
        return nullptr;
    if (!name || !*name || !fields || !fields[0].name) {
        setError(c4, e4param);
        return nullptr;
    }
    // Check the whole field list before touching any file.
    std::vector<unsigned char> header(32, 0);
    uint32_t recordLen = 1;
    bool hasMemo = false;
    std::vector<std::string> names;
    for (const FIELD4INFO *fi = fields; fi->name; ++fi) {
        std::string fname = asciiUpper(fi->name);
        char type = char(std::toupper(static_cast<unsigned char>(fi->type)));
        int len = fi->len;
        int dec = fi->dec;
        bool ok = validFieldName(fname);
        for (const std::string &n : names)
            ok = ok && n != fname;
        switch (type) {
        case 'C':
            ok = ok && len >= 1 && len <= 254 && dec == 0;
            break;
        case 'N':
        case 'F':
            ok = ok && len >= 1 && len <= 19 && dec >= 0 && (dec == 0 || dec <= len - 2);
            break;
        case 'D':
            len = 8, dec = 0;
            break;
        case 'L':
            len = 1, dec = 0;
            break;
        case 'M':
            len = 10, dec = 0;
            hasMemo = true;
            break;
        default:
            ok = false;
        }
        if (!ok || names.size() >= 1000) {
            setError(c4, e4param);
            return nullptr;
        }
        names.push_back(fname);
        unsigned char fd[32] = {};
        std::memcpy(fd, fname.data(), fname.size());
        fd[11] = static_cast<unsigned char>(type);
        fd[16] = static_cast<unsigned char>(len);
        fd[17] = static_cast<unsigned char>(dec);
        header.insert(header.end(), fd, fd + 32);
        recordLen += uint32_t(len);
    }
    if (recordLen > 65535) {
        setError(c4, e4param);
        return nullptr;
    }
    header.push_back(0x0D);
    uint32_t headerLen = uint32_t(header.size());
    header.push_back(0x1A);
    header[0] = hasMemo ? 0x83 : 0x03;
    todayBytes(header.data() + 1);
    putLe32(header.data() + 4, 0);
    putLe16(header.data() + 8, headerLen);
    putLe16(header.data() + 10, recordLen);
    header[29] = 0x03; // language driver: Windows ANSI (code page 1252)

    std::string dir, file;
    splitPath(name, dir, file);
    std::string stem = stemOf(file);
    std::string base = dir == "." ? stem : (dir.back() == '/' ? dir + stem : dir + "/" + stem);
    std::string dbfPath = base + ".dbf";
    std::string dbtPath = base + ".dbt";
    for (const char *ext : {".dbf", ".dbt"}) {
        std::string existing = locateNoCase(dir, stem + ext);
        if (existing.empty())
            continue;
        if (c4->safety) {
            setError(c4, e4create);
            return nullptr;
        }
        removeFile(existing); // another spelling of the name would leave two tables
    }
    DiskFile out;
    if (!out.create(dbfPath) || !out.writeAt(0, header.data(), header.size()) || !out.sync()) {
        out.close();
        removeFile(dbfPath);
        setError(c4, e4create);
        return nullptr;
    }
    out.close();
    if (hasMemo) {
        DiskFile memo;
        if (createMemoFile(memo, dbtPath) < 0) {
            removeFile(dbfPath);
            removeFile(dbtPath);
            setError(c4, e4create);
            return nullptr;
        }
    }
    syncDirectory(dir);

    int autoOpen = c4->autoOpen;
    c4->autoOpen = 0; // the new table has no group file yet
    DATA4 *d = d4open(c4, dbfPath.c_str());
    c4->autoOpen = autoOpen;
    if (!d)
        return nullptr;
    if (tags && tags[0].name && i4create(d, base.c_str(), tags) < 0) {
        int err = code4errorCode(c4, 0);
        d4close(d);
        setError(c4, err < 0 ? err : e4index);
        return nullptr;
    }
    return d;
}

// ---- Fields ---------------------------------------------------------------

FIELD4 *d4field(DATA4 *d, const char *name)
{
    if (!d || !name)
        return nullptr;
    std::string want = asciiUpper(name);
    while (!want.empty() && want.back() == ' ')
        want.pop_back();
    for (auto &f : d->fields)
        if (f->name == want)
            return f.get();
    setError(d, e4field);
    return nullptr;
}

int d4numFields(DATA4 *d)
{
    return d ? int(d->fields.size()) : 0;
}

FIELD4 *d4fieldJ(DATA4 *d, int j)
{
    if (!d)
        return nullptr;
    if (j < 1 || size_t(j) > d->fields.size()) {
        setError(d, e4param);
        return nullptr;
    }
    return d->fields[size_t(j - 1)].get();
}

// ---- Positioning ----------------------------------------------------------

namespace {

// d4top and d4bottom: the first or the last record in the current order.
int toEnd(DATA4 *d, bool last)
{
    if (!d)
        return e4param;
    flushRecord(d); // the indexes see the new keys before the order moves
    if (d->selectedTag)
        return last ? orderBottom(d) : orderTop(d);
    if (d->recCount == 0)
        return positionEof(d);
    return positionOn(d, last ? long(d->recCount) : 1);
}

} // namespace

int d4top(DATA4 *d)
{
    return toEnd(d, false);
}

int d4bottom(DATA4 *d)
{
    return toEnd(d, true);
}

int d4go(DATA4 *d, long recNo)
{
    if (!d)
        return e4param;
    return positionOn(d, recNo);
}

int d4seek(DATA4 *d, const char *key)
{
    if (!d)
        return e4param;
    flushRecord(d); // the indexes see the new keys before the order moves
    if (d->selectedTag)
        return orderSeek(d, key ? key : "");
    return positionEof(d); // record-number order has no keys
}

int d4skip(DATA4 *d, long n)
{
    if (!d)
        return e4param;
    flushRecord(d); // the indexes see the new keys before the order moves
    if (d->selectedTag)
        return orderSkip(d, n);
    long long cur = d->eof ? (long long)d->recCount + 1 : d->recNo;
    if (n == 0)
        return d->recNo > 0 ? 0 : r4eof;
    long long target = cur + n; // n is a long, cur fits in 33 bits: no overflow in 64 bits
    if (target > (long long)d->recCount)
        return positionEof(d);
    if (target < 1)
        return positionBof(d);
    return positionOn(d, long(target));
}

long d4recNo(DATA4 *d)
{
    return d ? d->recNo : 0;
}

long d4recCountDo(DATA4 *d)
{
    return d ? long(d->recCount) : 0;
}

int d4eof(DATA4 *d)
{
    return d ? d->eof : 1;
}

int d4bof(DATA4 *d)
{
    return d ? d->bof : 1;
}

double d4position2(DATA4 *d)
{
    if (!d)
        return 0;
    if (d->selectedTag)
        return orderPosition(d);
    if (d->eof)
        return 1.0;
    if (d->recNo <= 0 || d->recCount <= 1)
        return 0.0;
    return double(d->recNo - 1) / double(d->recCount - 1);
}

int d4positionSet2(DATA4 *d, double fraction)
{
    if (!d)
        return e4param;
    fraction = std::clamp(fraction, 0.0, 1.0);
    if (d->selectedTag)
        return orderPositionSet(d, fraction);
    flushRecord(d);
    if (d->recCount == 0)
        return positionEof(d);
    return d4go(d, 1 + long(fraction * double(d->recCount - 1) + 0.5));
}

// ---- Changing records -----------------------------------------------------

int d4appendBlank(DATA4 *d)
{
    if (!d)
        return e4param;
    int rc = flushForChange(d);
    if (rc < 0)
        return rc;
    if (!d->exclusive) {
        // Another opener may have appended since we read the header.
        unsigned char cnt[4];
        if (d->dbf.readAt(4, cnt, 4) && le32(cnt) > d->recCount) {
            d->dbf.refreshSize();
            uint64_t need = uint64_t(d->headerLen) + uint64_t(le32(cnt)) * d->recordLen;
            if (need <= d->dbf.size())
                d->recCount = le32(cnt);
        }
    }
    if (d->recCount == UINT32_MAX) {
        setError(d, e4write);
        return e4write;
    }
    // The record and the end byte go first, the count after them: a crash in
    // between leaves a header that counts only records that are on disk.
    uint64_t off = uint64_t(d->headerLen) + uint64_t(d->recCount) * d->recordLen;
    std::string blank(d->recordLen + 1, ' ');
    blank.back() = 0x1A;
    if (!d->dbf.writeAt(off, blank.data(), blank.size())) {
        // A full disk may have taken part of the record: the file ends where
        // it did, with its end byte.
        d->dbf.truncate(off);
        d->dbf.writeAt(off, blank.data() + d->recordLen, 1);
        setError(d, e4write);
        return e4write;
    }
    if (d->dbf.size() > off + blank.size())
        d->dbf.truncate(off + blank.size()); // leftovers of an earlier interrupted append
    unsigned char head[7];
    todayBytes(head);
    putLe32(head + 3, d->recCount + 1);
    if (!d->dbf.writeAt(1, head, sizeof head)) {
        // The header still counts the old records: the new one goes again.
        d->dbf.truncate(off);
        d->dbf.writeAt(off, blank.data() + d->recordLen, 1);
        setError(d, e4write);
        return e4write;
    }
    d->recCount++;
    d->modified = true;
    clearCurrent(d);
    for (FIELD4 *f : d->memoFields)
        f->memoLoaded = true; // a new record has no memo to read
    d->recNo = long(d->recCount);
    d->eof = d->bof = false;
    d->appendPending = true;
    return 0;
}

long d4dropTail(DATA4 *d)
{
    if (!d)
        return e4param;
    int rc = flushForChange(d);
    if (rc < 0)
        return rc;
    d->dbf.refreshSize();
    const uint64_t end = uint64_t(d->headerLen) + uint64_t(d->recCount) * d->recordLen;
    if (d->dbf.size() <= end + 1)
        return 0;
    const long dropped = long(d->dbf.size() - end - 1);
    const char eof = 0x1A;
    if (!d->dbf.truncate(end) || !d->dbf.writeAt(end, &eof, 1)) {
        setError(d, e4write);
        return e4write;
    }
    return dropped;
}

void d4delete(DATA4 *d)
{
    if (d && d->recNo > 0 && d->record[0] != '*') {
        d->record[0] = '*';
        d->changed = true;
    }
}

void d4recall(DATA4 *d)
{
    if (d && d->recNo > 0 && d->record[0] == '*') {
        d->record[0] = ' ';
        d->changed = true;
    }
}

int d4deleted(DATA4 *d)
{
    return d && d->recNo > 0 && d->record[0] == '*';
}

int d4flush(DATA4 *d)
{
    if (!d)
        return e4param;
    int rc = flushRecord(d);
    int irc = indexFlush(d);
    if (rc == 0 && irc < 0) {
        rc = irc;
        setError(d, rc);
    }
    return rc;
}
