// The index half of the engine: a table's tags (one .ntx file each, listed in
// the table's .cgp group file), their upkeep as records are appended, written,
// packed and zapped, and positioning in a tag's order.

#include "Cgp.h"
#include "KeyExpr.h"
#include "Ntx.h"
#include "Table.h"

#include <algorithm>
#include <cstring>
#include <memory>

struct TAG4
{
    DATA4 *data = nullptr;
    std::string name; // the tag's name: its file name without .ntx
    std::string path;
    xbase::NtxFile ntx;
    xbase::KeyExpr expr;
    std::string key; // scratch for one key of this tag
};

struct IndexState
{
    std::vector<std::unique_ptr<TAG4>> tags;
};

namespace xbase {

namespace {

// Keys of all tags built in one pass over the table may take this much memory;
// more tags are built in further passes.
constexpr size_t kBuildBytes = 256u << 20;

std::vector<FieldDesc> fieldsOf(DATA4 *d)
{
    std::vector<FieldDesc> out;
    for (const auto &f : d->fields)
        out.push_back({f->name, f->type, f->len, f->dec, f->offset});
    return out;
}

bool sameNoCase(const std::string &a, const std::string &b)
{
    return asciiUpper(a) == asciiUpper(b);
}

std::string stemOfTagFile(const std::string &entry)
{
    std::string lower = asciiLower(entry);
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".ntx") == 0)
        return entry.substr(0, entry.size() - 4);
    return entry;
}

std::string joinPath(const std::string &dir, const std::string &file)
{
    if (dir.empty() || dir == ".")
        return file;
    return dir.back() == '/' ? dir + file : dir + "/" + file;
}

int repairTags(DATA4 *d);

void closeTags(DATA4 *d, bool durable)
{
    if (!d->index)
        return;
    bool failed = false;
    for (auto &t : d->index->tags)
        if (t->ntx.isOpen() && (durable ? t->ntx.sync() : t->ntx.flush()) < 0)
            failed = true;
    if (failed && repairTags(d) < 0)
        setError(d, e4write);
    for (auto &t : d->index->tags)
        t->ntx.discard();
    delete d->index;
    d->index = nullptr;
    d->selectedTag = nullptr;
}

int fail(DATA4 *d, int code)
{
    setError(d, code);
    return code;
}

// Opens one tag file and checks it against the table: its expression must be
// one this engine evaluates over the table's fields, giving the file's key length.
int openTag(DATA4 *d, const std::string &path, const std::string &name, const std::vector<FieldDesc> &fields,
            std::unique_ptr<TAG4> &out)
{
    auto t = std::make_unique<TAG4>();
    t->data = d;
    t->name = name;
    t->path = path;
    if (t->ntx.open(path) < 0)
        return e4index;
    if (t->expr.parse(t->ntx.expression(), fields) < 0 || t->expr.keyLen() != t->ntx.keyLen())
        return e4index;
    t->key.assign(size_t(t->ntx.keyLen()), ' ');
    out = std::move(t);
    return 0;
}

// Builds the given tags from the table's records: keys are computed in one
// read of the table (per batch of tags that fits in memory), sorted by
// (key, record number), and written bottom-up.
int buildTags(DATA4 *d, const std::vector<TAG4 *> &tags, const std::vector<NtxFile *> &into)
{
    const uint64_t count = d->recCount;
    size_t first = 0;
    std::string rec;
    while (first < tags.size()) {
        size_t last = first;
        size_t bytes = 0;
        do {
            bytes += size_t(count) * size_t(tags[last]->expr.keyLen());
            ++last;
        } while (last < tags.size() &&
                 bytes + size_t(count) * size_t(tags[last]->expr.keyLen()) <= kBuildBytes);
        std::vector<std::vector<char>> keys(last - first);
        for (size_t i = first; i < last; ++i)
            keys[i - first].resize(size_t(count) * size_t(tags[i]->expr.keyLen()));
        for (uint64_t r = 1; r <= count; ++r) {
            int rc = readRecord(d, long(r), rec);
            if (rc < 0)
                return rc;
            for (size_t i = first; i < last; ++i) {
                size_t len = size_t(tags[i]->expr.keyLen());
                tags[i]->expr.evaluate(rec.data(), keys[i - first].data() + (r - 1) * len);
            }
        }
        for (size_t i = first; i < last; ++i) {
            const size_t len = size_t(tags[i]->expr.keyLen());
            const char *base = keys[i - first].data();
            // Sort on the first eight key bytes as one number, then the rest.
            struct Item
            {
                uint64_t prefix;
                uint32_t idx;
            };
            std::vector<Item> items(static_cast<size_t>(count));
            for (size_t j = 0; j < items.size(); ++j) {
                uint64_t p = 0;
                const unsigned char *k = reinterpret_cast<const unsigned char *>(base + j * len);
                for (size_t b = 0; b < 8; ++b)
                    p = (p << 8) | (b < len ? k[b] : 0);
                items[j] = {p, uint32_t(j)};
            }
            std::sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
                if (a.prefix != b.prefix)
                    return a.prefix < b.prefix;
                if (len > 8) {
                    int c =
                        std::memcmp(base + size_t(a.idx) * len + 8, base + size_t(b.idx) * len + 8, len - 8);
                    if (c != 0)
                        return c < 0;
                }
                return a.idx < b.idx;
            });
            size_t at = 0;
            int rc = into[i]->build(count, [&](char *key, uint32_t &recNo) {
                std::memcpy(key, base + size_t(items[at].idx) * len, len);
                recNo = items[at].idx + 1;
                ++at;
                return true;
            });
            if (rc < 0)
                return rc;
        }
        first = last;
    }
    return 0;
}

// Builds the tags afresh from the table as it is on disk, each into a file
// beside its own (<tag>.ntx.tmp), and renames them into place once all are
// written: a failure midway leaves the old files as they were.
int rebuildAside(DATA4 *d, const std::vector<TAG4 *> &tags)
{
    std::vector<std::unique_ptr<NtxFile>> fresh;
    std::vector<NtxFile *> into;
    auto dropFresh = [&]() {
        for (size_t i = 0; i < fresh.size(); ++i) {
            fresh[i]->discard();
            removeFile(tags[i]->path + ".tmp");
        }
    };
    int rc = 0;
    for (TAG4 *t : tags) {
        fresh.push_back(std::make_unique<NtxFile>());
        into.push_back(fresh.back().get());
        if (fresh.back()->create(t->path + ".tmp", t->expr.text(), t->expr.keyLen(), t->name) < 0) {
            dropFresh();
            return e4create;
        }
    }
    rc = buildTags(d, tags, into);
    for (size_t i = 0; i < fresh.size() && rc == 0; ++i)
        rc = fresh[i]->sync();
    if (rc < 0) {
        dropFresh();
        return rc;
    }
    for (size_t i = 0; i < fresh.size(); ++i) {
        fresh[i]->discard();
        tags[i]->ntx.discard();
        if (rc == 0 && !renameFile(tags[i]->path + ".tmp", tags[i]->path))
            rc = e4write;
        if (rc < 0) {
            // Those renamed already are new; this one and the rest would be
            // stale: they go, and the next start builds them again.
            removeFile(tags[i]->path + ".tmp");
            removeFile(tags[i]->path);
        }
    }
    syncDirectory(d->dir);
    if (rc < 0)
        return rc;
    for (TAG4 *t : tags)
        if (t->ntx.open(t->path) < 0)
            rc = e4index;
    return rc;
}

// After an index change that failed midway the tag files no longer match the
// table. They are built again from the table; when even that fails (the disk
// is full), they are removed rather than left wrong, so that nothing seeks
// through them and the next start builds them again.
int repairTags(DATA4 *d)
{
    if (!d->index)
        return 0;
    std::vector<TAG4 *> tags;
    for (auto &t : d->index->tags)
        tags.push_back(t.get());
    int rc = rebuildAside(d, tags);
    if (rc < 0) {
        for (TAG4 *t : tags) {
            t->ntx.discard();
            removeFile(t->path);
        }
        syncDirectory(d->dir);
    }
    return rc;
}

// Puts the tag's cursor on the current record. Found when the record's key is
// in the tag, otherwise the result of landing on the next greater entry.
int syncCursor(DATA4 *d, TAG4 *t)
{
    NtxFile &x = t->ntx;
    if (x.cursorFresh() && x.currentRecNo() == uint32_t(d->recNo))
        return NtxFile::Found; // nothing moved it since it was put there
    t->expr.evaluate(d->record.data(), t->key.data());
    if (x.positioned() && x.currentRecNo() == uint32_t(d->recNo) &&
        std::memcmp(x.currentKey(), t->key.data(), t->key.size()) == 0)
        return NtxFile::Found;
    return x.seekEntry(t->key.data(), uint32_t(d->recNo));
}

int indexError(DATA4 *d, int rc)
{
    setError(d, rc);
    positionEof(d);
    return rc;
}

// The table on the record of the cursor's entry after a move of the cursor
// that gave rc; past the end when the move passed the last entry.
int positionAtCursor(DATA4 *d, NtxFile &x, int rc)
{
    if (rc < 0)
        return indexError(d, rc);
    if (rc == NtxFile::End)
        return positionEof(d);
    return positionOn(d, long(x.currentRecNo()));
}

int positionFirst(DATA4 *d, NtxFile &x)
{
    int rc = x.top();
    if (rc < 0)
        return indexError(d, rc);
    if (rc == NtxFile::End)
        return positionBof(d);
    rc = positionOn(d, long(x.currentRecNo()));
    if (rc == 0)
        d->bof = true;
    return rc == 0 ? r4bof : rc;
}

} // namespace

// ---- Hooks called by the table code ----------------------------------------

int indexOpen(DATA4 *d)
{
    if (!d->code->autoOpen)
        return 0;
    if (d->groupPath.empty())
        return e4index; // with automatic opening, the group must be there
    std::vector<std::string> entries;
    if (readGroupFile(d->groupPath, entries) < 0)
        return e4index;
    const std::vector<FieldDesc> fields = fieldsOf(d);
    d->index = new IndexState;
    for (const std::string &entry : entries) {
        std::string path = resolveTagFile(d->dir, entry);
        // A file listed twice is opened once: two caches of one file would
        // overwrite each other's pages.
        bool again = false;
        for (const auto &t : d->index->tags)
            again = again || t->path == path;
        if (again && !path.empty())
            continue;
        std::unique_ptr<TAG4> tag;
        if (path.empty() || openTag(d, path, stemOfTagFile(entry), fields, tag) < 0) {
            closeTags(d, false);
            return e4index;
        }
        d->index->tags.push_back(std::move(tag));
    }
    return 0;
}

int indexAppend(DATA4 *d, long recNo, const char *rec)
{
    if (!d->index)
        return 0;
    int result = 0;
    for (auto &t : d->index->tags) {
        t->expr.evaluate(rec, t->key.data());
        int rc = t->ntx.insert(t->key.data(), uint32_t(recNo));
        if (rc < 0 && result == 0)
            result = rc;
    }
    return result;
}

int indexUpdate(DATA4 *d, long recNo, const char *oldRec, const char *newRec)
{
    if (!d->index)
        return 0;
    int result = 0;
    std::string oldKey;
    for (auto &t : d->index->tags) {
        oldKey.assign(t->key.size(), ' ');
        t->expr.evaluate(oldRec, oldKey.data());
        t->expr.evaluate(newRec, t->key.data());
        if (oldKey == t->key)
            continue;
        int rc = t->ntx.remove(oldKey.data(), uint32_t(recNo));
        if (rc >= 0)
            rc = t->ntx.insert(t->key.data(), uint32_t(recNo));
        if (rc < 0 && result == 0)
            result = rc;
    }
    return result;
}

int indexRebuild(DATA4 *d)
{
    return repairTags(d);
}

int indexRenumber(DATA4 *d, const std::vector<long> &removed, const std::vector<std::string> &removedRecs)
{
    if (!d->index)
        return 0;
    // The new number of a kept record: its old one less the removed records
    // before it (`removed` is ascending).
    auto renumbered = [&removed](uint32_t old) {
        auto before = std::lower_bound(removed.begin(), removed.end(), long(old));
        return old - uint32_t(before - removed.begin());
    };
    int rc = 0;
    std::string key;
    for (auto &t : d->index->tags) {
        key.assign(t->key.size(), ' ');
        for (size_t i = 0; i < removed.size() && rc >= 0; ++i) {
            t->expr.evaluate(removedRecs[i].data(), key.data());
            rc = t->ntx.remove(key.data(), uint32_t(removed[i]));
        }
        if (rc >= 0)
            rc = t->ntx.renumber(renumbered);
        if (rc >= 0)
            rc = t->ntx.sync();
        if (rc < 0)
            break;
    }
    // A tag that could not be brought up to date is built again from the
    // table, or removed when even that fails; the failure is reported all
    // the same.
    if (rc < 0)
        repairTags(d);
    return rc;
}

int indexRepair(DATA4 *d)
{
    return repairTags(d);
}

int indexFlush(DATA4 *d)
{
    if (!d->index)
        return 0;
    int result = 0;
    for (auto &t : d->index->tags) {
        int rc = t->ntx.flush();
        if (rc < 0 && result == 0)
            result = rc;
    }
    if (result < 0)
        repairTags(d);
    return result;
}

void indexClose(DATA4 *d, bool durable)
{
    closeTags(d, durable);
}

// ---- Positioning in a tag's order -------------------------------------------

int orderTop(DATA4 *d)
{
    flushRecord(d);
    NtxFile &x = d->selectedTag->ntx;
    return positionAtCursor(d, x, x.top());
}

int orderBottom(DATA4 *d)
{
    flushRecord(d);
    NtxFile &x = d->selectedTag->ntx;
    return positionAtCursor(d, x, x.bottom());
}

int orderSeek(DATA4 *d, const char *key)
{
    flushRecord(d);
    NtxFile &x = d->selectedTag->ntx;
    int rc = x.seek(key, std::strlen(key));
    int pos = positionAtCursor(d, x, rc);
    if (rc < 0 || rc == NtxFile::End || pos != 0)
        return pos;
    return rc == NtxFile::Found ? 0 : r4after;
}

int orderSkip(DATA4 *d, long n)
{
    flushRecord(d);
    TAG4 *t = d->selectedTag;
    NtxFile &x = t->ntx;
    if (n == 0)
        return d->recNo > 0 ? 0 : r4eof;
    int rc = 0;
    if (d->eof || d->recNo <= 0) {
        if (n > 0)
            return positionEof(d);
        rc = x.bottom();
        if (rc < 0)
            return indexError(d, rc);
        if (rc == NtxFile::End)
            return positionBof(d);
        ++n;
    } else {
        rc = syncCursor(d, t);
        if (rc < 0)
            return indexError(d, rc);
        if (rc == NtxFile::End) {
            // The record has no entry and sorts after every entry.
            if (n > 0)
                return positionEof(d);
            if ((rc = x.bottom()) < 0)
                return indexError(d, rc);
            ++n;
        } else if (rc != NtxFile::Found && n > 0) {
            --n; // already on the next greater entry
        }
    }
    if (n != 0) {
        long moved = 0;
        rc = x.skip(n, &moved);
        if (rc < 0)
            return indexError(d, rc);
        if (rc == NtxFile::End)
            return n > 0 ? positionEof(d) : positionFirst(d, x);
    }
    return positionOn(d, long(x.currentRecNo()));
}

int orderPositionSet(DATA4 *d, double fraction)
{
    flushRecord(d);
    NtxFile &x = d->selectedTag->ntx;
    return positionAtCursor(d, x, x.goToPosition(fraction));
}

double orderPosition(DATA4 *d)
{
    if (d->eof)
        return 1.0;
    if (d->recNo <= 0)
        return 0.0;
    flushRecord(d);
    TAG4 *t = d->selectedTag;
    if (syncCursor(d, t) < 0)
        return 0.0;
    return t->ntx.position();
}

} // namespace xbase

using namespace xbase;

// ---- Tag calls ------------------------------------------------------------------

TAG4 *d4tag(DATA4 *d, const char *name)
{
    if (!d)
        return nullptr;
    if (name && d->index) {
        std::string want = name;
        while (!want.empty() && want.back() == ' ')
            want.pop_back();
        for (auto &t : d->index->tags)
            if (sameNoCase(t->name, want))
                return t.get();
    }
    setError(d, e4tag);
    return nullptr;
}

void d4tagSelect(DATA4 *d, TAG4 *tag)
{
    if (!d)
        return;
    if (tag && tag->data != d) {
        setError(d, e4tag);
        return;
    }
    d->selectedTag = tag;
}

int d4tagSelectP(DATA4 *d, TAG4 *tag)
{
    if (!d)
        return e4param;
    if (tag && tag->data != d)
        return fail(d, e4tag);
    d->selectedTag = tag;
    return 0;
}

TAG4 *d4tagSelected(DATA4 *d)
{
    return d ? d->selectedTag : nullptr;
}

const char *t4alias(TAG4 *tag)
{
    return tag ? tag->name.c_str() : "";
}

const char *t4expr(TAG4 *tag)
{
    return tag ? tag->expr.text().c_str() : "";
}

int i4create(DATA4 *d, const char *groupName, const TAG4INFO *tags)
{
    if (!d)
        return e4param;
    if (!tags)
        return fail(d, e4param);
    flushRecord(d);

    // Where the group file goes: beside the table unless the name says otherwise.
    std::string gdir = d->dir, gfile = d->alias;
    if (groupName && *groupName) {
        std::string name = groupName;
        if (name.find('/') != std::string::npos)
            splitPath(name, gdir, gfile);
        else
            gfile = name;
    }
    std::string lower = asciiLower(gfile);
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".cgp") == 0)
        gfile.resize(gfile.size() - 4);
    if (gfile.empty())
        return fail(d, e4param);

    // Check every tag before touching a file.
    const std::vector<FieldDesc> fields = fieldsOf(d);
    std::vector<std::unique_ptr<TAG4>> made;
    std::vector<std::string> entries;
    for (const TAG4INFO *ti = tags; ti->name; ++ti) {
        std::string name = ti->name;
        bool ok = !name.empty() && name.size() <= 64 && !ti->unique && !ti->descending;
        for (char c : name)
            ok = ok && c != '/' && c != '\\' && static_cast<unsigned char>(c) > 0x20;
        for (const auto &m : made)
            ok = ok && !sameNoCase(m->name, name);
        if (!ok)
            return fail(d, e4param);
        auto t = std::make_unique<TAG4>();
        t->data = d;
        t->name = name;
        if (!ti->expression || t->expr.parse(ti->expression, fields) < 0)
            return fail(d, e4expr);
        t->key.assign(size_t(t->expr.keyLen()), ' ');
        t->path = joinPath(d->dir, name + ".ntx");
        entries.push_back(name + ".ntx");
        made.push_back(std::move(t));
    }
    std::vector<std::pair<std::string, std::string>> files; // (directory, name)
    files.emplace_back(gdir, gfile + ".cgp");
    for (const std::string &e : entries)
        files.emplace_back(d->dir, e);
    for (const auto &[dir, file] : files) {
        std::string existing = locateNoCase(dir, file);
        if (existing.empty())
            continue;
        if (d->code->safety)
            return fail(d, e4create);
    }

    // The table's open tags may be the very files about to be replaced.
    closeTags(d, false);
    // Another spelling of a name would leave two files.
    for (const auto &[dir, file] : files) {
        std::string existing = locateNoCase(dir, file);
        std::string wanted = joinPath(dir, file);
        if (!existing.empty() && existing != wanted)
            renameFile(existing, wanted);
    }
    std::vector<TAG4 *> list;
    for (auto &t : made)
        list.push_back(t.get());
    int rc = rebuildAside(d, list);
    if (rc < 0)
        return fail(d, rc);
    if (writeGroupFile(joinPath(gdir, gfile + ".cgp"), entries) < 0) {
        for (auto &t : made)
            t->ntx.discard();
        return fail(d, e4create);
    }
    syncDirectory(gdir);
    d->index = new IndexState;
    d->index->tags = std::move(made);
    return 0;
}

int t4keyLen(TAG4 *tag)
{
    return tag ? tag->ntx.keyLen() : 0;
}

const char *t4keyStored(TAG4 *tag)
{
    static thread_local std::string stored;
    stored.clear();
    if (tag && tag->ntx.positioned())
        stored.assign(tag->ntx.currentKey(), size_t(tag->ntx.keyLen()));
    return stored.c_str();
}

const char *t4keyComputed(TAG4 *tag)
{
    static thread_local std::string computed;
    computed.clear();
    if (!tag || !tag->data || tag->data->recNo <= 0)
        return computed.c_str();
    computed.assign(size_t(tag->ntx.keyLen()), ' ');
    tag->expr.evaluate(tag->data->record.data(), computed.data());
    return computed.c_str();
}

int d4check(DATA4 *d, void (*report)(void *ctx, const char *problem), void *ctx)
{
    if (!d)
        return -1;
    flushRecord(d);
    int problems = 0;
    std::string text;
    auto say = [&](int &ofKind, const std::string &what) {
        ++problems;
        if (++ofKind <= 5 && report)
            report(ctx, what.c_str());
    };
    const uint64_t count = d->recCount;
    int sizeProblems = 0;
    d->dbf.refreshSize();
    const uint64_t need = uint64_t(d->headerLen) + count * d->recordLen;
    if (d->dbf.size() < need)
        say(sizeProblems, "the header counts " + std::to_string(count) + " records, the file holds only " +
                              std::to_string((d->dbf.size() - d->headerLen) / d->recordLen));
    else if (d->dbf.size() > need + 1)
        say(sizeProblems,
            "the file holds " + std::to_string(d->dbf.size() - need) + " bytes past its last record");
    if (d->dbf.size() < need)
        return problems; // the records cannot be read

    int flagProblems = 0, memoProblems = 0;
    std::string rec;
    if (d->dbt.isOpen())
        d->dbt.refreshSize();
    const uint64_t memoBlocks = d->dbt.isOpen() ? (d->dbt.size() + 511) / 512 : 0;
    for (uint64_t r = 1; r <= count; ++r) {
        if (readRecord(d, long(r), rec) < 0) {
            say(flagProblems, "record " + std::to_string(r) + " cannot be read");
            break;
        }
        if (rec[0] != ' ' && rec[0] != '*')
            say(flagProblems, "record " + std::to_string(r) + " has the delete flag " +
                                  std::to_string(static_cast<unsigned char>(rec[0])) +
                                  " (only blank and * are valid)");
        for (FIELD4 *f : d->memoFields) {
            bool valid = false;
            uint32_t block = memoBlockOf(rec.data() + f->offset, f->len, &valid);
            if (!valid)
                say(memoProblems,
                    "record " + std::to_string(r) + " field " + f->name + " holds no memo number");
            else if (block > 0 && block >= memoBlocks)
                say(memoProblems, "record " + std::to_string(r) + " field " + f->name +
                                      " points at memo block " + std::to_string(block) +
                                      ", past the end of the memo file");
            else if (block > 0) {
                bool ok = false;
                readMemo(d, block, &ok);
                if (!ok)
                    say(memoProblems, "record " + std::to_string(r) + " field " + f->name +
                                          " memo at block " + std::to_string(block) + " has no end mark");
            }
        }
    }

    if (!d->index)
        return problems;
    std::vector<uint32_t> seen;
    std::string computed;
    for (auto &t : d->index->tags) {
        const std::string name = "tag " + t->name + ": ";
        int tagProblems = 0;
        NtxFile &x = t->ntx;
        uint64_t entries = 0;
        if (!x.isOpen() || x.verify(&entries) < 0) {
            say(tagProblems, name + "the index file is damaged");
            continue;
        }
        seen.assign(size_t(count) + 1, 0);
        computed.assign(size_t(x.keyLen()), ' ');
        uint64_t walked = 0;
        int rc = x.top();
        for (; rc == NtxFile::Found && walked <= entries; rc = x.next()) {
            ++walked;
            uint32_t r = x.currentRecNo();
            if (r < 1 || r > count) {
                say(tagProblems, name + "lists record " + std::to_string(r) + ", which does not exist");
                continue;
            }
            if (seen[r]++ == 1)
                say(tagProblems, name + "lists record " + std::to_string(r) + " twice");
            if (readRecord(d, long(r), rec) < 0)
                continue;
            t->expr.evaluate(rec.data(), computed.data());
            if (std::memcmp(computed.data(), x.currentKey(), computed.size()) != 0)
                say(tagProblems, name + "record " + std::to_string(r) + " has the key \"" +
                                     std::string(x.currentKey(), computed.size()) + "\" but should have \"" +
                                     computed + "\"");
        }
        x.resetCursor();
        if (rc < 0)
            say(tagProblems, name + "cannot be read to its end");
        for (uint64_t r = 1; r <= count; ++r)
            if (seen[r] == 0)
                say(tagProblems, name + "has no key for record " + std::to_string(r));
    }
    positionEof(d); // the walks moved the tags' cursors
    return problems;
}
