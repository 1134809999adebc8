// Fuzzes opening a table with its group and tag files, then walking, seeking
// and changing it in the tag's order. The table itself is sound (written once
// per process); the input is the tag file. Input layout:
//   byte 0      flags: 1 = also append and change records, 2 = pack afterwards,
//               4 = list the tag twice in the group (a second copy of the file)
//   then        the bytes of the .ntx file (key expression "Upper(Name)", 10 bytes)
// Any outcome but a crash, a hang or a sanitizer report is fine.

#include "FuzzFiles.h"
#include "xbase.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

size_t g_sink;

namespace {

using fuzz::writeFile;

std::string workDir()
{
    return fuzz::workDir("tlvfuzzntx-");
}

std::string readFile(const std::string &path)
{
    std::string out;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return out;
}

// The table: 300 records with names from a small set, so that a seek meets
// equal keys; written once and copied back before every run.
const std::string &tableBytes()
{
    static std::string bytes;
    if (!bytes.empty())
        return bytes;
    std::string base = workDir() + "/orig";
    CODE4 *c4 = code4initP();
    code4safety(c4, 0);
    const FIELD4INFO fields[] = {{"NAME", 'C', 10, 0}, {"NUM", 'N', 6, 0}, {nullptr, 0, 0, 0}};
    const TAG4INFO tags[] = {{"T", "Upper(Name)", nullptr, 0, 0}, {nullptr, nullptr, nullptr, 0, 0}};
    DATA4 *d = d4create(c4, base.c_str(), fields, tags);
    if (!d)
        std::abort();
    const char *names[] = {"alpha", "Beta", "gamma", "delta", "Eps", "zeta", "eta"};
    for (int i = 0; i < 300; ++i) {
        d4appendBlank(d);
        f4assign(d4field(d, "NAME"), names[(i * 5) % 7]);
        f4assignLong(d4field(d, "NUM"), i);
    }
    d4close(d);
    code4initUndoP(c4);
    bytes = readFile(base + ".dbf");
    return bytes;
}

void walk(DATA4 *d)
{
    int steps = 0;
    for (int rc = d4top(d); rc == 0 && steps < 400; rc = d4skip(d, 1), ++steps)
        g_sink += size_t(d4recNo(d)) + size_t(d4position2(d) * 1000);
    for (int rc = d4bottom(d); rc == 0 && steps < 800; rc = d4skip(d, -1), ++steps)
        g_sink += size_t(d4recNo(d));
    for (const char *key : {"", "A", "BETA", "DELTA     ", "E", "ZZZ", "\xff"}) {
        g_sink += size_t(d4seek(d, key));
        g_sink += size_t(d4skip(d, 3)) + size_t(d4skip(d, -5));
    }
    d4go(d, 150);
    g_sink += size_t(d4skip(d, 1)) + size_t(d4skip(d, -2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string &table = tableBytes();
    int flags = data[0];
    std::string dir = workDir();
    writeFile(dir + "/t.dbf", table.data(), table.size());
    writeFile(dir + "/T.ntx", data + 1, size - 1);
    std::string group = "T.ntx\n";
    if (flags & 4) {
        writeFile(dir + "/U.ntx", data + 1, size - 1);
        group += "U\n";
    }
    writeFile(dir + "/t.cgp", group.data(), group.size());

    CODE4 *c4 = code4initP();
    if (DATA4 *d = d4open(c4, (dir + "/t").c_str())) {
        d4tagSelect(d, d4tag(d, "t"));
        walk(d);
        if (flags & 1) {
            for (int i = 0; i < 5; ++i) {
                if (d4appendBlank(d) == 0)
                    f4assign(d4field(d, "NAME"), i % 2 ? "Beta" : "omega");
            }
            if (d4go(d, 7) == 0) {
                f4assign(d4field(d, "NAME"), "changed");
                d4delete(d);
            }
            d4flush(d);
            if (flags & 2)
                d4pack(d);
            walk(d);
        }
        d4close(d);
    }
    code4errorCode(c4, 0);
    code4initUndoP(c4);
    return 0;
}
