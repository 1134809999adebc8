// Fuzzes the memo file of a sound table (with tags): every memo read, then
// memos written, records deleted, the table packed and its memos compressed.
// Input layout:
//   byte 0      flags: 1 = write memos, 2 = pack, 4 = memo compress, 8 = check
//   then        the bytes of t.dbt
// Any outcome but a crash, a hang or a sanitizer report is fine.

#include "FuzzTable.h"

#include <cstdint>
#include <cstring>
#include <string>

size_t g_sink;

namespace {

void countProblem(void *ctx, const char *problem)
{
    *static_cast<size_t *>(ctx) += std::strlen(problem);
}

void readMemos(DATA4 *d)
{
    FIELD4 *note = d4field(d, "NOTE");
    int steps = 0;
    for (int rc = d4top(d); rc == 0 && steps < 200; rc = d4skip(d, 1), ++steps) {
        const char *m = f4memoStr(note);
        const unsigned len = f4memoLen(note);
        if (len)
            g_sink +=
                size_t(static_cast<unsigned char>(m[0])) + size_t(static_cast<unsigned char>(m[len - 1]));
        g_sink += len + size_t(d4deleted(d));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const std::string dir = fuzz::workDir("tlvfuzzdbt-");
    static const fuzz::SoundTable table(dir);
    const int flags = data[0];
    table.restore("t.dbt");
    fuzz::writeFile(dir + "/t.dbt", data + 1, size - 1);

    CODE4 *c4 = code4initP();
    if (DATA4 *d = d4open(c4, (dir + "/t").c_str())) {
        readMemos(d);
        if (flags & 1) {
            const std::string big(flags * 9 + 500, 'q');
            for (long rec : {1L, 2L, 7L, 60L, 119L}) {
                if (d4go(d, rec) != 0)
                    continue;
                FIELD4 *note = d4field(d, "NOTE");
                if (rec % 2)
                    f4memoAssignN(note, big.data(), unsigned(big.size() / rec));
                else
                    f4memoAssign(note, "");
                if (rec == 7)
                    d4delete(d);
            }
            if (d4appendBlank(d) == 0)
                f4memoAssign(d4field(d, "NOTE"), "appended");
            d4flush(d);
        }
        code4errorCode(c4, 0);
        if (flags & 2)
            d4pack(d);
        code4errorCode(c4, 0);
        if (flags & 4)
            d4memoCompress(d);
        code4errorCode(c4, 0);
        readMemos(d);
        if (flags & 8)
            d4check(d, countProblem, &g_sink);
        d4close(d);
    }
    code4errorCode(c4, 0);
    code4initUndoP(c4);
    return 0;
}
