#pragma once
// Inside of the engine's table half: the session, open tables and fields
// behind the opaque handles of xbase.h, and the points where the index half
// (Ntx, KeyExpr) joins in.
//
// Index hooks. The table code calls these functions (namespace xbase, declared
// at the end of this header); IndexStubs.cpp holds do-nothing versions, plus
// record-order versions of the tag calls of xbase.h, so the engine links
// without indexes. The index half replaces IndexStubs.cpp as a whole.
//   indexOpen(d)      d4open, after the table and memo file are open and the
//                     current record is unset. When code4autoOpen is on and a
//                     <stem>.cgp exists, d->groupPath names it and d->groupTags
//                     lists its tag file names as written there (comment lines
//                     '#' / ';' and blank lines dropped). A negative result
//                     fails the open with that error code.
//   indexAppend(d, recNo, rec)
//                     a new record is on disk with its fields. d4appendBlank
//                     writes a blank record and the new count at once, but the
//                     hook comes once, when the record is next written (pointer
//                     moves, d4flush, close), with the values assigned by then.
//   indexUpdate(d, recNo, oldRec, newRec)
//                     an existing record was rewritten; oldRec is the record as
//                     it was on disk before (compare old and new keys).
//   indexRebuild(d)   d4pack / d4zap renumbered the records: rebuild every tag.
//   indexFlush(d)     d4flush: hand index pages to the operating system.
//   indexClose(d, durable)
//                     d4close / code4close, before the table's files close.
//                     durable: fsync the index files too.
//   All records are passed as raw bytes: rec[0] is the delete flag and a
//   field's bytes start at rec + field->offset (see FIELD4).
// Ordering. While d->selectedTag is non-null, d4top, d4bottom, d4skip, d4seek
// d4position2 and d4positionSet2 hand over to orderTop, orderBottom, orderSkip,
// orderSeek, orderPosition and orderPositionSet. These position the table
// with positionOn / positionEof / positionBof below and return the
// positioning result (r4... of xbase.h).
// Pending changes of the current record are written (and indexAppend /
// indexUpdate called) before the order functions are entered.
// Reading records for a key: currentRecord(d) gives the current record's bytes
// (with unwritten changes), readRecord(d, recNo, buf) any record from disk.
// d->index is the index half's own per-table state; it owns and frees it.
// d4create with a tag list calls i4create(d, <dir/stem>, tags) on the new table.

#include "FileIo.h"
#include "xbase.h"

#include <memory>
#include <string>
#include <vector>

struct IndexState; // defined by the index half

struct CODE4
{
    int errorCode = 0;
    int optimize = 1;
    int optimizeWrite = -1;
    int autoOpen = 1;
    int accessMode = 0;
    int safety = 1;
    std::vector<DATA4 *> tables; // open tables, in opening order
};

struct FIELD4
{
    DATA4 *data = nullptr;
    std::string name; // upper case as stored
    char type = 'C';
    int len = 0;
    int dec = 0;
    int offset = 0;   // of the field's first byte within the record (byte 0 is the delete flag)
    std::string text; // the value returned by f4str
    // Memo text of the current record (M fields only).
    bool memoLoaded = false;
    bool memoChanged = false;
    std::string memo;
};

struct DATA4
{
    CODE4 *code = nullptr;
    std::string dir;     // directory of the table's files
    std::string alias;   // stem as found on disk
    std::string dbfPath; // the .dbf as found on disk
    std::string dbtPath; // the .dbt, empty without memo fields
    xbase::DiskFile dbf;
    xbase::DiskFile dbt;
    bool exclusive = false;

    // Header.
    unsigned char version = 0x03;
    uint32_t recCount = 0;
    uint32_t headerLen = 0;
    uint32_t recordLen = 0;
    std::vector<std::unique_ptr<FIELD4>> fields;
    std::vector<FIELD4 *> memoFields;
    bool modified = false; // something was written since the open

    // Current record.
    long recNo = 0; // 0: no current record
    bool eof = false;
    bool bof = false;
    std::string record;         // the current record's bytes, with unwritten changes
    std::string original;       // as it is on disk
    bool changed = false;       // record differs from the disk (or memo assigned)
    bool appendPending = false; // appended, not yet handed to the indexes

    // Memo file.
    uint32_t memoNextFree = 1;

    // Index side.
    std::string groupPath;              // <stem>.cgp when found and auto-open is on
    std::vector<std::string> groupTags; // its tag file names
    TAG4 *selectedTag = nullptr;
    IndexState *index = nullptr;
};

namespace xbase {

void setError(CODE4 *c4, int code);
inline void setError(DATA4 *d, int code)
{
    setError(d->code, code);
}

// Current record access for the key evaluator.
const char *currentRecord(DATA4 *d);
// Reads record recNo (1-based) from disk into buf (recordLen bytes). Negative on error.
int readRecord(DATA4 *d, long recNo, std::string &buf);
// Writes pending changes of the current record (memos, record bytes, hooks).
int flushRecord(DATA4 *d);
// flushRecord(), then e4write (set on the session) when the table file
// cannot be written: the start of every change to the table.
int flushForChange(DATA4 *d);

// Positioning helpers for the ordering code: each writes pending changes first.
int positionOn(DATA4 *d, long recNo); // loads recNo; 0, or r4eof when it does not exist
int positionEof(DATA4 *d);            // past the end; returns r4eof
int positionBof(DATA4 *d);            // on the first record with bof set; returns r4bof

// Memo file access (Memo.cpp).
std::string readMemo(DATA4 *d, uint32_t block, bool *ok = nullptr);
uint32_t memoBlockOf(const char *fieldBytes, int len, bool *valid = nullptr);
int writeMemo(DATA4 *d, const std::string &text, uint32_t oldBlock, uint32_t &newBlock);
int createMemoFile(DiskFile &f, const std::string &path);
int openMemoFile(DATA4 *d);

// Rewrites (Maintenance.cpp).
void recoverInterruptedRewrite(const std::string &dbfPath);

// Index hooks (IndexStubs.cpp until the index half replaces it).
int indexOpen(DATA4 *d);
int indexAppend(DATA4 *d, long recNo, const char *rec);
int indexUpdate(DATA4 *d, long recNo, const char *oldRec, const char *newRec);
int indexRebuild(DATA4 *d);
int indexFlush(DATA4 *d);
// Builds every tag again from the table after a change of the tags failed
// midway; removes them when that fails too.
int indexRepair(DATA4 *d);
// After a pack that removed a few records: their entries are removed and
// every other entry takes its record's new number, in place, instead of
// building the tags again. `removed` holds the removed records' old numbers
// in ascending order, `removedRecs` their bytes. On a failure the tags are
// built again from the table (indexRepair).
int indexRenumber(DATA4 *d, const std::vector<long> &removed, const std::vector<std::string> &removedRecs);
void indexClose(DATA4 *d, bool durable);
int orderTop(DATA4 *d);
int orderBottom(DATA4 *d);
int orderSkip(DATA4 *d, long n);
int orderSeek(DATA4 *d, const char *key);
double orderPosition(DATA4 *d);
int orderPositionSet(DATA4 *d, double fraction);

} // namespace xbase
