#pragma once
// The xBase engine: dBASE III tables (.dbf) with memo files (.dbt), Clipper
// index files (.ntx) and plain-text group files (.cgp) naming a table's tags.
//
// This is the engine's whole public interface. The handles are opaque; every
// call takes the handle it acts on. Conventions shared by all calls:
//   - Positioning calls (d4top, d4bottom, d4go, d4seek, d4skip) return 0 when
//     positioned on a record and a non-zero value when there is no record
//     (empty table, key not found, either end passed).
//   - Errors are recorded on the session as a negative code, read (and cleared)
//     with code4errorCode(session, 0). Calls that fail return a negative value
//     or a null handle. A damaged file never crashes the engine.
//   - Text is bytes. Callers convert to and from Windows-1252 themselves.
//   - Table names are file stems, with or without a directory part; files are
//     found without regard to the case of their names (CUST5.DBF, cust5.dbf).
//     Tables are created with lower-case extensions (.dbf, .dbt, .ntx, .cgp).

#include <cstdint>

struct CODE4;  // an engine session
struct DATA4;  // an open table
struct FIELD4; // a field of an open table
struct TAG4;   // an index tag of an open table

// Error codes kept on the session (all negative).
enum : int {
    e4open = -10,   // a file could not be opened or is not a valid file of its kind
    e4create = -20, // a file could not be created
    e4read = -30,   // a read failed or returned fewer bytes than the file promised
    e4write = -40,  // a write failed (disk full, write-protected)
    e4data = -50,   // the contents of a file are inconsistent (damaged header, bad lengths)
    e4memo = -60,   // a memo file is missing or damaged
    e4index = -70,  // an index or group file is missing or damaged
    e4expr = -80,   // a key expression names an unknown function or field
    e4field = -90,  // a field name that the table does not have
    e4tag = -100,   // a tag name that the table does not have
    e4lock = -110,  // another process holds the file in exclusive use
    e4param = -120, // a call was given an impossible argument
};

// Positioning results other than 0 (positioned on a record).
enum : int {
    r4after = 2, // d4seek: no key begins with the text; on the next greater key
    r4eof = 3,   // past the last record (or the table is empty)
    r4bof = 4,   // skipped before the first record; the first record is current
};

// Field description for d4create; a list ends with an entry whose name is null.
struct FIELD4INFO
{
    const char *name; // at most 10 characters; stored in upper case
    char type;        // 'C', 'N', 'D', 'L' or 'M'
    int len;          // C 1-254, N 1-19; D, L and M take their fixed lengths
    int dec;          // decimals of an N field, otherwise 0
};

// Tag description for d4create and i4create; a list ends with an entry whose name is null.
struct TAG4INFO
{
    const char *name;       // tag name; its file is <name>.ntx in the table's directory
    const char *expression; // key expression, e.g. "Upper(Last + First)" or "Str(CuNo, 6)"
    const char *filter;     // unused, may be null
    int unique;             // 0: every record is indexed
    int descending;         // 0: ascending
};

// ---- Session ------------------------------------------------------------
CODE4 *code4initP();
int code4initUndoP(CODE4 *c4);      // closes every table and ends the session
int error4exitTest(CODE4 *c4);      // ends the process when the session holds an error
void code4exit(CODE4 *c4);          // ends the process
int code4errorCode(CODE4 *c4, int); // returns the current error code and clears it
int code4optimize(CODE4 *c4, int on);
int code4optimizeWrite(CODE4 *c4, int mode);
int code4autoOpen(CODE4 *c4, int on);     // 1: d4open also opens the table's group and tags
int code4accessMode(CODE4 *c4, int mode); // 0: share; 1: later opens deny other writers
int code4safety(CODE4 *c4, int on);       // 0: creating a file may overwrite an existing one
int code4close(CODE4 *c4);                // closes every open table of the session
// Each of the four setters above returns the previous value.

// ---- Tables -------------------------------------------------------------
DATA4 *d4open(CODE4 *c4, const char *name);
DATA4 *d4create(CODE4 *c4, const char *name, const FIELD4INFO *fields, const TAG4INFO *tags);
int d4close(DATA4 *d4);
FIELD4 *d4field(DATA4 *d4, const char *name); // null (and e4field) when absent
int d4numFields(DATA4 *d4);
FIELD4 *d4fieldJ(DATA4 *d4, int j); // 1-based field index

int d4top(DATA4 *d4);
int d4bottom(DATA4 *d4);
int d4go(DATA4 *d4, long recNo);
int d4seek(DATA4 *d4, const char *key);
int d4skip(DATA4 *d4, long n);
long d4recNo(DATA4 *d4);      // 0 when not positioned on a record
long d4recCountDo(DATA4 *d4); // deleted records included
int d4eof(DATA4 *d4);
int d4bof(DATA4 *d4);

int d4appendBlank(DATA4 *d4); // 0 on success; the new record becomes current
void d4delete(DATA4 *d4);
void d4recall(DATA4 *d4);
int d4deleted(DATA4 *d4);
int d4flush(DATA4 *d4);
int d4pack(DATA4 *d4);
int d4memoCompress(DATA4 *d4);
// 1 when the memo file holds blocks no record points at (a compression
// would shrink it), 0 when not or the table has no memo file; negative on
// an error. Reads the table and its memos, writes nothing.
int d4memoWasted(DATA4 *d4);
int d4zap(DATA4 *d4, long first, long last); // removes records first..last
double d4position2(DATA4 *d4);               // 0-1 place of the current record in the order
// Goes to the record at about that place in the order (the inverse of
// d4position2, in a tag's order estimated in steps of one index page per
// level, whatever the table's size); 0 on a record, r4eof when there is none.
int d4positionSet2(DATA4 *d4, double fraction);

// ---- Tags ---------------------------------------------------------------
TAG4 *d4tag(DATA4 *d4, const char *name); // null (and e4tag) when absent
void d4tagSelect(DATA4 *d4, TAG4 *tag);   // null selects record-number order
int d4tagSelectP(DATA4 *d4, TAG4 *tag);
TAG4 *d4tagSelected(DATA4 *d4);
const char *t4alias(TAG4 *tag);
const char *t4expr(TAG4 *tag);
// For checking an index against its table: with the tag selected, the key
// its file holds at the table's current place in the order, and the key its
// expression builds from the current record. Both are t4keyLen bytes and
// NUL-terminated; "" when the tag is not positioned.
int t4keyLen(TAG4 *tag);
const char *t4keyStored(TAG4 *tag);
const char *t4keyComputed(TAG4 *tag);
// Checks an open table without changing it: the file's size against the
// record count of its header, every delete flag, every memo pointer, the
// structure of each open tag and that each tag holds exactly one key per
// record, equal to the key its expression builds. report(ctx, text) is called
// once per problem found (a few per kind at most); returns the number of
// problems, 0 when all is well.
int d4check(DATA4 *d4, void (*report)(void *ctx, const char *problem), void *ctx);
// Cuts off what an append cut short left behind the last counted record (the
// record went to disk, the process ended before the header counted it) and
// puts the end byte back. Returns the bytes removed, 0 when there were none,
// or a negative error code.
long d4dropTail(DATA4 *d4);
// Creates <groupName>.cgp and one .ntx file per tag, built from the table's records.
int i4create(DATA4 *d4, const char *groupName, const TAG4INFO *tags);

// ---- Fields -------------------------------------------------------------
const char *f4name(FIELD4 *f);
char f4type(FIELD4 *f);
int f4len(FIELD4 *f);
int f4decimals(FIELD4 *f);

const char *f4str(FIELD4 *f);     // the field's bytes, blank-padded to its width
const char *f4memoStr(FIELD4 *f); // the memo text; "" when none
unsigned f4memoLen(FIELD4 *f);
long f4long(FIELD4 *f);
int f4int(FIELD4 *f);
double f4double2(FIELD4 *f);
int f4true(FIELD4 *f);

void f4assign(FIELD4 *f, const char *text); // cut or blank-padded to the field width
int f4memoAssign(FIELD4 *f, const char *text);
int f4memoAssignN(FIELD4 *f, const char *text, unsigned len);
void f4assignLong(FIELD4 *f, long value);
void f4assignInt(FIELD4 *f, int value);
void f4assignDouble(FIELD4 *f, double value);
