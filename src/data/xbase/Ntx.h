#pragma once
// One Clipper index file (.ntx): a B-tree of (key, record number) items in
// 1024-byte pages, page 0 being the header. Items are ordered by key bytes,
// then by record number, so equal keys keep record-number order.
//
// The file is read through a small page cache; nothing here loads the whole
// index. Every page is checked as it is read (key count, slot offsets, child
// offsets, depth), so a damaged file gives e4index instead of a crash or an
// endless walk.
//
// Each file carries one cursor (a stack of page/slot pairs from the root).
// Inserts and removals invalidate the stack; the cursor remembers its entry
// and finds its way back the next time it moves.

#include "FileIo.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace xbase {

class NtxFile
{
public:
    static constexpr int PageSize = 1024;
    static constexpr int MaxKeyLen = 256;
    static constexpr int MaxDepth = 32;

    // Results of the cursor calls besides negative error codes.
    enum : int {
        Found = 0, // seek: positioned on an entry that begins with the sought key; move: moved
        After = 1, // seek: positioned on the first greater entry
        End = 2,   // seek: no greater entry, past the end; move: passed an end
    };

    NtxFile();
    ~NtxFile();
    NtxFile(const NtxFile &) = delete;
    NtxFile &operator=(const NtxFile &) = delete;

    // The most keys a page holds for a key length (Clipper's formula).
    static int maxItemFor(int keyLen);

    // Creates an empty index (replacing any file of that name) and keeps it open.
    int create(const std::string &path, const std::string &expression, int keyLen,
               const std::string &tagName = {});
    // Opens and checks the header; a file that cannot be written is opened read-only.
    int open(const std::string &path);
    int close();    // flushes, then closes; 0 or the flush error
    void discard(); // closes without writing what is still unwritten
    bool isOpen() const { return m_fd >= 0; }
    bool readOnly() const { return m_readOnly; }

    const std::string &path() const { return m_path; }
    const std::string &expression() const { return m_expression; }
    int keyLen() const { return m_keyLen; }
    int maxItem() const { return m_maxItem; }
    unsigned updateCount() const { return m_counter; }
    uint32_t fileSize() const { return m_fileSize; }

    // Maintenance. Keys are exactly keyLen() bytes.
    int insert(const char *key, uint32_t recNo); // 0, or an error
    int remove(const char *key, uint32_t recNo); // 0 removed, 1 not present, or an error

    // Replaces the whole tree with `count` entries delivered by `next` in ascending
    // (key, record number) order; next returns false to stop early (an error).
    using EntrySource = std::function<bool(char *key, uint32_t &recNo)>;
    int build(uint64_t count, const EntrySource &next);

    // Gives every entry the record number `to` maps its own to; the mapping
    // must keep the order of the numbers (a pack's renumbering). The file is
    // read and written in large pieces; no key is compared or moved.
    int renumber(const std::function<uint32_t(uint32_t)> &to);
    // Writes changed pages and, when anything changed, the header with its update
    // counter bumped once.
    int flush();
    // flush(), then asks the system to put the file on the disk.
    int sync();
    void setCachePages(size_t pages);

    // ---- Cursor -----------------------------------------------------------
    // First entry whose first `len` key bytes are >= key (len is cut to keyLen()).
    // Found when that entry begins with key, After when greater, End when none.
    int seek(const char *key, size_t len);
    // First entry >= (key, recNo): Found when it is that very entry.
    int seekEntry(const char *key, uint32_t recNo);
    int top();    // Found, or End when the index is empty
    int bottom(); // Found, or End when the index is empty
    int next();   // Found when moved, End (cursor past the end) when passed the last entry
    int prev();   // Found when moved, End (cursor before the first) when passed the first
    // Moves `by` entries on (positive) or back (negative), jumping along a
    // leaf page in one go; *moved gets the entries passed. Found when it
    // moved all the way, End when it passed an end (the cursor is past it).
    int skip(long by, long *moved);
    bool positioned() const { return m_state == State::At; }
    // Positioned, and the tree has not changed since: the cursor stands on the
    // very entry it remembers.
    bool cursorFresh() const { return m_state == State::At && m_cursorVersion == m_version; }
    bool atEof() const { return m_state == State::Eof; }
    bool atBof() const { return m_state == State::Bof; }
    const char *currentKey() const { return m_curKey.data(); }
    uint32_t currentRecNo() const { return m_state == State::At ? m_curRecNo : 0; }
    void resetCursor() { m_state = State::None; }
    // The cursor's place as a fraction 0-1, estimated from the page slots.
    double position();
    // The inverse: descends from the root by the fraction, one page per
    // level, onto a leaf entry whose position() is near it. Found, or End
    // when the index is empty.
    int goToPosition(double fraction);

    // Walks the whole tree checking its structure, order and free list, with work
    // bounded by the file size; counts the entries. 0 or e4index.
    int verify(uint64_t *entries = nullptr);

    // Counters for tests and the benchmark.
    uint64_t pageReads() const { return m_pageReads; }
    uint64_t pageWrites() const { return m_pageWrites; }

private:
    // Closes the file and drops the cache and the cursor, writing nothing.
    void forget();
    struct Page
    {
        uint32_t offset = 0;
        bool dirty = false;
        uint8_t bytes[PageSize];
    };
    // A slot's neighbours in the order of use: newer towards the last used
    // page, older towards the one to evict next (npos at the ends). Kept
    // apart from the pages, so that following them touches little memory.
    struct Link
    {
        size_t newer = SIZE_MAX, older = SIZE_MAX;
    };
    // Which slot holds a page, by page number: a plain array, as the pages
    // of a file are numbered densely.
    struct SlotOf
    {
        std::vector<uint32_t> held; // slot + 1; 0 when the page is not cached
        size_t find(uint32_t offset) const
        {
            const size_t i = offset / PageSize;
            return i < held.size() && held[i] != 0 ? held[i] - 1 : SIZE_MAX;
        }
        void set(uint32_t offset, size_t slot)
        {
            const size_t i = offset / PageSize;
            if (i >= held.size())
                held.resize(i + 1 + i / 2, 0);
            held[i] = static_cast<uint32_t>(slot + 1);
        }
        void erase(uint32_t offset)
        {
            if (const size_t i = offset / PageSize; i < held.size())
                held[i] = 0;
        }
        void clear() { held.clear(); }
    };
    struct Level
    {
        uint32_t page;
        int slot;
    };
    // An in-memory copy of one page's items for splits and rebalancing.
    struct Node
    {
        std::vector<uint32_t> child; // count()+1 entries
        std::vector<uint32_t> rec;   // count() entries
        std::string keys;            // count() * keyLen bytes
        int count() const { return static_cast<int>(rec.size()); }
    };
    enum class State { None, At, Eof, Bof };

    int readHeader();
    int writeHeader();
    int fail(int code);
    void dropCache();
    Page *page(uint32_t offset, int *err);
    Page *newPage(int *err);
    // Frees a cache slot for another page; 0, or the write error of the
    // changed page it held.
    int emptySlot(size_t *slot);
    int freePage(uint32_t offset);
    int checkPage(Page &p);
    int writePage(Page &p);
    // The renumbering by a walk of the tree, for the pages at `from` and after.
    int renumberFrom(uint32_t from, const std::function<uint32_t(uint32_t)> &to);
    // Writes through the descriptor and tells the mapping of the new bytes.
    bool put(const void *data, size_t len, uint64_t at);

    // Raw page accessors; slots are checked when a page is read.
    static int count(const Page &p);
    static int slot(const Page &p, int i);
    static void setSlot(Page &p, int i, int value);
    static void setCount(Page &p, int n);
    uint32_t child(const Page &p, int i) const;
    uint32_t rec(const Page &p, int i) const;
    const char *key(const Page &p, int i) const;
    void setItem(Page &p, int i, uint32_t childOff, uint32_t recNo, const char *keyBytes);
    void setChild(Page &p, int i, uint32_t childOff);
    void initPage(Page &p);
    bool validChild(uint32_t offset) const;

    int compare(const char *k1, uint32_t r1, const char *k2, uint32_t r2) const;
    void readNode(const Page &p, Node &n) const;
    void writeNode(Page &p, const Node &n);

    int checkWritable() const; // 0, e4param when closed, e4write when read-only
    int descend(const char *keyBytes, size_t len, const uint32_t *recNo, bool *exact);
    int beginChange(const char *keyBytes, uint32_t recNo, bool present, std::vector<Level> &path);
    int insertIntoParents(std::vector<Level> &path, Node &left, const char *midKey, uint32_t midRec,
                          uint32_t rightOff);
    int rebalance(std::vector<Level> &path);
    int outerLeaf(uint32_t from, bool last);
    int pushLevel(uint32_t offset, int slot);
    int riseToEntry();
    int settle(int status);
    int seekTo(const char *keyBytes, size_t len, const uint32_t *recNo);
    int toEdge(bool last);
    int bottomOrBof();
    int step(bool forward);
    int restoreCursor(int *landed);
    void remember();
    // remember(), then `status`, or e4index when the entry cannot be read.
    int rememberAs(int status);
    // The cursor past an end (Eof or Bof); returns End.
    int passedEnd(State state);

    int m_fd = -1;
    FileMap m_map; // page reads that miss the cache copy from here when they can
    bool m_readOnly = false;
    std::string m_path;
    std::string m_expression;
    uint8_t m_header[PageSize] = {};
    bool m_headerDirty = false;
    bool m_changed = false;
    unsigned m_counter = 0;
    uint32_t m_root = 0;
    uint32_t m_freeHead = 0;
    int m_keyLen = 0;
    int m_itemSize = 0;
    int m_maxItem = 0;
    int m_minFill = 0;
    int m_firstItem = 0;
    uint32_t m_fileSize = 0;

    // Slots are added as pages are needed, up to m_cachePages; a deque, so
    // that the pages handed out stay where they are while it grows.
    std::deque<Page> m_cache;
    std::vector<Link> m_links; // one per slot
    SlotOf m_where;
    size_t m_cachePages = 4096;
    size_t m_newest = SIZE_MAX, m_oldest = SIZE_MAX; // ends of the order of use
    // Makes a slot the last used one.
    void touch(size_t slot);
    // Marks a page changed and lists it for the next flush, so that a flush
    // does not look through every slot.
    void markDirty(Page &p);
    std::vector<Page *> m_dirty;
    uint64_t m_pageReads = 0;
    uint64_t m_pageWrites = 0;

    // Cursor
    std::vector<Level> m_stack;
    State m_state = State::None;
    std::string m_curKey;
    std::string m_prevKey; // the key before a step, kept for the order check
    uint32_t m_curRecNo = 0;
    uint64_t m_version = 0;
    uint64_t m_cursorVersion = 0;
};

} // namespace xbase
