// The engine against SQLite on a customer-like table with the five customer
// tags: appends flushed one record at a time, prefix seeks, pick-list fills,
// re-indexing, and deleting 10% followed by a pack. Both tables grow in
// steps (100k, 300k, then the full count); the seeks and fills are timed at
// every step, so that one run shows how they keep up with the size.
//
//   bench_engine [records] [directory]      (defaults: 1000000, a new /tmp dir)
//
// One line per operation and size, ready to compare between runs:
//   seek n=1000000 ours=0.43 sqlite=0.60 ratio=0.72
//
// Neither side asks for fsync per record: the engine's d4flush hands pages to
// the system (and both are written out before the seeks are timed), SQLite runs with journal_mode=WAL and
// synchronous=OFF and commits every record on its own. Each figure is printed with the ratio ours/SQLite
// (below 1 is faster).

#include "xbase.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Customer
{
    long cuno;
    std::string first, last, addr1, zip, email;
};

std::string upper(std::string s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

std::string pad(std::string s, size_t n)
{
    s.resize(n, ' ');
    return s;
}

// Names from syllables, so that prefixes of every length hit many customers.
std::vector<Customer> makeCustomers(long n, std::mt19937 &rng)
{
    const char *syl[] = {"ba", "ken", "lo",  "mar", "ri", "son", "te", "vin", "do", "ga",  "hel", "ju",
                         "na", "pe",  "qui", "ros", "sa", "tor", "ul", "wen", "ya", "zel", "mo",  "fi"};
    auto word = [&](int parts) {
        std::string w;
        for (int i = 0; i < parts; ++i)
            w += syl[rng() % 24];
        w[0] = char(w[0] - 'a' + 'A');
        return w;
    };
    std::vector<Customer> out(static_cast<size_t>(n));
    for (long i = 0; i < n; ++i) {
        Customer &c = out[size_t(i)];
        c.cuno = i + 1;
        c.first = word(1 + int(rng() % 2));
        c.last = word(2 + int(rng() % 2));
        c.addr1 = rng() % 3 ? "" : word(2) + " Ltd";
        c.zip = std::to_string(10000 + rng() % 89999);
        c.email = upper(c.first.substr(0, 1)) + "." + c.last + std::to_string(rng() % 1000) + "@example.com";
        std::transform(c.email.begin(), c.email.end(), c.email.begin(), ::tolower);
    }
    return out;
}

const FIELD4INFO kFields[] = {
    {"cuno", 'N', 6, 0},   {"title", 'C', 3, 0},     {"first", 'C', 13, 0}, {"last", 'C', 20, 0},
    {"addr1", 'C', 34, 0}, {"addr2", 'C', 34, 0},    {"addr3", 'C', 34, 0}, {"addr4", 'C', 19, 0},
    {"zip", 'C', 10, 0},   {"comments", 'M', 10, 0}, {"ngroup", 'N', 2, 0}, {"note", 'C', 34, 0},
    {"phone", 'C', 20, 0}, {"fax", 'C', 20, 0},      {"email", 'C', 60, 0}, {nullptr, 0, 0, 0}};
const TAG4INFO kTags[] = {{"CName", "Upper(Last + First)", nullptr, 0, 0},
                          {"CCNO", "Str(CuNo, 6)", nullptr, 0, 0},
                          {"CZip", "Zip", nullptr, 0, 0},
                          {"cComp", "Addr1", nullptr, 0, 0},
                          {"cEMail", "Upper(EMail)", nullptr, 0, 0},
                          {nullptr, nullptr, nullptr, 0, 0}};

// One sought prefix: the tag (0-4) and the text for each side.
struct Probe
{
    int tag;
    std::string ours;    // key text as the tag stores it
    std::string sqlText; // the same for SQLite's text columns
    long number;         // CCNO: the customer number
};

// Probes for the first `among` customers.
std::vector<Probe> makeProbes(const std::vector<Customer> &cs, size_t among, int count, std::mt19937 &rng)
{
    std::vector<Probe> out;
    for (int i = 0; i < count; ++i) {
        const Customer &c = cs[rng() % among];
        Probe p{i % 5, "", "", 0};
        size_t len = 2 + rng() % 5;
        switch (p.tag) {
        case 0: {
            std::string k = upper(pad(c.last, 20) + pad(c.first, 13));
            p.ours = k.substr(0, std::min(len + 2, k.size()));
            p.sqlText = p.ours;
            break;
        }
        case 1:
            p.number = c.cuno;
            {
                char buf[16];
                std::snprintf(buf, sizeof buf, "%6ld", c.cuno);
                p.ours = buf;
            }
            break;
        case 2:
            p.ours = c.zip.substr(0, len);
            p.sqlText = p.ours;
            break;
        case 3:
            p.ours = c.addr1.substr(0, std::min(len, c.addr1.size()));
            p.sqlText = p.ours;
            break;
        default:
            p.ours = upper(c.email.substr(0, len + 2));
            p.sqlText = p.ours;
            break;
        }
        out.push_back(p);
    }
    return out;
}

void check(int rc, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s failed (%d)\n", what, rc);
        std::exit(1);
    }
}

void exec(sqlite3 *db, const char *sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s: %s\n", sql, err ? err : "?");
        std::exit(1);
    }
}

// SQLite's queries, one per tag: the first row at or after the key, in order.
const char *kSqlSeek[] = {
    "SELECT rowid,* FROM cust WHERE upper(last)||'|'||upper(first) >= ?1 "
    "ORDER BY upper(last)||'|'||upper(first) LIMIT ?2",
    "SELECT rowid,* FROM cust WHERE cuno >= ?1 ORDER BY cuno LIMIT ?2",
    "SELECT rowid,* FROM cust WHERE zip >= ?1 ORDER BY zip LIMIT ?2",
    "SELECT rowid,* FROM cust WHERE addr1 >= ?1 ORDER BY addr1 LIMIT ?2",
    "SELECT rowid,* FROM cust WHERE upper(email) >= ?1 ORDER BY upper(email) LIMIT ?2",
};

// One figure: the operation, the table size and both times.
void line(const char *what, long n, double ours, double sqlite)
{
    std::printf("%s n=%ld ours=%.3f sqlite=%.3f ratio=%.2f\n", what, n, ours, sqlite,
                sqlite > 0 ? ours / sqlite : 0);
    std::fflush(stdout);
}

// The probes of one step of growth.
struct Step
{
    long size;
    std::vector<Probe> seeks, fills;
    double oursSeek = 0, oursFill = 0, sqlSeek = 0, sqlFill = 0;
};

} // namespace

int main(int argc, char **argv)
{
    long n = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::string dir;
    if (argc > 2) {
        dir = argv[2];
    } else {
        char tmpl[] = "/tmp/tlvbench-XXXXXX";
        if (!mkdtemp(tmpl))
            return 1;
        dir = tmpl;
    }
    std::printf("%ld records in %s\n", n, dir.c_str());
    std::mt19937 rng(12345);
    std::vector<Customer> cs = makeCustomers(n, rng);
    std::vector<Step> steps;
    for (long size : {100000L, 300000L}) {
        if (size < n)
            steps.push_back(Step{size, {}, {}});
    }
    steps.push_back(Step{n, {}, {}});
    for (Step &st : steps) {
        st.seeks = makeProbes(cs, size_t(st.size), 100000, rng);
        st.fills = makeProbes(cs, size_t(st.size), 10000, rng);
    }
    size_t sink = 0, found = 0, sqlFound = 0;

    // Both sides grow and are timed step by step, one right after the other,
    // so that a machine busy with other work slows both alike.
    CODE4 *c4 = code4initP();
    code4safety(c4, 0);
    std::string stem = dir + "/CUST5";
    DATA4 *d = d4create(c4, stem.c_str(), kFields, kTags);
    if (!d) {
        std::fprintf(stderr, "d4create failed: %d\n", code4errorCode(c4, 0));
        return 1;
    }
    std::string dbPath = dir + "/cust.sqlite";
    unlink(dbPath.c_str());
    sqlite3 *db = nullptr;
    check(sqlite3_open(dbPath.c_str(), &db), "open");
    exec(db, "PRAGMA journal_mode=WAL");
    exec(db, "PRAGMA synchronous=OFF");
    exec(db,
         "CREATE TABLE cust(cuno INTEGER, title TEXT, first TEXT, last TEXT, addr1 TEXT, addr2 TEXT, "
         "addr3 TEXT, addr4 TEXT, zip TEXT, comments TEXT, ngroup INTEGER, note TEXT, phone TEXT, fax TEXT, "
         "email TEXT)");
    exec(db, "CREATE INDEX cname ON cust(upper(last)||'|'||upper(first))");
    exec(db, "CREATE INDEX ccno ON cust(cuno)");
    exec(db, "CREATE INDEX czip ON cust(zip)");
    exec(db, "CREATE INDEX ccomp ON cust(addr1)");
    exec(db, "CREATE INDEX cemail ON cust(upper(email))");
    sqlite3_stmt *ins = nullptr;
    check(
        sqlite3_prepare_v2(db,
                           "INSERT INTO cust(cuno,first,last,addr1,zip,email,title,addr2,addr3,addr4,ngroup,"
                           "note,phone,fax) VALUES(?,?,?,?,?,?,'','','','',0,'','','')",
                           -1, &ins, nullptr),
        "prepare insert");
    sqlite3_stmt *q[5];
    for (int i = 0; i < 5; ++i)
        check(sqlite3_prepare_v2(db, kSqlSeek[i], -1, &q[i], nullptr), "prepare seek");
    auto bindProbe = [&](sqlite3_stmt *s, const Probe &p, int limit) {
        if (p.tag == 1)
            sqlite3_bind_int64(s, 1, p.number);
        else if (p.tag == 0) // last|first: the prefix of the padded key up to the last name
            sqlite3_bind_text(s, 1, upper(p.sqlText.substr(0, p.sqlText.find(' '))).c_str(), -1,
                              SQLITE_TRANSIENT);
        else
            sqlite3_bind_text(s, 1, p.sqlText.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(s, 2, limit);
    };

    double oursAppend = 0, sqlAppend = 0;
    long appended = 0;
    TAG4 *tags[5];
    FIELD4 *fLast = nullptr, *fFirst = nullptr;
    for (Step &st : steps) {
        // Appends.
        FIELD4 *fCuno = d4field(d, "cuno"), *fAddr1 = d4field(d, "addr1"), *fZip = d4field(d, "zip"),
               *fEmail = d4field(d, "email");
        fFirst = d4field(d, "first");
        fLast = d4field(d, "last");
        auto t0 = Clock::now();
        for (long i = appended; i < st.size; ++i) {
            const Customer &c = cs[size_t(i)];
            if (d4appendBlank(d) != 0)
                return 1;
            f4assignLong(fCuno, c.cuno);
            f4assign(fFirst, c.first.c_str());
            f4assign(fLast, c.last.c_str());
            f4assign(fAddr1, c.addr1.c_str());
            f4assign(fZip, c.zip.c_str());
            f4assign(fEmail, c.email.c_str());
            d4flush(d);
        }
        oursAppend += seconds(t0);
        t0 = Clock::now();
        for (long i = appended; i < st.size; ++i) {
            const Customer &c = cs[size_t(i)];
            sqlite3_bind_int64(ins, 1, c.cuno);
            sqlite3_bind_text(ins, 2, c.first.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(ins, 3, c.last.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(ins, 4, c.addr1.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(ins, 5, c.zip.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(ins, 6, c.email.c_str(), -1, SQLITE_STATIC);
            check(sqlite3_step(ins), "insert");
            sqlite3_reset(ins);
        }
        sqlAppend += seconds(t0);
        appended = st.size;
        d4close(d);
        d = d4open(c4, stem.c_str());
        if (!d) {
            std::fprintf(stderr, "d4open failed: %d\n", code4errorCode(c4, 0));
            return 1;
        }
        fLast = d4field(d, "last");
        fFirst = d4field(d, "first");
        for (int i = 0; i < 5; ++i)
            tags[i] = d4tag(d, kTags[i].name);
        // The system writes the appends of both sides out before the timing,
        // not during whichever side is timed first.
        sync();

        // Seeks.
        t0 = Clock::now();
        for (const Probe &p : st.seeks) {
            d4tagSelect(d, tags[p.tag]);
            found += d4seek(d, p.ours.c_str()) == 0;
            sink += size_t(d4recNo(d));
        }
        st.oursSeek = seconds(t0);
        t0 = Clock::now();
        for (const Probe &p : st.seeks) {
            sqlite3_stmt *s = q[p.tag];
            bindProbe(s, p, 1);
            if (sqlite3_step(s) == SQLITE_ROW) {
                ++sqlFound;
                sink += size_t(sqlite3_column_int64(s, 0));
                for (int c = 1; c <= 15; ++c)
                    sink += size_t(sqlite3_column_bytes(s, c));
            }
            sqlite3_reset(s);
        }
        st.sqlSeek = seconds(t0);

        // Fills: a seek and the ten records after it.
        t0 = Clock::now();
        for (const Probe &p : st.fills) {
            d4tagSelect(d, tags[p.tag]);
            if (d4seek(d, p.ours.c_str()) == r4eof)
                continue;
            sink += std::strlen(f4str(fLast));
            for (int i = 0; i < 10 && d4skip(d, 1) == 0; ++i)
                sink += std::strlen(f4str(fLast)) + std::strlen(f4str(fFirst));
        }
        st.oursFill = seconds(t0);
        t0 = Clock::now();
        for (const Probe &p : st.fills) {
            sqlite3_stmt *s = q[p.tag];
            bindProbe(s, p, 11);
            while (sqlite3_step(s) == SQLITE_ROW) {
                const unsigned char *last = sqlite3_column_text(s, 4);
                const unsigned char *first = sqlite3_column_text(s, 3);
                sink += std::strlen(reinterpret_cast<const char *>(last)) +
                        std::strlen(reinterpret_cast<const char *>(first));
            }
            sqlite3_reset(s);
        }
        st.sqlFill = seconds(t0);
        line("seek", st.size, st.oursSeek, st.sqlSeek);
        line("fill", st.size, st.oursFill, st.sqlFill);
    }
    sqlite3_finalize(ins);
    for (sqlite3_stmt *s : q)
        sqlite3_finalize(s);

    // Re-index, and what it is also measured against: reading the table and
    // sorting its keys in memory.
    auto t0 = Clock::now();
    if (i4create(d, "CUST5", kTags) != 0) {
        std::fprintf(stderr, "i4create failed: %d\n", code4errorCode(c4, 0));
        return 1;
    }
    double oursReindex = seconds(t0);
    t0 = Clock::now();
    exec(db, "REINDEX cust");
    double sqlReindex = seconds(t0);
    for (int i = 0; i < 5; ++i)
        tags[i] = d4tag(d, kTags[i].name);
    t0 = Clock::now();
    {
        d4tagSelect(d, nullptr);
        std::vector<std::vector<std::pair<std::string, long>>> keys(5);
        FIELD4 *fc = d4field(d, "cuno"), *fa = d4field(d, "addr1"), *fz = d4field(d, "zip"),
               *fe = d4field(d, "email");
        for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1)) {
            long r = d4recNo(d);
            keys[0].emplace_back(upper(std::string(f4str(fLast)) + f4str(fFirst)), r);
            keys[1].emplace_back(f4str(fc), r);
            keys[2].emplace_back(f4str(fz), r);
            keys[3].emplace_back(f4str(fa), r);
            keys[4].emplace_back(upper(f4str(fe)), r);
        }
        for (auto &k : keys) {
            std::sort(k.begin(), k.end());
            sink += k.size();
        }
    }
    double baseline = seconds(t0);

    // Deleting a tenth, then packing.
    std::vector<long> victims;
    for (long i = 0; i < n / 10; ++i)
        victims.push_back(long(1 + rng() % uint64_t(n)));
    t0 = Clock::now();
    for (long r : victims) {
        d4go(d, r);
        d4delete(d);
    }
    d4flush(d);
    d4pack(d);
    double oursPack = seconds(t0);
    long remaining = d4recCountDo(d);
    d4close(d);
    code4initUndoP(c4);
    t0 = Clock::now();
    exec(db, "BEGIN");
    sqlite3_stmt *del = nullptr;
    check(sqlite3_prepare_v2(db, "DELETE FROM cust WHERE rowid = ?", -1, &del, nullptr), "prepare delete");
    for (long r : victims) {
        sqlite3_bind_int64(del, 1, r);
        check(sqlite3_step(del), "delete");
        sqlite3_reset(del);
    }
    sqlite3_finalize(del);
    exec(db, "COMMIT");
    exec(db, "VACUUM");
    double sqlPack = seconds(t0);
    sqlite3_close(db);

    line("append", n, oursAppend, sqlAppend);
    line("reindex", n, oursReindex, sqlReindex);
    line("pack", n, oursPack, sqlPack);
    std::printf("reindex-vs-sort n=%ld ours=%.3f sort=%.3f ratio=%.2f\n", n, oursReindex, baseline,
                oursReindex / baseline);
    std::printf("(seeks: %zu and fills: %zu per size; seeks that found their prefix: engine %zu, SQLite %zu; "
                "%ld records after the pack; checksum %zu)\n",
                steps.front().seeks.size(), steps.front().fills.size(), found, sqlFound, remaining,
                sink % 1000);
    return 0;
}
