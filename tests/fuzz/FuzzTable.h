#pragma once
// A sound table for the fuzz targets that fuzz one of its companion files:
// NAME C10, NUM N8.2, DAT D, OK L, NOTE M, tags by name, by number and by
// date + name in a group file, 120 records with memos of many lengths (one
// block, block boundaries, several blocks) and some records marked deleted.
// Built once per process into <dir>/orig; restore() puts a fresh copy of every
// file in <dir> after emptying it, so no run sees what an earlier one left.

#include "FuzzFiles.h"
#include "xbase.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <string>
#include <unistd.h>

namespace fuzz {

inline std::string readFile(const std::string &path)
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

// Removes every plain file of dir (not its sub-directories).
inline void emptyDir(const std::string &dir)
{
    DIR *d = opendir(dir.c_str());
    if (!d)
        return;
    while (dirent *e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && name != "orig")
            unlink((dir + "/" + name).c_str());
    }
    closedir(d);
}

class SoundTable
{
public:
    explicit SoundTable(const std::string &dir) : m_dir(dir)
    {
        const std::string orig = dir + "/orig";
        mkdir(orig.c_str(), 0700);
        emptyDir(orig);
        CODE4 *c4 = code4initP();
        code4safety(c4, 0);
        const FIELD4INFO fields[] = {{"NAME", 'C', 10, 0}, {"NUM", 'N', 8, 2},   {"DAT", 'D', 8, 0},
                                     {"OK", 'L', 1, 0},    {"NOTE", 'M', 10, 0}, {nullptr, 0, 0, 0}};
        const TAG4INFO tags[] = {{"TNAME", "Upper(Name)", nullptr, 0, 0},
                                 {"TNUM", "Str(Num, 8, 2)", nullptr, 0, 0},
                                 {"TDAT", "DTOS(Dat) + Name", nullptr, 0, 0},
                                 {nullptr, nullptr, nullptr, 0, 0}};
        DATA4 *d = d4create(c4, (orig + "/t").c_str(), fields, tags);
        if (!d)
            std::abort();
        const char *names[] = {"alpha", "Beta", "gamma", "delta", "Eps", "zeta", "eta"};
        for (int i = 0; i < 120; ++i) {
            d4appendBlank(d);
            f4assign(d4field(d, "NAME"), names[(i * 5) % 7]);
            f4assignDouble(d4field(d, "NUM"), i * 3.25 - 50);
            const std::string date =
                "2024" + std::string(i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) + "15";
            f4assign(d4field(d, "DAT"), date.c_str());
            f4assign(d4field(d, "OK"), i % 2 ? "T" : "F");
            if (i % 3) {
                const unsigned lens[] = {1, 40, 509, 510, 511, 512, 1030, 3000};
                std::string text(lens[i % 8], char('a' + i % 26));
                f4memoAssignN(d4field(d, "NOTE"), text.data(), unsigned(text.size()));
            }
            if (i % 11 == 0)
                d4delete(d);
        }
        d4close(d);
        code4initUndoP(c4);
        DIR *listing = opendir(orig.c_str());
        while (dirent *e = listing ? readdir(listing) : nullptr) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                m_files[name] = readFile(orig + "/" + name);
        }
        if (listing)
            closedir(listing);
        if (m_files.size() < 6) // table, memo, group and three tags
            std::abort();
    }

    // Empties the work directory and writes every file of the table again,
    // except those named in skip (the caller writes its fuzzed one).
    void restore(const std::string &skip = {}) const
    {
        emptyDir(m_dir);
        for (const auto &[name, bytes] : m_files)
            if (name != skip)
                writeFile(m_dir + "/" + name, bytes.data(), bytes.size());
    }

private:
    std::string m_dir;
    std::map<std::string, std::string> m_files;
};

} // namespace fuzz
