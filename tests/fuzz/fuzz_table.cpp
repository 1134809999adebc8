// Fuzzes opening and reading a table with its memo file, and a few writes on
// whatever opened. Input layout:
//   byte 0      flags: 1 = also change the table, 2 = no memo file,
//               4 = pack, 8 = memo compress, 16 = zap
//   bytes 1-2   length of the .dbf part (little-endian, cut to what is there)
//   then        the .dbf bytes, then the .dbt bytes
// Any outcome but a crash, a hang or a sanitizer report is fine; errors must
// come back as negative codes.

#include "FuzzFiles.h"
#include "xbase.h"

#include <cstdint>
#include <string>
#include <unistd.h>

size_t g_sink; // keeps the reads from being optimised away

namespace {

using fuzz::writeFile;

std::string workDir()
{
    return fuzz::workDir("tlvfuzz-");
}

void readCurrent(DATA4 *d)
{
    int n = d4numFields(d);
    for (int j = 1; j <= n; ++j) {
        FIELD4 *f = d4fieldJ(d, j);
        g_sink += std::string(f4str(f)).size() + size_t(f4long(f)) + size_t(f4int(f)) + size_t(f4true(f));
        g_sink += size_t(f4double2(f) != 0.0);
        const char *m = f4memoStr(f);
        unsigned len = f4memoLen(f);
        if (len)
            g_sink += size_t(m[len - 1]);
        g_sink +=
            size_t(f4type(f)) + size_t(f4len(f)) + size_t(f4decimals(f)) + std::string(f4name(f)).size();
    }
    g_sink += size_t(d4deleted(d)) + size_t(d4recNo(d)) + size_t(d4position2(d) * 100);
}

void readAll(DATA4 *d)
{
    int steps = 0;
    for (int rc = d4top(d); rc == 0 && steps < 300; rc = d4skip(d, 1), ++steps)
        readCurrent(d);
    for (int rc = d4bottom(d); rc == 0 && steps < 400; rc = d4skip(d, -1), ++steps)
        readCurrent(d);
    d4go(d, d4recCountDo(d) / 2 + 1);
    readCurrent(d);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    int flags = data[0];
    size_t dbfLen = size_t(data[1]) | size_t(data[2]) << 8;
    const uint8_t *rest = data + 3;
    size_t restLen = size - 3;
    if (dbfLen > restLen)
        dbfLen = restLen;
    std::string dir = workDir();
    std::string base = dir + "/t";
    writeFile(base + ".dbf", rest, dbfLen);
    if (flags & 2)
        unlink((base + ".dbt").c_str());
    else
        writeFile(base + ".dbt", rest + dbfLen, restLen - dbfLen);

    CODE4 *c4 = code4initP();
    code4autoOpen(c4, 0);
    if (DATA4 *d = d4open(c4, base.c_str())) {
        readAll(d);
        if (flags & 1) {
            std::string text(reinterpret_cast<const char *>(rest), restLen < 1500 ? restLen : 1500);
            if (d4top(d) == 0) {
                int n = d4numFields(d);
                for (int j = 1; j <= n; ++j) {
                    FIELD4 *f = d4fieldJ(d, j);
                    if (f4type(f) == 'M')
                        f4memoAssignN(f, text.data(), unsigned(text.size() / unsigned(j)));
                    else if (j % 2)
                        f4assign(f, text.c_str() + (text.size() > 3 ? 3 : 0));
                    else
                        f4assignDouble(f, double(flags) * 1234.5678 - 77777.0 * j);
                }
                d4delete(d);
            }
            if (d4appendBlank(d) == 0 && d4numFields(d) > 0)
                f4memoAssign(d4fieldJ(d, 1), "appended");
            d4flush(d);
            if (flags & 4)
                d4pack(d);
            if (flags & 8)
                d4memoCompress(d);
            if (flags & 16)
                d4zap(d, 1, 2);
            readAll(d);
        }
        d4close(d);
    }
    code4errorCode(c4, 0);
    code4initUndoP(c4);
    return 0;
}
