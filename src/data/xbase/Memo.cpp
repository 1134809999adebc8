// dBASE III memo files: 512-byte blocks, block 0 holds the next free block;
// a memo is its text, 0x1A 0x1A, and padding to the end of its last block.

#include "Table.h"

#include <algorithm>
#include <cstring>

namespace xbase {

namespace {

constexpr uint32_t kBlock = 512;

uint32_t blocksFor(size_t textLen)
{
    return uint32_t((textLen + 2 + kBlock - 1) / kBlock);
}

bool writeNextFree(DiskFile &f, uint32_t next)
{
    unsigned char b[4];
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<unsigned char>(next >> (8 * i));
    return f.writeAt(0, b, 4);
}

} // namespace

int createMemoFile(DiskFile &f, const std::string &path)
{
    unsigned char header[kBlock] = {};
    header[0] = 1;     // next free block
    header[16] = 0x03; // dBASE III
    if (!f.create(path) || !f.writeAt(0, header, sizeof header) || !f.sync())
        return e4create;
    return 0;
}

int openMemoFile(DATA4 *d)
{
    std::string path = locateNoCase(d->dir, d->alias + ".dbt");
    if (path.empty() || !d->dbt.open(path))
        return e4memo;
    if (d->dbt.size() < kBlock)
        return e4memo;
    unsigned char b[4];
    if (!d->dbt.readAt(0, b, 4))
        return e4memo;
    d->dbtPath = path;
    d->memoNextFree = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return 0;
}

uint32_t memoBlockOf(const char *bytes, int len, bool *valid)
{
    uint64_t value = 0;
    bool digits = false, ok = true, ended = false;
    for (int i = 0; i < len; ++i) {
        char ch = bytes[i];
        if (ch == ' ' || ch == '\0') {
            if (digits)
                ended = true;
            continue;
        }
        if (ch < '0' || ch > '9' || ended) {
            ok = false;
            break;
        }
        digits = true;
        value = value * 10 + uint64_t(ch - '0');
        if (value > UINT32_MAX) {
            ok = false;
            break;
        }
    }
    if (valid)
        *valid = ok;
    return ok ? uint32_t(value) : 0;
}

std::string readMemo(DATA4 *d, uint32_t block, bool *ok)
{
    if (ok)
        *ok = true;
    if (block == 0)
        return {};
    if (!d->dbt.isOpen()) {
        if (ok)
            *ok = false;
        return {};
    }
    uint64_t pos = uint64_t(block) * kBlock;
    uint64_t size = d->dbt.size();
    std::string text;
    char chunk[8192];
    while (pos < size) {
        size_t want = size_t(std::min<uint64_t>(sizeof chunk, size - pos));
        long n = d->dbt.readSome(pos, chunk, want);
        if (n <= 0)
            break;
        const void *end = std::memchr(chunk, 0x1A, size_t(n));
        if (end) {
            text.append(chunk, size_t(static_cast<const char *>(end) - chunk));
            return text;
        }
        text.append(chunk, size_t(n));
        pos += uint64_t(n);
    }
    // A pointer past the end or a memo without its end mark: nothing usable.
    if (ok)
        *ok = false;
    return {};
}

int writeMemo(DATA4 *d, const std::string &text, uint32_t oldBlock, uint32_t &newBlock)
{
    if (!d->dbt.isOpen() || !d->dbt.writable()) {
        setError(d, e4memo);
        return e4memo;
    }
    uint32_t need = blocksFor(text.size());
    std::string buf = text;
    buf.append("\x1A\x1A");
    if (oldBlock > 0) {
        bool ok = false;
        std::string old = readMemo(d, oldBlock, &ok);
        if (ok && need <= blocksFor(old.size())) {
            // It fits where the old text was: rewrite in place.
            buf.resize(size_t(need) * kBlock, '\0');
            if (!d->dbt.writeAt(uint64_t(oldBlock) * kBlock, buf.data(), buf.size())) {
                setError(d, e4write);
                return e4write;
            }
            newBlock = oldBlock;
            return 0;
        }
    }
    // Append after the last whole block of the file. Using the file size rather
    // than trusting the header alone never overwrites a memo in use, even when
    // the header's next-free number is damaged or lags behind a crash.
    uint64_t fileBlocks = (d->dbt.size() + kBlock - 1) / kBlock;
    uint64_t start = std::max<uint64_t>(fileBlocks, 1);
    if (start + need > UINT32_MAX) {
        setError(d, e4memo);
        return e4memo;
    }
    buf.resize(size_t(need) * kBlock, '\0');
    if (!d->dbt.writeAt(start * kBlock, buf.data(), buf.size())) {
        setError(d, e4write);
        return e4write;
    }
    d->memoNextFree = uint32_t(start + need);
    if (!writeNextFree(d->dbt, d->memoNextFree)) {
        setError(d, e4write);
        return e4write;
    }
    newBlock = uint32_t(start);
    return 0;
}

} // namespace xbase
