// Fuzzes the group file's text and key expressions on a sound table with
// memos and three tags. Input layout:
//   byte 0      flags: 1 = change records afterwards, 2 = pack, 4 = re-index
//               through i4create under the table's own group name
//   then        a key expression, ended by a NUL byte (or by the input's end)
//   then        the text of t.cgp
// The table is opened with its group (naming whatever the text names), each
// tag walked and checked; then i4create builds a tag from the expression and
// the table is walked and checked again. Any outcome but a crash, a hang or a
// sanitizer report is fine.

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

void walkTag(DATA4 *d, TAG4 *tag)
{
    d4tagSelect(d, tag);
    int steps = 0;
    for (int rc = d4top(d); rc == 0 && steps < 150; rc = d4skip(d, 1), ++steps) {
        g_sink += size_t(d4recNo(d));
        g_sink += std::strlen(t4keyStored(tag)) + std::strlen(t4keyComputed(tag));
    }
    for (const char *key : {"", "B", "DELTA", "2024", "  -50.00", "\xff"}) {
        g_sink += size_t(d4seek(d, key));
        g_sink += size_t(d4skip(d, 2)) + size_t(d4skip(d, -3));
    }
    g_sink += size_t(d4bottom(d)) + size_t(t4keyLen(tag)) + std::strlen(t4expr(tag));
}

void walkAll(DATA4 *d)
{
    for (const char *name : {"TNAME", "TNUM", "TDAT", "X", "t", "T"})
        if (TAG4 *tag = d4tag(d, name))
            walkTag(d, tag);
    d4tagSelect(d, nullptr);
    d4check(d, countProblem, &g_sink);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const std::string dir = fuzz::workDir("tlvfuzzcgp-");
    static const fuzz::SoundTable table(dir);
    const int flags = data[0];
    const char *text = reinterpret_cast<const char *>(data + 1);
    const size_t textLen = size - 1;
    const char *nul = static_cast<const char *>(std::memchr(text, 0, textLen));
    const std::string expression(text, nul ? size_t(nul - text) : textLen);
    const size_t groupAt = nul ? size_t(nul - text) + 1 : textLen;

    table.restore("t.cgp");
    fuzz::writeFile(dir + "/t.cgp", text + groupAt, textLen - groupAt);

    CODE4 *c4 = code4initP();
    code4safety(c4, 0);
    if (DATA4 *d = d4open(c4, (dir + "/t").c_str())) {
        walkAll(d);
        code4errorCode(c4, 0);
        const TAG4INFO tags[] = {{"X", expression.c_str(), nullptr, int(flags & 8 ? 1 : 0), 0},
                                 {nullptr, nullptr, nullptr, 0, 0}};
        g_sink += size_t(i4create(d, flags & 4 ? "t" : "g2", tags));
        code4errorCode(c4, 0);
        walkAll(d);
        if (flags & 1) {
            if (d4go(d, 5) == 0) {
                f4assign(d4field(d, "NAME"), "omega");
                f4memoAssign(d4field(d, "NOTE"), "changed");
                d4delete(d);
            }
            if (d4appendBlank(d) == 0)
                f4assign(d4field(d, "NAME"), "Beta");
            d4flush(d);
            if (flags & 2)
                d4pack(d);
            walkAll(d);
        }
        d4close(d);
    }
    code4errorCode(c4, 0);
    code4initUndoP(c4);
    return 0;
}
