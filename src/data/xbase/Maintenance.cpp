// Pack, zap and memo compression. Each writes the new table beside the old
// one and renames it into place, so a failure midway leaves the old files
// whole. Memo compression changes two files at once; the order of its renames
// lets the next open finish the job after a crash:
//   1. <table>.dbf.tmp and <memo>.dbt.tmp are written and synced;
//   2. <memo>.dbt.tmp is renamed to <memo>.dbt.new: from here on the new
//      pair is complete and wins;
//   3. <table>.dbf.tmp replaces the .dbf;
//   4. <memo>.dbt.new replaces the .dbt.
// A leftover .dbt.new means steps 3-4 are to be finished; leftover .tmp files
// without it are an unfinished rewrite and are removed.

#include "Table.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <sys/stat.h>

namespace xbase {

namespace {

constexpr size_t kChunk = 1024 * 1024;

unsigned fileMode(const std::string &path)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return st.st_mode & 07777;
    return 0644;
}

struct Rewrite
{
    DATA4 *d;
    std::string dbfTmp, dbtTmp, dbtNew;
    DiskFile dbfOut, dbtOut;
    uint32_t memoNext = 1;

    void discard()
    {
        dbfOut.close();
        dbtOut.close();
        removeFile(dbfTmp);
        if (!dbtTmp.empty())
            removeFile(dbtTmp);
    }
};

int copyMemo(Rewrite &rw, FIELD4 *f, char *rec)
{
    DATA4 *d = rw.d;
    bool valid = false;
    uint32_t block = memoBlockOf(rec + f->offset, f->len, &valid);
    std::string text;
    if (valid && block > 0)
        text = readMemo(d, block); // a damaged memo is dropped, as it reads empty anyway
    uint32_t newBlock = 0;
    if (!text.empty()) {
        uint32_t need = uint32_t((text.size() + 2 + 511) / 512);
        text.append("\x1A\x1A");
        text.resize(size_t(need) * 512, '\0');
        if (!rw.dbtOut.writeAt(uint64_t(rw.memoNext) * 512, text.data(), text.size()))
            return e4write;
        newBlock = rw.memoNext;
        rw.memoNext += need;
    }
    char buf[16];
    if (newBlock == 0)
        std::memset(buf, ' ', 10);
    else
        std::snprintf(buf, sizeof buf, "%10u", newBlock);
    std::memcpy(rec + f->offset, buf, 10);
    return 0;
}

// The records a pack removes, when they are few enough for the tags to be
// renumbered in place rather than built again.
struct Dropped
{
    std::vector<long> recNos; // ascending
    std::vector<std::string> recs;
};

// Copies the records that keep() accepts into a new table file and puts it in
// place of the old one; with compactMemos, the live memos go into a new memo
// file. With `dropped` (the records keep() refuses) the tags are renumbered
// in place; without, they are built again.
int rewriteTable(DATA4 *d, const std::function<bool(long, const char *)> &keep, bool compactMemos,
                 const Dropped *dropped = nullptr)
{
    int rc = flushForChange(d);
    if (rc < 0)
        return rc;
    // Nobody else may have the table open while its records are renumbered.
    if (!d->exclusive && !d->dbf.lock(LockMode::Exclusive)) {
        d->dbf.lock(LockMode::Shared);
        setError(d, e4lock);
        return e4lock;
    }
    LockMode mode = d->exclusive ? LockMode::Exclusive : LockMode::Shared;
    compactMemos = compactMemos && d->dbt.isOpen();

    Rewrite rw;
    rw.d = d;
    rw.dbfTmp = d->dbfPath + ".tmp";
    if (compactMemos) {
        rw.dbtTmp = d->dbtPath + ".tmp";
        rw.dbtNew = d->dbtPath + ".new";
    }
    auto fail = [&](int code) {
        rw.discard();
        if (!d->exclusive)
            d->dbf.lock(LockMode::Shared);
        setError(d, code);
        return code;
    };
    if (!rw.dbfOut.create(rw.dbfTmp, fileMode(d->dbfPath)))
        return fail(e4create);
    if (compactMemos && createMemoFile(rw.dbtOut, rw.dbtTmp) < 0)
        return fail(e4create);

    std::string header(d->headerLen, '\0');
    if (!d->dbf.readAt(0, header.data(), header.size()))
        return fail(e4read);
    if (!rw.dbfOut.writeAt(0, header.data(), header.size()))
        return fail(e4write);

    size_t perChunk = std::max<size_t>(1, kChunk / d->recordLen);
    std::string in, out;
    uint64_t outPos = d->headerLen;
    uint32_t kept = 0;
    if (dropped && !compactMemos) {
        // The records between those removed are copied run by run, unread.
        uint64_t from = 1;
        for (size_t i = 0; i <= dropped->recNos.size(); ++i) {
            const uint64_t to = i < dropped->recNos.size() ? uint64_t(dropped->recNos[i]) : d->recCount + 1;
            const uint64_t bytes = (to - from) * d->recordLen;
            if (to > from &&
                !rw.dbfOut.copyFrom(d->dbf, d->headerLen + (from - 1) * d->recordLen, outPos, bytes))
                return fail(e4write);
            outPos += bytes;
            kept += uint32_t(to - from);
            from = to + 1;
        }
    }
    for (uint64_t first = 1; first <= d->recCount && !(dropped && !compactMemos); first += perChunk) {
        size_t n = size_t(std::min<uint64_t>(perChunk, d->recCount - first + 1));
        in.resize(n * d->recordLen);
        if (!d->dbf.readAt(d->headerLen + (first - 1) * d->recordLen, in.data(), in.size()))
            return fail(e4read);
        out.clear();
        for (size_t i = 0; i < n; ++i) {
            char *rec = in.data() + i * d->recordLen;
            if (!keep(long(first + i), rec))
                continue;
            if (compactMemos)
                for (FIELD4 *f : d->memoFields)
                    if ((rc = copyMemo(rw, f, rec)) < 0)
                        return fail(rc);
            out.append(rec, d->recordLen);
            ++kept;
        }
        if (!rw.dbfOut.writeAt(outPos, out.data(), out.size()))
            return fail(e4write);
        outPos += out.size();
    }
    const char end = 0x1A;
    unsigned char count[4];
    for (int i = 0; i < 4; ++i)
        count[i] = static_cast<unsigned char>(kept >> (8 * i));
    if (!rw.dbfOut.writeAt(outPos, &end, 1) || !rw.dbfOut.writeAt(4, count, 4) || !rw.dbfOut.sync())
        return fail(e4write);
    if (compactMemos) {
        unsigned char next[4];
        for (int i = 0; i < 4; ++i)
            next[i] = static_cast<unsigned char>(rw.memoNext >> (8 * i));
        if (!rw.dbtOut.writeAt(0, next, 4) || !rw.dbtOut.sync())
            return fail(e4write);
        if (!renameFile(rw.dbtTmp, rw.dbtNew))
            return fail(e4write);
        syncDirectory(d->dir);
    }
    rw.dbfOut.close();
    rw.dbtOut.close();
    if (!renameFile(rw.dbfTmp, d->dbfPath)) {
        if (!compactMemos)
            return fail(e4write);
        // The new pair is committed; the next open completes it.
        setError(d, e4write);
        return e4write;
    }
    syncDirectory(d->dir);
    if (compactMemos) {
        if (!renameFile(rw.dbtNew, d->dbtPath)) {
            setError(d, e4write);
            return e4write;
        }
        syncDirectory(d->dir);
    }

    // Carry on with the new files under the same lock mode.
    d->dbf.close();
    if (!d->dbf.open(d->dbfPath)) {
        setError(d, e4open);
        return e4open;
    }
    if (!d->dbf.lock(mode))
        setError(d, e4lock);
    if (d->code->optimize)
        d->dbf.setWindow(std::max<size_t>(128 * 1024, d->recordLen));
    if (compactMemos) {
        d->dbt.close();
        if (!d->dbt.open(d->dbtPath)) {
            setError(d, e4memo);
            return e4memo;
        }
        d->memoNextFree = rw.memoNext;
    }
    d->recCount = kept;
    d->modified = true;
    positionEof(d);
    d->eof = false;
    d->bof = false;
    rc = dropped ? indexRenumber(d, dropped->recNos, dropped->recs) : indexRebuild(d);
    if (rc < 0)
        setError(d, rc);
    return rc;
}

} // namespace

void recoverInterruptedRewrite(const std::string &dbfPath)
{
    std::string dir, file;
    splitPath(dbfPath, dir, file);
    std::string stem = file.substr(0, file.size() - 4);
    std::string dbfTmp = dbfPath + ".tmp";
    std::string dbtNew = locateNoCase(dir, stem + ".dbt.new");
    std::string dbtTmp = locateNoCase(dir, stem + ".dbt.tmp");
    bool haveDbfTmp = fileExists(dbfTmp);
    if (dbtNew.empty() && dbtTmp.empty() && !haveDbfTmp)
        return;
    // Only when nobody has the table open: a rewrite may be running right now.
    DiskFile probe;
    if (!probe.open(dbfPath) || !probe.lock(LockMode::Exclusive))
        return;
    if (!dbtNew.empty()) {
        std::string dbtPath = dbtNew.substr(0, dbtNew.size() - 4);
        if (haveDbfTmp && !renameFile(dbfTmp, dbfPath))
            return;
        renameFile(dbtNew, dbtPath);
        syncDirectory(dir);
        return;
    }
    if (haveDbfTmp)
        removeFile(dbfTmp);
    if (!dbtTmp.empty())
        removeFile(dbtTmp);
}

} // namespace xbase

using namespace xbase;

int d4pack(DATA4 *d)
{
    if (!d)
        return e4param;
    int rc = flushForChange(d);
    if (rc < 0)
        return rc;
    // The marked records first: a table without any stays as it is, and
    // when there are few (at most one in 256, where removing their keys one
    // by one costs less than building the tags again) the tags keep their
    // pages and only take the new record numbers.
    Dropped dropped;
    const uint64_t few = d->recCount / 256 + 16;
    bool many = false;
    const size_t perChunk = std::max<size_t>(1, kChunk / d->recordLen);
    std::string in;
    for (uint64_t first = 1; first <= d->recCount && !many; first += perChunk) {
        const size_t n = size_t(std::min<uint64_t>(perChunk, d->recCount - first + 1));
        in.resize(n * d->recordLen);
        if (!d->dbf.readAt(d->headerLen + (first - 1) * d->recordLen, in.data(), in.size())) {
            setError(d, e4read);
            return e4read;
        }
        for (size_t i = 0; i < n; ++i) {
            const char *rec = in.data() + i * d->recordLen;
            if (rec[0] != '*')
                continue;
            if (dropped.recNos.size() >= few) {
                many = true;
                break;
            }
            dropped.recNos.push_back(long(first + i));
            dropped.recs.emplace_back(rec, d->recordLen);
        }
    }
    if (dropped.recNos.empty()) {
        // Nothing to remove; a pack still needs the table to itself.
        if (!d->exclusive) {
            const bool alone = d->dbf.lock(LockMode::Exclusive);
            d->dbf.lock(LockMode::Shared);
            if (!alone) {
                setError(d, e4lock);
                return e4lock;
            }
        }
        return 0;
    }
    return rewriteTable(
        d, [](long, const char *rec) { return rec[0] != '*'; }, false, many ? nullptr : &dropped);
}

int d4zap(DATA4 *d, long first, long last)
{
    if (!d)
        return e4param;
    flushRecord(d);
    first = std::max(first, 1L);
    last = std::min(last, long(d->recCount));
    if (first > last)
        return 0;
    return rewriteTable(
        d, [first, last](long recNo, const char *) { return recNo < first || recNo > last; }, false);
}

namespace {

// Whether the memo file holds blocks no record points at: the blocks of the
// memos in use, with the header block, against the next free block.
bool memoHasDeadBlocks(DATA4 *d)
{
    uint64_t live = 1;
    const size_t perChunk = std::max<size_t>(1, kChunk / d->recordLen);
    std::string in;
    for (uint64_t first = 1; first <= d->recCount; first += perChunk) {
        const size_t n = size_t(std::min<uint64_t>(perChunk, d->recCount - first + 1));
        in.resize(n * d->recordLen);
        if (!d->dbf.readAt(d->headerLen + (first - 1) * d->recordLen, in.data(), in.size()))
            return true;
        for (size_t i = 0; i < n; ++i) {
            const char *rec = in.data() + i * d->recordLen;
            for (FIELD4 *f : d->memoFields) {
                bool valid = false;
                const uint32_t block = memoBlockOf(rec + f->offset, f->len, &valid);
                if (!valid)
                    return true;
                if (block == 0)
                    continue;
                const std::string text = readMemo(d, block);
                if (text.empty())
                    return true; // a pointer to nothing: let the compression drop it
                live += (text.size() + 2 + 511) / 512;
            }
        }
    }
    return live != d->memoNextFree;
}

} // namespace

int d4memoWasted(DATA4 *d)
{
    if (!d)
        return e4param;
    if (!d->dbt.isOpen())
        return 0;
    const int rc = flushRecord(d);
    if (rc < 0)
        return rc;
    return memoHasDeadBlocks(d) ? 1 : 0;
}

int d4memoCompress(DATA4 *d)
{
    if (!d)
        return e4param;
    if (!d->dbt.isOpen())
        return flushRecord(d);
    return rewriteTable(
        d, [](long, const char *) { return true; }, true);
}
