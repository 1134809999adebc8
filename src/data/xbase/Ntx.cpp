#include "Ntx.h"

#include "FileIo.h"
#include "xbase.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace xbase {

namespace {

uint16_t get16(const uint8_t *p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t get32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void put16(uint8_t *p, unsigned v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t *p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Repeats a pread/pwrite call until all len bytes are through, retrying
// interrupted calls; false on an error or a short file.
template <typename Bytes, typename Call> bool transferAll(Bytes *p, size_t len, off_t at, Call call)
{
    while (len > 0) {
        ssize_t n = call(p, len, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        len -= static_cast<size_t>(n);
        at += n;
    }
    return true;
}

bool writeAll(int fd, const void *data, size_t len, off_t at)
{
    return writeFully(fd, data, len, uint64_t(at));
}

bool readAll(int fd, void *data, size_t len, off_t at)
{
    return transferAll(static_cast<char *>(data), len, at,
                       [fd](char *p, size_t n, off_t o) { return ::pread(fd, p, n, o); });
}

// The first of n slots whose entry is not below the target (below(i) tells).
template <typename Below> int lowerBound(int n, Below below)
{
    int lo = 0, hi = n;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (below(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// Header offsets.
constexpr int hSignature = 0x00;
constexpr int hCounter = 0x02;
constexpr int hRoot = 0x04;
constexpr int hFree = 0x08;
constexpr int hItemSize = 0x0C;
constexpr int hKeyLen = 0x0E;
constexpr int hDecimals = 0x10;
constexpr int hMaxItem = 0x12;
constexpr int hHalfPage = 0x14;
constexpr int hExpression = 0x16;
constexpr int hDescending = 0x118;
constexpr int hTagName = 0x21A;

} // namespace

NtxFile::NtxFile() = default;

NtxFile::~NtxFile()
{
    close();
}

int NtxFile::maxItemFor(int keyLen)
{
    int m = (PageSize - 2) / (keyLen + 10) - 1;
    if ((m & 1) && m > 2)
        --m;
    return m;
}

// ---- Opening and closing ----------------------------------------------------

int NtxFile::create(const std::string &path, const std::string &expression, int keyLen,
                    const std::string &tagName)
{
    close();
    if (keyLen < 1 || keyLen > MaxKeyLen || expression.size() > 255)
        return e4param;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return e4create;
    uint8_t hdr[PageSize] = {};
    int maxItem = maxItemFor(keyLen);
    put16(hdr + hSignature, 6);
    put16(hdr + hCounter, 1);
    put32(hdr + hRoot, PageSize);
    put32(hdr + hFree, 0);
    put16(hdr + hItemSize, static_cast<unsigned>(keyLen + 8));
    put16(hdr + hKeyLen, static_cast<unsigned>(keyLen));
    put16(hdr + hDecimals, 0);
    put16(hdr + hMaxItem, static_cast<unsigned>(maxItem));
    put16(hdr + hHalfPage, static_cast<unsigned>(maxItem / 2));
    std::memcpy(hdr + hExpression, expression.data(), expression.size());
    std::memcpy(hdr + hTagName, tagName.data(), std::min<size_t>(tagName.size(), 11));
    uint8_t first[PageSize] = {};
    int firstItem = 2 + 2 * (maxItem + 1);
    for (int i = 0; i <= maxItem; ++i)
        put16(first + 2 + 2 * i, static_cast<unsigned>(firstItem + i * (keyLen + 8)));
    if (!writeAll(fd, hdr, PageSize, 0) || !writeAll(fd, first, PageSize, PageSize)) {
        ::close(fd);
        return e4write;
    }
    ::close(fd);
    return open(path);
}

int NtxFile::open(const std::string &path)
{
    close();
    m_readOnly = false;
    int fd = ::open(path.c_str(), O_RDWR);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        fd = ::open(path.c_str(), O_RDONLY);
        m_readOnly = true;
    }
    if (fd < 0)
        return e4index;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 2 * PageSize ||
        st.st_size % PageSize != 0 || st.st_size > 0xFFFFFC00LL) {
        ::close(fd);
        return e4index;
    }
    m_fd = fd;
    m_path = path;
    m_fileSize = static_cast<uint32_t>(st.st_size);
    m_map.attach(m_fd, m_fileSize);
    int rc = readHeader();
    if (rc < 0)
        m_map.detach();
    if (rc < 0) {
        ::close(m_fd);
        m_fd = -1;
        return rc;
    }
    m_cache.clear();
    m_links.clear();
    m_dirty.clear();
    m_newest = m_oldest = SIZE_MAX;
    m_where.clear();
    m_state = State::None;
    m_stack.clear();
    m_curKey.assign(static_cast<size_t>(m_keyLen), ' ');
    m_changed = false;
    m_headerDirty = false;
    return 0;
}

int NtxFile::readHeader()
{
    if (!readAll(m_fd, m_header, PageSize, 0))
        return e4index;
    unsigned sig = get16(m_header + hSignature);
    m_counter = get16(m_header + hCounter);
    m_root = get32(m_header + hRoot);
    m_freeHead = get32(m_header + hFree);
    m_itemSize = get16(m_header + hItemSize);
    m_keyLen = get16(m_header + hKeyLen);
    m_maxItem = get16(m_header + hMaxItem);
    if (sig != 3 && sig != 6)
        return e4index;
    if (m_keyLen < 1 || m_keyLen > MaxKeyLen || m_itemSize != m_keyLen + 8)
        return e4index;
    if (m_maxItem < 2 || 2 + 2 * (m_maxItem + 1) + (m_maxItem + 1) * m_itemSize > PageSize)
        return e4index;
    if (m_header[hDescending] != 0)
        return e4index; // every order of this engine is ascending
    if (!validChild(m_root) || (m_freeHead != 0 && !validChild(m_freeHead)))
        return e4index;
    const uint8_t *e = m_header + hExpression;
    const uint8_t *end = static_cast<const uint8_t *>(std::memchr(e, 0, 256));
    if (!end)
        return e4index;
    m_expression.assign(reinterpret_cast<const char *>(e), static_cast<size_t>(end - e));
    m_firstItem = 2 + 2 * (m_maxItem + 1);
    m_minFill = m_maxItem / 2;
    return 0;
}

int NtxFile::writeHeader()
{
    put16(m_header + hCounter, m_counter);
    put32(m_header + hRoot, m_root);
    put32(m_header + hFree, m_freeHead);
    if (!put(m_header, PageSize, 0))
        return e4write;
    m_headerDirty = false;
    return 0;
}

int NtxFile::flush()
{
    if (m_fd < 0)
        return 0;
    if (m_readOnly)
        return 0;
    // The pages marked since the last flush (a page may be listed twice, or
    // have been written out when its slot was taken for another).
    std::vector<Page *> dirty;
    std::sort(m_dirty.begin(), m_dirty.end());
    m_dirty.erase(std::unique(m_dirty.begin(), m_dirty.end()), m_dirty.end());
    for (Page *p : m_dirty)
        if (p->offset && p->dirty)
            dirty.push_back(p);
    m_dirty = dirty;
    // Pages new to the file go first: a parent (or the header) is never
    // written pointing at a page whose own write failed, and a failure while
    // the file grows leaves the tree on disk as it was.
    struct stat st;
    uint64_t onDisk = ::fstat(m_fd, &st) == 0 ? uint64_t(st.st_size) : 0;
    std::sort(dirty.begin(), dirty.end(), [onDisk](Page *a, Page *b) {
        bool aNew = a->offset >= onDisk, bNew = b->offset >= onDisk;
        if (aNew != bNew)
            return aNew;
        return a->offset < b->offset;
    });
    for (Page *p : dirty) {
        int rc = writePage(*p);
        if (rc < 0)
            return rc;
    }
    m_dirty.clear();
    if (m_changed) {
        m_counter = (m_counter + 1) & 0xFFFF;
        m_headerDirty = true;
        m_changed = false;
    }
    if (m_headerDirty)
        return writeHeader();
    return 0;
}

int NtxFile::sync()
{
    int rc = flush();
    if (rc == 0 && m_fd >= 0 && !m_readOnly && !syncFd(m_fd))
        rc = e4write;
    return rc;
}

void NtxFile::discard()
{
    if (m_fd < 0)
        return;
    forget();
    m_changed = m_headerDirty = false;
}

int NtxFile::close()
{
    if (m_fd < 0)
        return 0;
    int rc = flush();
    forget();
    return rc;
}

void NtxFile::forget()
{
    m_map.detach();
    ::close(m_fd);
    m_fd = -1;
    m_cache.clear();
    m_links.clear();
    m_dirty.clear();
    m_newest = m_oldest = SIZE_MAX;
    m_where.clear();
    m_stack.clear();
    m_state = State::None;
}

void NtxFile::setCachePages(size_t pages)
{
    pages = std::max<size_t>(pages, 16);
    if (m_fd >= 0) {
        flush();
        m_cache.clear();
        m_links.clear();
        m_newest = m_oldest = SIZE_MAX;
        m_where.clear();
        m_cursorVersion = ~uint64_t(0); // the stack stays valid, but recheck anyway
    }
    m_cachePages = pages;
}

void NtxFile::dropCache()
{
    for (Page &p : m_cache) {
        p.offset = 0;
        p.dirty = false;
    }
    m_where.clear();
    m_dirty.clear();
}

int NtxFile::fail(int code)
{
    m_state = State::None;
    m_stack.clear();
    return code;
}

// ---- Pages ---------------------------------------------------------------------

bool NtxFile::validChild(uint32_t offset) const
{
    return offset >= PageSize && offset % PageSize == 0 && offset < m_fileSize;
}

int NtxFile::count(const Page &p)
{
    return get16(p.bytes);
}
int NtxFile::slot(const Page &p, int i)
{
    return get16(p.bytes + 2 + 2 * i);
}
void NtxFile::setSlot(Page &p, int i, int value)
{
    put16(p.bytes + 2 + 2 * i, static_cast<unsigned>(value));
}
void NtxFile::setCount(Page &p, int n)
{
    put16(p.bytes, static_cast<unsigned>(n));
}
uint32_t NtxFile::child(const Page &p, int i) const
{
    return get32(p.bytes + slot(p, i));
}
uint32_t NtxFile::rec(const Page &p, int i) const
{
    return get32(p.bytes + slot(p, i) + 4);
}
const char *NtxFile::key(const Page &p, int i) const
{
    return reinterpret_cast<const char *>(p.bytes + slot(p, i) + 8);
}

void NtxFile::setItem(Page &p, int i, uint32_t childOff, uint32_t recNo, const char *keyBytes)
{
    uint8_t *item = p.bytes + slot(p, i);
    put32(item, childOff);
    put32(item + 4, recNo);
    std::memcpy(item + 8, keyBytes, static_cast<size_t>(m_keyLen));
}

void NtxFile::setChild(Page &p, int i, uint32_t childOff)
{
    put32(p.bytes + slot(p, i), childOff);
}

void NtxFile::initPage(Page &p)
{
    std::memset(p.bytes, 0, PageSize);
    for (int i = 0; i <= m_maxItem; ++i)
        setSlot(p, i, m_firstItem + i * m_itemSize);
}

// Checks a page read from the file. The slots in use must point into the item
// area; the unused ones are only repaired (laid out afresh) when they could not
// take a new item safely.
int NtxFile::checkPage(Page &p)
{
    int n = count(p);
    if (n > m_maxItem)
        return e4index;
    bool leaf = false;
    for (int i = 0; i <= n; ++i) {
        int s = slot(p, i);
        if (s < m_firstItem || s + m_itemSize > PageSize)
            return e4index;
        bool zero = child(p, i) == 0;
        if (i == 0)
            leaf = zero;
        else if (zero != leaf)
            return e4index;
    }
    (void)leaf; // a page without keys may be on the free list; walks check that case
    // Items normally sit on the grid of item-sized cells after the slot table;
    // then distinct cells cannot overlap. Anything else is checked the long way.
    uint64_t cells[2] = {0, 0}; // at most 85 cells
    bool intact = true, onGrid = true;
    for (int i = 0; i <= m_maxItem && intact; ++i) {
        int s = slot(p, i);
        if (s < m_firstItem || s + m_itemSize > PageSize) {
            intact = false;
        } else if ((s - m_firstItem) % m_itemSize != 0) {
            onGrid = false;
        } else {
            int cell = (s - m_firstItem) / m_itemSize;
            uint64_t bit = uint64_t(1) << (cell & 63);
            if (cells[cell >> 6] & bit)
                intact = false;
            cells[cell >> 6] |= bit;
        }
    }
    if (intact && !onGrid) {
        int offs[PageSize / 10];
        int k = 0;
        for (int i = 0; i <= m_maxItem; ++i)
            offs[k++] = slot(p, i);
        std::sort(offs, offs + k);
        for (int i = 1; i < k; ++i)
            if (offs[i] - offs[i - 1] < m_itemSize)
                intact = false;
    }
    if (!intact) {
        Node nd;
        readNode(p, nd);
        uint32_t off = p.offset;
        bool dirty = p.dirty;
        writeNode(p, nd);
        p.offset = off;
        p.dirty = dirty;
        // Laying the items out again changes no entry: a page that had no
        // changes is not listed for the next flush (nor is a scratch page,
        // which must not be remembered at all).
        if (!dirty && !m_dirty.empty() && m_dirty.back() == &p)
            m_dirty.pop_back();
    }
    return 0;
}

bool NtxFile::put(const void *data, size_t len, uint64_t at)
{
    if (!writeAll(m_fd, data, len, off_t(at)))
        return false;
    m_map.grown(at + len);
    return true;
}

int NtxFile::writePage(Page &p)
{
    if (m_readOnly)
        return e4write;
    if (!put(p.bytes, PageSize, p.offset))
        return e4write;
    ++m_pageWrites;
    p.dirty = false;
    return 0;
}

void NtxFile::markDirty(Page &p)
{
    if (!p.dirty)
        m_dirty.push_back(&p);
    p.dirty = true;
}

void NtxFile::touch(size_t slot)
{
    if (m_newest == slot)
        return;
    Link &l = m_links[slot];
    // Out of its place (a new slot has none yet), then in at the newest end.
    if (l.newer != SIZE_MAX)
        m_links[l.newer].older = l.older;
    if (l.older != SIZE_MAX)
        m_links[l.older].newer = l.newer;
    if (m_oldest == slot)
        m_oldest = l.newer;
    l.newer = SIZE_MAX;
    l.older = m_newest;
    if (m_newest != SIZE_MAX)
        m_links[m_newest].newer = slot;
    m_newest = slot;
    if (m_oldest == SIZE_MAX)
        m_oldest = slot;
}

int NtxFile::emptySlot(size_t *slot)
{
    // A new slot while the cache may still grow, else the one used longest
    // ago (kept at one end of the order of use, so no slot is searched),
    // written out first when it holds changes.
    if (m_cache.size() < m_cachePages) {
        m_cache.emplace_back();
        m_links.emplace_back();
        *slot = m_cache.size() - 1;
        touch(*slot);
        return 0;
    }
    const size_t victim = m_oldest;
    Page &p = m_cache[victim];
    if (p.offset) {
        if (p.dirty) {
            int rc = writePage(p);
            if (rc < 0)
                return rc;
        }
        m_where.erase(p.offset);
        p.offset = 0;
    }
    *slot = victim;
    return 0;
}

NtxFile::Page *NtxFile::page(uint32_t offset, int *err)
{
    if (!validChild(offset)) {
        *err = e4index;
        return nullptr;
    }
    if (const size_t at = m_where.find(offset); at != SIZE_MAX) {
        touch(at);
        return &m_cache[at];
    }
    size_t victim = 0;
    int rc = emptySlot(&victim);
    if (rc < 0) {
        *err = rc;
        return nullptr;
    }
    Page &p = m_cache[victim];
    if (!m_map.copy(p.bytes, offset, PageSize) && !readAll(m_fd, p.bytes, PageSize, offset)) {
        *err = e4read;
        return nullptr;
    }
    ++m_pageReads;
    p.offset = offset;
    p.dirty = false;
    if (checkPage(p) < 0) {
        p.offset = 0;
        *err = e4index;
        return nullptr;
    }
    touch(victim);
    m_where.set(offset, victim);
    return &p;
}

NtxFile::Page *NtxFile::newPage(int *err)
{
    if (m_readOnly) {
        *err = e4write;
        return nullptr;
    }
    while (m_freeHead != 0) {
        int rc = 0;
        Page *p = page(m_freeHead, &rc);
        uint32_t next = p ? child(*p, 0) : 0;
        if (!p || count(*p) != 0 || (next != 0 && !validChild(next)) || next == m_freeHead) {
            // A broken free list is abandoned; its pages are only lost space.
            m_freeHead = 0;
            m_headerDirty = true;
            break;
        }
        m_freeHead = next;
        m_headerDirty = true;
        initPage(*p);
        markDirty(*p);
        return p;
    }
    if (m_fileSize > 0xFFFFFC00u - PageSize) {
        *err = e4write;
        return nullptr;
    }
    uint32_t offset = m_fileSize;
    m_fileSize += PageSize;
    // Take a cache slot through the ordinary path, without reading the page.
    size_t victim = 0;
    int rc = emptySlot(&victim);
    if (rc < 0) {
        m_fileSize -= PageSize;
        *err = rc;
        return nullptr;
    }
    Page &p = m_cache[victim];
    p.offset = offset;
    initPage(p);
    markDirty(p);
    touch(victim);
    m_where.set(offset, victim);
    return &p;
}

int NtxFile::freePage(uint32_t offset)
{
    int rc = 0;
    Page *p = page(offset, &rc);
    if (!p)
        return rc;
    initPage(*p);
    setChild(*p, 0, m_freeHead);
    markDirty(*p);
    m_freeHead = offset;
    m_headerDirty = true;
    return 0;
}

void NtxFile::readNode(const Page &p, Node &nd) const
{
    int n = count(p);
    nd.child.resize(static_cast<size_t>(n) + 1);
    nd.rec.resize(static_cast<size_t>(n));
    nd.keys.resize(static_cast<size_t>(n) * m_keyLen);
    for (int i = 0; i < n; ++i) {
        nd.child[i] = child(p, i);
        nd.rec[i] = rec(p, i);
        std::memcpy(&nd.keys[static_cast<size_t>(i) * m_keyLen], key(p, i), static_cast<size_t>(m_keyLen));
    }
    nd.child[n] = child(p, n);
}

void NtxFile::writeNode(Page &p, const Node &nd)
{
    initPage(p);
    int n = nd.count();
    setCount(p, n);
    for (int i = 0; i < n; ++i)
        setItem(p, i, nd.child[i], nd.rec[i], &nd.keys[static_cast<size_t>(i) * m_keyLen]);
    setChild(p, n, nd.child[n]);
    markDirty(p);
}

int NtxFile::compare(const char *k1, uint32_t r1, const char *k2, uint32_t r2) const
{
    int c = std::memcmp(k1, k2, static_cast<size_t>(m_keyLen));
    if (c != 0)
        return c;
    return r1 < r2 ? -1 : (r1 > r2 ? 1 : 0);
}

// ---- Searching ------------------------------------------------------------------

int NtxFile::pushLevel(uint32_t offset, int slotNo)
{
    if (static_cast<int>(m_stack.size()) >= MaxDepth)
        return e4index;
    for (const Level &l : m_stack)
        if (l.page == offset)
            return e4index; // a page that is its own ancestor
    m_stack.push_back({offset, slotNo});
    return 0;
}

void NtxFile::remember()
{
    int rc = 0;
    const Level &t = m_stack.back();
    Page *p = page(t.page, &rc);
    if (!p) {
        m_state = State::None;
        return;
    }
    std::memcpy(m_curKey.data(), key(*p, t.slot), static_cast<size_t>(m_keyLen));
    m_curRecNo = rec(*p, t.slot);
    m_state = State::At;
    m_cursorVersion = m_version;
}

int NtxFile::rememberAs(int status)
{
    remember();
    return m_state == State::At ? status : fail(e4index);
}

int NtxFile::passedEnd(State state)
{
    m_state = state;
    m_cursorVersion = m_version;
    return End;
}

// Descends from the root to the first entry not less than the target,
// leaving the whole path in m_stack. The target is (keyBytes, *recNo), or
// without recNo the first len key bytes. An entry search stops where it meets
// the very entry (*exact), else goes down to a leaf; it refuses an inner page
// without keys.
int NtxFile::descend(const char *keyBytes, size_t len, const uint32_t *recNo, bool *exact)
{
    m_stack.clear();
    *exact = false;
    auto order = [&](const Page &p, int i) {
        return recNo ? compare(key(p, i), rec(p, i), keyBytes, *recNo)
                     : std::memcmp(key(p, i), keyBytes, len);
    };
    uint32_t off = m_root;
    for (;;) {
        int rc = 0;
        Page *p = page(off, &rc);
        if (!p)
            return rc;
        int lo = lowerBound(count(*p), [&](int i) { return order(*p, i) < 0; });
        if ((rc = pushLevel(off, lo)) < 0)
            return rc;
        if (recNo && lo < count(*p) && order(*p, lo) == 0) {
            *exact = true;
            return 0;
        }
        uint32_t c = child(*p, lo);
        if (c == 0)
            return 0;
        if (recNo && count(*p) == 0)
            return e4index;
        off = c;
    }
}

// Cuts the path in m_stack back to the deepest level that stops before the
// end of its page, the level of the first entry not less than where the path
// led: 0, End (the cursor past the end) when there is none, or an error.
int NtxFile::riseToEntry()
{
    while (!m_stack.empty()) {
        int rc = 0;
        Page *p = page(m_stack.back().page, &rc);
        if (!p)
            return fail(rc);
        if (m_stack.back().slot < count(*p))
            return 0;
        m_stack.pop_back();
    }
    return passedEnd(State::Eof);
}

// After a search path is in m_stack, positions the cursor on the first entry
// not less than the target; `status` is the result when there is one.
int NtxFile::settle(int status)
{
    int rc = riseToEntry();
    return rc != 0 ? rc : rememberAs(status);
}

// seek() and seekEntry(): the cursor on the first entry not less than the
// target (see descend); Found when that entry matches it.
int NtxFile::seekTo(const char *keyBytes, size_t len, const uint32_t *recNo)
{
    if (m_fd < 0)
        return e4param;
    bool exact = false;
    int rc = descend(keyBytes, len, recNo, &exact);
    if (rc < 0)
        return fail(rc);
    rc = settle(After);
    if (rc == After && (recNo ? exact : std::memcmp(m_curKey.data(), keyBytes, len) == 0))
        return Found;
    return rc;
}

int NtxFile::seekEntry(const char *keyBytes, uint32_t recNo)
{
    return seekTo(keyBytes, static_cast<size_t>(m_keyLen), &recNo);
}

int NtxFile::seek(const char *keyBytes, size_t len)
{
    return seekTo(keyBytes, std::min(len, static_cast<size_t>(m_keyLen)), nullptr);
}

// Descends from page `from` to its first entry (with last, its last one),
// pushing the path: 0, End when `from` is the empty root, or an error.
int NtxFile::outerLeaf(uint32_t from, bool last)
{
    uint32_t off = from;
    for (;;) {
        int rc = 0;
        Page *p = page(off, &rc);
        if (!p)
            return rc;
        int n = count(*p);
        int s = last ? n : 0;
        uint32_t c = child(*p, s);
        if (c == 0) {
            if (n == 0)
                return off == m_root ? int(End) : int(e4index);
            return pushLevel(off, last ? n - 1 : 0);
        }
        if ((rc = pushLevel(off, s)) < 0)
            return rc;
        off = c;
    }
}

// The first (with last, the last) entry of the index.
int NtxFile::toEdge(bool last)
{
    if (m_fd < 0)
        return e4param;
    m_stack.clear();
    int rc = outerLeaf(m_root, last);
    if (rc < 0)
        return fail(rc);
    if (rc == End) {
        m_stack.clear();
        return passedEnd(State::Eof);
    }
    return rememberAs(Found);
}

int NtxFile::top()
{
    return toEdge(false);
}

int NtxFile::bottom()
{
    return toEdge(true);
}

// bottom() for a cursor that moves back from past the end: in an empty index
// it ends up before the first entry.
int NtxFile::bottomOrBof()
{
    int rc = bottom();
    if (rc == End)
        m_state = State::Bof;
    return rc;
}

// Brings the stack back after the tree changed. *landed is set when the
// remembered entry is gone and the cursor now stands on the next greater one
// (or past the end).
int NtxFile::restoreCursor(int *landed)
{
    *landed = 0;
    if (m_cursorVersion == m_version || m_state != State::At)
        return 0;
    std::string k = m_curKey;
    uint32_t r = m_curRecNo;
    int rc = seekEntry(k.data(), r);
    if (rc < 0)
        return rc;
    if (rc != Found)
        *landed = 1;
    return 0;
}

int NtxFile::next()
{
    return step(true);
}

int NtxFile::prev()
{
    return step(false);
}

// One entry on (forward) or back. An unset cursor, or one past the end it
// moves away from, starts at the first or last entry; one whose entry was
// removed meanwhile goes on from the entry that took its place.
int NtxFile::step(bool forward)
{
    if (m_fd < 0)
        return e4param;
    const State passed = forward ? State::Eof : State::Bof;
    const State behind = forward ? State::Bof : State::Eof;
    if (m_state == passed)
        return End;
    if (m_state == State::None || m_state == behind)
        return forward ? top() : bottomOrBof();
    int landed = 0;
    int rc = restoreCursor(&landed);
    if (rc < 0)
        return fail(rc);
    if (landed && m_state == State::Eof)
        return forward ? int(End) : bottomOrBof();
    if (landed && forward)
        return Found;           // the entry after the removed one is the next one
    m_prevKey.assign(m_curKey); // same length each time: no allocation after the first
    uint32_t beforeRec = m_curRecNo;
    Level &t = m_stack.back();
    Page *p = page(t.page, &rc);
    if (!p)
        return fail(rc);
    uint32_t c = child(*p, forward ? t.slot + 1 : t.slot);
    if (c != 0) {
        // Into the subtree between this entry and its neighbour.
        if (forward)
            t.slot += 1;
        rc = outerLeaf(c, !forward);
        if (rc != 0)
            return fail(rc < 0 ? rc : e4index);
    } else if (forward ? t.slot + 1 < count(*p) : t.slot > 0) {
        t.slot += forward ? 1 : -1;
    } else {
        // Out of this leaf, up to the nearest ancestor entry on that side.
        m_stack.pop_back();
        if (forward) {
            if ((rc = riseToEntry()) != 0)
                return rc;
        } else {
            for (;;) {
                if (m_stack.empty())
                    return passedEnd(State::Bof);
                if (m_stack.back().slot > 0) {
                    m_stack.back().slot -= 1;
                    break;
                }
                m_stack.pop_back();
            }
        }
    }
    remember();
    if (m_state != State::At)
        return fail(e4index);
    int order = compare(m_curKey.data(), m_curRecNo, m_prevKey.data(), beforeRec);
    if (forward ? order <= 0 : order >= 0)
        return fail(e4index); // out of order: a damaged or cyclic tree
    return Found;
}

int NtxFile::renumber(const std::function<uint32_t(uint32_t)> &to)
{
    int rc = checkWritable();
    if (rc < 0)
        return rc;
    // The changed pages go to the file first; then the file is swept in
    // large pieces, each read and written whole. Every page with keys takes
    // the new numbers: a page outside the tree (on the free list, or space
    // lost to an interrupted change) is harmless to renumber. A page that
    // does not look like one stops the sweep, and the tree is walked for the
    // pages from there on, so that a damaged page in the tree is an error
    // and one outside it is passed over.
    if ((rc = flush()) < 0)
        return fail(rc);
    dropCache();
    ++m_version;
    m_state = State::None;
    constexpr uint32_t kPiece = 256 * PageSize;
    std::vector<uint8_t> piece(kPiece);
    Page scratch;
    uint32_t at = PageSize;
    while (at < m_fileSize) {
        const uint32_t len = std::min(kPiece, m_fileSize - at);
        if (!m_map.copy(piece.data(), at, len) && !readAll(m_fd, piece.data(), len, at))
            return fail(e4read);
        uint32_t done = 0;
        bool changed = false;
        for (; done < len; done += PageSize) {
            std::memcpy(scratch.bytes, piece.data() + done, PageSize);
            if (checkPage(scratch) < 0)
                break;
            bool moved = false;
            for (int i = 0, n = count(scratch); i < n; ++i) {
                const uint32_t from = rec(scratch, i);
                const uint32_t now = to(from);
                if (now != from) {
                    put32(scratch.bytes + slot(scratch, i) + 4, now);
                    moved = true;
                }
            }
            if (moved) {
                std::memcpy(piece.data() + done, scratch.bytes, PageSize);
                changed = true;
                ++m_pageWrites;
            }
        }
        if (changed) {
            m_changed = true;
            if (!put(piece.data(), done, at))
                return fail(e4write);
        }
        at += done;
        if (done < len)
            return renumberFrom(at, to);
    }
    return 0;
}

int NtxFile::renumberFrom(uint32_t from, const std::function<uint32_t(uint32_t)> &to)
{
    int rc = 0;
    std::vector<uint32_t> pending{m_root};
    const size_t most = m_fileSize / PageSize;
    size_t visited = 0;
    while (!pending.empty()) {
        const uint32_t off = pending.back();
        pending.pop_back();
        if (++visited > most)
            return fail(e4index); // more pages than the file holds: a circle
        Page *p = page(off, &rc);
        if (!p)
            return fail(rc);
        const int n = count(*p);
        for (int i = 0; i < n && off >= from; ++i) {
            const uint32_t was = rec(*p, i);
            const uint32_t now = to(was);
            if (now != was) {
                put32(p->bytes + slot(*p, i) + 4, now);
                markDirty(*p);
                m_changed = true;
            }
        }
        if (child(*p, 0) != 0)
            for (int i = 0; i <= n; ++i)
                pending.push_back(child(*p, i));
    }
    ++m_version;
    m_state = State::None;
    return 0;
}

int NtxFile::skip(long by, long *moved)
{
    *moved = 0;
    const bool forward = by > 0;
    long left = forward ? by : -by;
    while (left > 0) {
        if (m_state == State::At && m_cursorVersion == m_version && !m_stack.empty()) {
            // Along a leaf: straight to the entry wanted or the leaf's last
            // (first) one, checked against the entry left, so that the keys
            // passed still rise at every move and a damaged tree cannot
            // turn the walk into a circle.
            int rc = 0;
            Level &t = m_stack.back();
            Page *p = page(t.page, &rc);
            if (!p)
                return fail(rc);
            if (child(*p, 0) == 0) {
                const long room = forward ? count(*p) - 1 - t.slot : t.slot;
                const long jump = std::min(room, left);
                if (jump > 0) {
                    m_prevKey.assign(m_curKey);
                    const uint32_t beforeRec = m_curRecNo;
                    t.slot += static_cast<int>(forward ? jump : -jump);
                    remember();
                    if (m_state != State::At)
                        return fail(e4index);
                    const int order = compare(m_curKey.data(), m_curRecNo, m_prevKey.data(), beforeRec);
                    if (forward ? order <= 0 : order >= 0)
                        return fail(e4index);
                    left -= jump;
                    *moved += jump;
                    continue;
                }
            }
        }
        const int rc = step(forward);
        if (rc != Found)
            return rc;
        --left;
        ++*moved;
    }
    return Found;
}

double NtxFile::position()
{
    if (m_fd < 0)
        return 0.0;
    int landed = 0;
    if (restoreCursor(&landed) < 0)
        return 0.0;
    if (m_state == State::Eof)
        return 1.0;
    if (m_state != State::At)
        return 0.0;
    double lo = 0.0, hi = 1.0;
    for (size_t i = 0; i < m_stack.size(); ++i) {
        int rc = 0;
        Page *p = page(m_stack[i].page, &rc);
        if (!p)
            return 0.0;
        int n = count(*p);
        int s = m_stack[i].slot;
        bool last = i + 1 == m_stack.size();
        if (!last) {
            double w = (hi - lo) / (n + 1);
            lo += s * w;
            hi = lo + w;
        } else if (child(*p, 0) != 0) {
            return lo + (hi - lo) * (s + 1) / (n + 1); // between child s and child s+1
        } else {
            return n > 1 ? lo + (hi - lo) * s / (n - 1) : lo;
        }
    }
    return lo;
}

int NtxFile::goToPosition(double fraction)
{
    if (m_fd < 0)
        return e4param;
    fraction = std::clamp(fraction, 0.0, 1.0);
    m_stack.clear();
    // The same division of [lo, hi] as position(): an inner page gives each
    // of its n + 1 subtrees an equal share, a leaf spreads its n entries
    // over the whole share.
    double lo = 0.0, hi = 1.0;
    uint32_t off = m_root;
    for (;;) {
        int rc = 0;
        Page *p = page(off, &rc);
        if (!p)
            return fail(rc);
        const int n = count(*p);
        if (child(*p, 0) == 0) {
            if (n == 0) {
                if (off != m_root)
                    return fail(e4index);
                m_stack.clear();
                return passedEnd(State::Eof);
            }
            const double at = hi > lo ? (fraction - lo) / (hi - lo) * (n - 1) : 0.0;
            const int s = std::clamp(static_cast<int>(at + 0.5), 0, n - 1);
            if ((rc = pushLevel(off, s)) < 0)
                return fail(rc);
            return rememberAs(Found);
        }
        const double w = (hi - lo) / (n + 1);
        const int s = std::clamp(w > 0 ? static_cast<int>((fraction - lo) / w) : 0, 0, n);
        if ((rc = pushLevel(off, s)) < 0)
            return fail(rc);
        lo += s * w;
        hi = lo + w;
        off = child(*p, s);
        if (!validChild(off))
            return fail(e4index);
    }
}

// ---- Changing the tree ----------------------------------------------------------

int NtxFile::checkWritable() const
{
    if (m_fd < 0)
        return e4param;
    return m_readOnly ? e4write : 0;
}

// Starts a change of the tree at (keyBytes, recNo): the path from the root
// to where the entry stands or would stand, the cursor's stack dropped. 0 when
// the change goes ahead, 1 when the entry is not `present` as the change
// needs, or an error.
int NtxFile::beginChange(const char *keyBytes, uint32_t recNo, bool present, std::vector<Level> &path)
{
    int rc = checkWritable();
    if (rc < 0)
        return rc;
    bool exact = false;
    rc = descend(keyBytes, static_cast<size_t>(m_keyLen), &recNo, &exact);
    path = m_stack;
    m_stack.clear();
    if (rc < 0)
        return fail(rc);
    if (exact != present)
        return 1;
    ++m_version;
    m_changed = true;
    return 0;
}

int NtxFile::insert(const char *keyBytes, uint32_t recNo)
{
    std::vector<Level> path;
    int rc = beginChange(keyBytes, recNo, false, path);
    if (rc != 0)
        return rc < 0 ? rc : 0; // already there
    std::string carryKey(keyBytes, static_cast<size_t>(m_keyLen));
    uint32_t carryRec = recNo, carryLeft = 0, carryRight = 0;
    for (int lvl = static_cast<int>(path.size()) - 1;; --lvl) {
        Page *p = page(path[lvl].page, &rc);
        if (!p)
            return fail(rc);
        int i = path[lvl].slot;
        int n = count(*p);
        if (n < m_maxItem) {
            int loc = slot(*p, n + 1);
            for (int j = n + 1; j > i; --j)
                setSlot(*p, j, slot(*p, j - 1));
            setSlot(*p, i, loc);
            setItem(*p, i, carryLeft, carryRec, carryKey.data());
            if (carryRight)
                setChild(*p, i + 1, carryRight);
            setCount(*p, n + 1);
            markDirty(*p);
            return 0;
        }
        // Split: the middle entry goes up, the entries after it move to a new page.
        Node nd;
        readNode(*p, nd);
        nd.rec.insert(nd.rec.begin() + i, carryRec);
        nd.keys.insert(static_cast<size_t>(i) * m_keyLen, carryKey);
        nd.child.insert(nd.child.begin() + i, carryLeft);
        if (carryRight)
            nd.child[i + 1] = carryRight;
        int total = nd.count();
        int mid = total / 2;
        Node left, right;
        left.rec.assign(nd.rec.begin(), nd.rec.begin() + mid);
        left.keys = nd.keys.substr(0, static_cast<size_t>(mid) * m_keyLen);
        left.child.assign(nd.child.begin(), nd.child.begin() + mid + 1);
        right.rec.assign(nd.rec.begin() + mid + 1, nd.rec.end());
        right.keys = nd.keys.substr(static_cast<size_t>(mid + 1) * m_keyLen);
        right.child.assign(nd.child.begin() + mid + 1, nd.child.end());
        carryKey = nd.keys.substr(static_cast<size_t>(mid) * m_keyLen, static_cast<size_t>(m_keyLen));
        carryRec = nd.rec[mid];
        uint32_t leftOff = p->offset;
        writeNode(*p, left);
        Page *np = newPage(&rc);
        if (!np)
            return fail(rc);
        writeNode(*np, right);
        carryLeft = leftOff;
        carryRight = np->offset;
        if (lvl == 0) {
            Page *root = newPage(&rc);
            if (!root)
                return fail(rc);
            Node r;
            r.rec.push_back(carryRec);
            r.keys = carryKey;
            r.child = {carryLeft, carryRight};
            writeNode(*root, r);
            m_root = root->offset;
            m_headerDirty = true;
            return 0;
        }
    }
}

int NtxFile::remove(const char *keyBytes, uint32_t recNo)
{
    std::vector<Level> path;
    int rc = beginChange(keyBytes, recNo, true, path);
    if (rc != 0)
        return rc; // 1: not there
    Page *p = page(path.back().page, &rc);
    if (!p)
        return fail(rc);
    int i = path.back().slot;
    if (child(*p, i) != 0) {
        // An interior entry takes the place of its in-order predecessor, which
        // is then removed from its leaf.
        size_t foundLvl = path.size() - 1;
        m_stack = path;
        rc = outerLeaf(child(*p, i), true);
        path = m_stack;
        m_stack.clear();
        if (rc != 0)
            return fail(rc < 0 ? rc : e4index);
        Page *leaf = page(path.back().page, &rc);
        if (!leaf)
            return fail(rc);
        int j = path.back().slot;
        std::string predKey(key(*leaf, j), static_cast<size_t>(m_keyLen));
        uint32_t predRec = rec(*leaf, j);
        Page *inner = page(path[foundLvl].page, &rc);
        if (!inner)
            return fail(rc);
        int s = path[foundLvl].slot;
        setItem(*inner, s, child(*inner, s), predRec, predKey.data());
        markDirty(*inner);
        if (!(p = page(path.back().page, &rc)))
            return fail(rc);
        i = j;
    }
    int n = count(*p);
    int loc = slot(*p, i);
    for (int j = i; j < n; ++j)
        setSlot(*p, j, slot(*p, j + 1));
    setSlot(*p, n, loc);
    setCount(*p, n - 1);
    markDirty(*p);
    rc = rebalance(path);
    return rc < 0 ? fail(rc) : 0;
}

// Restores the minimum fill from the leaf of `path` upwards: a page short of
// keys borrows through its parent from a sibling that can spare one, or is
// merged with a sibling; an emptied interior root gives way to its only child.
int NtxFile::rebalance(std::vector<Level> &path)
{
    int rc = 0;
    for (int lvl = static_cast<int>(path.size()) - 1; lvl > 0; --lvl) {
        Page *p = page(path[lvl].page, &rc);
        if (!p)
            return rc;
        if (count(*p) >= m_minFill)
            return 0;
        Node cur, par, sib;
        readNode(*p, cur);
        Page *pp = page(path[lvl - 1].page, &rc);
        if (!pp)
            return rc;
        readNode(*pp, par);
        int c = path[lvl - 1].slot;
        if (c < 0 || c > par.count() || par.child[c] != p->offset)
            return e4index;
        auto keyAt = [&](Node &nd, int k) {
            return nd.keys.substr(static_cast<size_t>(k) * m_keyLen, m_keyLen);
        };
        // The sibling on the left when there is one, else the one on the
        // right; `sep` is the parent's entry between the two.
        bool leftSib = c > 0;
        if (!leftSib && par.count() == 0)
            return e4index;
        int sep = leftSib ? c - 1 : c;
        uint32_t sibOff = par.child[leftSib ? c - 1 : c + 1];
        Page *sp = page(sibOff, &rc);
        if (!sp)
            return rc;
        readNode(*sp, sib);
        if ((sib.child[0] == 0) != (cur.child[0] == 0))
            return e4index;
        std::string sepKey = keyAt(par, sep);
        uint32_t sepRec = par.rec[sep];
        if (sib.count() > m_minFill) {
            // Borrow: the separator comes down into this page and the
            // sibling's entry nearest to it goes up in its place.
            int nearest = leftSib ? sib.count() - 1 : 0;
            if (leftSib) {
                cur.rec.insert(cur.rec.begin(), sepRec);
                cur.keys.insert(0, sepKey);
                cur.child.insert(cur.child.begin(), sib.child.back());
                sib.child.pop_back();
            } else {
                cur.rec.push_back(sepRec);
                cur.keys += sepKey;
                cur.child.push_back(sib.child.front());
                sib.child.erase(sib.child.begin());
            }
            par.keys.replace(static_cast<size_t>(sep) * m_keyLen, m_keyLen, keyAt(sib, nearest));
            par.rec[sep] = sib.rec[nearest];
            sib.rec.erase(sib.rec.begin() + nearest);
            sib.keys.erase(static_cast<size_t>(nearest) * m_keyLen, m_keyLen);
            writeNode(*sp, sib);
            if (!(p = page(path[lvl].page, &rc)))
                return rc;
            writeNode(*p, cur);
            if (!(pp = page(path[lvl - 1].page, &rc)))
                return rc;
            writeNode(*pp, par);
            return 0;
        }
        // Merge: the separator and the right page's entries join the left
        // page, and the right page is freed.
        Node &left = leftSib ? sib : cur;
        const Node &right = leftSib ? cur : sib;
        uint32_t leftOff = leftSib ? sibOff : path[lvl].page;
        uint32_t rightOff = leftSib ? path[lvl].page : sibOff;
        left.rec.push_back(sepRec);
        left.keys += sepKey;
        left.rec.insert(left.rec.end(), right.rec.begin(), right.rec.end());
        left.keys += right.keys;
        left.child.insert(left.child.end(), right.child.begin(), right.child.end());
        if (left.count() > m_maxItem)
            return e4index;
        Page *lp = page(leftOff, &rc);
        if (!lp)
            return rc;
        writeNode(*lp, left);
        par.rec.erase(par.rec.begin() + sep);
        par.keys.erase(static_cast<size_t>(sep) * m_keyLen, m_keyLen);
        par.child.erase(par.child.begin() + sep + 1);
        if ((rc = freePage(rightOff)) < 0)
            return rc;
        // The parent lost an entry.
        if (lvl - 1 == 0 && par.count() == 0) {
            uint32_t oldRoot = path[0].page;
            m_root = par.child[0];
            m_headerDirty = true;
            return freePage(oldRoot);
        }
        if (!(pp = page(path[lvl - 1].page, &rc)))
            return rc;
        writeNode(*pp, par);
    }
    return 0;
}

// ---- Bulk build -----------------------------------------------------------------

int NtxFile::build(uint64_t total, const EntrySource &next)
{
    if (int rc = checkWritable(); rc < 0)
        return rc;
    dropCache();
    m_stack.clear();
    m_state = State::None;
    ++m_version;
    if (::ftruncate(m_fd, PageSize) != 0)
        return e4write;
    m_map.setSize(PageSize);
    m_fileSize = PageSize;
    m_freeHead = 0;

    // caps[h]: the most entries a tree of height h holds.
    std::vector<uint64_t> caps{0, static_cast<uint64_t>(m_maxItem)};
    while (caps.back() < total)
        caps.push_back(caps.back() * (m_maxItem + 1) + m_maxItem);
    int height = static_cast<int>(caps.size()) - 1;

    std::vector<uint8_t> out;
    uint32_t outStart = PageSize;
    int err = 0;
    std::string prevKey(static_cast<size_t>(m_keyLen), '\0');
    uint32_t prevRec = 0;
    bool havePrev = false;
    std::string keyBuf(static_cast<size_t>(m_keyLen), ' ');
    Page scratch;

    auto emit = [&](const Node &nd) -> uint32_t {
        writeNode(scratch, nd);
        uint32_t off = m_fileSize;
        m_fileSize += PageSize;
        out.insert(out.end(), scratch.bytes, scratch.bytes + PageSize);
        if (out.size() >= 256 * PageSize) {
            if (!put(out.data(), out.size(), outStart))
                err = e4write;
            outStart += static_cast<uint32_t>(out.size());
            out.clear();
        }
        ++m_pageWrites;
        return off;
    };
    auto pull = [&](Node &nd) -> bool {
        uint32_t r = 0;
        if (!next(keyBuf.data(), r))
            return false;
        if (havePrev && compare(keyBuf.data(), r, prevKey.data(), prevRec) <= 0)
            return false;
        prevKey = keyBuf;
        prevRec = r;
        havePrev = true;
        nd.rec.push_back(r);
        nd.keys += keyBuf;
        return true;
    };
    // Builds a subtree of height h over s entries, children before parents.
    std::function<uint32_t(uint64_t, int)> make = [&](uint64_t s, int h) -> uint32_t {
        Node nd;
        if (h == 1) {
            for (uint64_t i = 0; i < s; ++i)
                if (!pull(nd)) {
                    err = e4param;
                    return 0;
                }
            nd.child.assign(nd.rec.size() + 1, 0);
            return emit(nd);
        }
        uint64_t c = std::max<uint64_t>((s + 1 + caps[h - 1]) / (caps[h - 1] + 1), 2);
        if (s < 2 * c - 1) { // a child would be empty: cannot happen for a minimal height
            err = e4param;
            return 0;
        }
        uint64_t body = s - (c - 1);
        for (uint64_t i = 0; i < c && !err; ++i) {
            uint64_t size = body / c + (i < body % c ? 1 : 0);
            uint32_t off = make(size, h - 1);
            if (err)
                return 0;
            nd.child.push_back(off);
            if (i + 1 < c && !pull(nd)) {
                err = e4param;
                return 0;
            }
        }
        return emit(nd);
    };
    uint32_t root = 0;
    if (total == 0) {
        Node empty;
        empty.child.push_back(0);
        root = emit(empty);
    } else {
        root = make(total, height);
    }
    if (!err && !out.empty() && !put(out.data(), out.size(), outStart))
        err = e4write;
    if (err) {
        // Leave a valid empty index behind rather than half a tree.
        m_fileSize = PageSize;
        if (::ftruncate(m_fd, PageSize) != 0)
            return e4write;
        m_map.setSize(PageSize);
        Node empty;
        empty.child.push_back(0);
        writeNode(scratch, empty);
        if (!put(scratch.bytes, PageSize, PageSize))
            return e4write;
        m_fileSize = 2 * PageSize;
        root = PageSize;
    }
    m_root = root;
    m_changed = true;
    int rc = flush();
    return err ? err : rc;
}

// ---- Checking --------------------------------------------------------------------

int NtxFile::verify(uint64_t *entries)
{
    if (m_fd < 0)
        return e4param;
    uint64_t seen = 0;
    std::unordered_set<uint32_t> visited;
    std::string lastKey(static_cast<size_t>(m_keyLen), '\0');
    uint32_t lastRec = 0;
    bool haveLast = false;
    int leafDepth = -1;
    int rc = 0;
    struct Frame
    {
        uint32_t page;
        int next; // next child index to walk
    };
    std::vector<Frame> stack;
    auto enter = [&](uint32_t off) -> int {
        if (!validChild(off) || !visited.insert(off).second || stack.size() >= MaxDepth)
            return e4index;
        Page *p = page(off, &rc);
        if (!p)
            return rc;
        if (count(*p) == 0 && (off != m_root || child(*p, 0) != 0))
            return e4index;
        stack.push_back({off, 0});
        return 0;
    };
    auto emitEntry = [&](const Page &p, int i) -> int {
        if (haveLast && compare(key(p, i), rec(p, i), lastKey.data(), lastRec) <= 0)
            return e4index;
        std::memcpy(lastKey.data(), key(p, i), static_cast<size_t>(m_keyLen));
        lastRec = rec(p, i);
        haveLast = true;
        ++seen;
        return 0;
    };
    if ((rc = enter(m_root)) < 0)
        return rc;
    while (!stack.empty()) {
        Frame &f = stack.back();
        Page *p = page(f.page, &rc);
        if (!p)
            return rc;
        int n = count(*p);
        bool leaf = child(*p, 0) == 0;
        if (leaf) {
            int depth = static_cast<int>(stack.size());
            if (leafDepth >= 0 && depth != leafDepth)
                return e4index;
            leafDepth = depth;
            for (int i = 0; i < n; ++i)
                if ((rc = emitEntry(*p, i)) < 0)
                    return rc;
        }
        if (leaf || f.next > n) {
            // This page is done; the parent's entry after it comes next.
            stack.pop_back();
            if (!stack.empty()) {
                Frame &up = stack.back();
                Page *q = page(up.page, &rc);
                if (!q)
                    return rc;
                if (up.next - 1 < count(*q) && (rc = emitEntry(*q, up.next - 1)) < 0)
                    return rc;
            }
            continue;
        }
        uint32_t c = child(*p, f.next);
        ++f.next;
        if ((rc = enter(c)) < 0)
            return rc;
    }
    // The free list: distinct pages inside the file, none of them in the tree.
    uint32_t off = m_freeHead;
    while (off != 0) {
        if (!validChild(off) || !visited.insert(off).second)
            return e4index;
        Page *p = page(off, &rc);
        if (!p)
            return rc;
        if (count(*p) != 0)
            return e4index;
        off = child(*p, 0);
    }
    if (entries)
        *entries = seen;
    return 0;
}

} // namespace xbase
