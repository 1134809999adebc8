// Tags through the engine calls: the application's tags and their keys, opening
// groups, ordered positioning, upkeep on append, write, delete, pack and zap,
// compared step by step with an in-memory model, and read back by the peers.
#include "EngineFixture.h"
#include "Ntx.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <set>

namespace {

using Entry = std::pair<std::string, long>;

std::string pad(std::string s, size_t len)
{
    s.resize(len, ' ');
    return s;
}

std::string lowerAscii(std::string s)
{
    for (char &c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string upperAscii(std::string s)
{
    for (char &c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string padLeft(const std::string &s, size_t len)
{
    return s.size() >= len ? s : std::string(len - s.size(), ' ') + s;
}

bool exists(const std::string &file)
{
    return std::ifstream(file).good();
}

// (key, record number) of every entry of an .ntx file, in the file's order.
std::vector<Entry> entriesOf(const std::string &file)
{
    std::vector<Entry> out;
    xbase::NtxFile ntx;
    if (ntx.open(file) < 0)
        return out;
    for (int rc = ntx.top(); rc == xbase::NtxFile::Found; rc = ntx.next())
        out.emplace_back(std::string(ntx.currentKey(), size_t(ntx.keyLen())), long(ntx.currentRecNo()));
    return out;
}

// Record numbers in the selected order, top to bottom through d4skip.
std::vector<long> orderOf(DATA4 *d, size_t limit = 1000000)
{
    std::vector<long> out;
    for (int rc = d4top(d); rc == 0 && out.size() < limit; rc = d4skip(d, 1))
        out.push_back(d4recNo(d));
    return out;
}

const FIELD4INFO kCustFields[] = {
    {"cuno", 'N', 6, 0},   {"title", 'C', 3, 0},     {"first", 'C', 13, 0}, {"last", 'C', 20, 0},
    {"addr1", 'C', 34, 0}, {"addr2", 'C', 34, 0},    {"addr3", 'C', 34, 0}, {"addr4", 'C', 19, 0},
    {"zip", 'C', 10, 0},   {"comments", 'M', 10, 0}, {"ngroup", 'N', 2, 0}, {"note", 'C', 34, 0},
    {"phone", 'C', 20, 0}, {"fax", 'C', 20, 0},      {"email", 'C', 60, 0}, {nullptr, 0, 0, 0}};
const TAG4INFO kCustTags[] = {{"CName", "Upper(Last + First)", nullptr, 0, 0},
                              {"CCNO", "Str(CuNo, 6)", nullptr, 0, 0},
                              {"CZip", "Zip", nullptr, 0, 0},
                              {"cComp", "Addr1", nullptr, 0, 0},
                              {"cEMail", "Upper(EMail)", nullptr, 0, 0},
                              {nullptr, nullptr, nullptr, 0, 0}};

class IndexTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        code4autoOpen(m_c4, 1); // tables here open with their groups
    }
    void assign(DATA4 *d, const char *field, const std::string &value)
    {
        FIELD4 *f = d4field(d, field);
        ASSERT_NE(f, nullptr) << field;
        f4assign(f, value.c_str());
    }
    void assignLong(DATA4 *d, const char *field, long value)
    {
        FIELD4 *f = d4field(d, field);
        ASSERT_NE(f, nullptr) << field;
        f4assignLong(f, value);
    }
    DATA4 *customers()
    {
        code4safety(m_c4, 0);
        DATA4 *d = d4create(m_c4, path("CUST5").c_str(), kCustFields, kCustTags);
        code4safety(m_c4, 1);
        return d;
    }
    void addCustomer(DATA4 *d, long no, const std::string &first, const std::string &last,
                     const std::string &zip = "", const std::string &email = "",
                     const std::string &addr1 = "")
    {
        ASSERT_EQ(d4appendBlank(d), 0);
        assignLong(d, "CUNO", no);
        assign(d, "FIRST", first);
        assign(d, "LAST", last);
        assign(d, "ZIP", zip);
        assign(d, "EMAIL", email);
        assign(d, "ADDR1", addr1);
        ASSERT_EQ(d4flush(d), 0);
    }
    std::string crossCheck(const std::string &dir, const std::string &out, int *status)
    {
        std::string cmd = std::string(TLV_PEERS_DIR) + "/crosscheck.sh '" + dir + "' '" + out + "' 2>&1";
        std::string text;
        FILE *p = popen(cmd.c_str(), "r");
        if (!p) {
            *status = -1;
            return text;
        }
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            text.append(buf, n);
        *status = pclose(p);
        return text;
    }
};

} // namespace

// Each tag of the application, created from its expression on a table with
// that table's fields, stores the keys worked out by hand.
TEST_F(IndexTest, ApplicationTagsStoreTheExpectedKeys)
{
    struct Table
    {
        const char *stem;
        std::vector<FIELD4INFO> fields;
        std::vector<TAG4INFO> tags;
        std::vector<std::pair<const char *, std::string>> values; // one record
        std::vector<std::pair<const char *, std::string>> keys;   // tag file, key
    };
    const std::vector<Table> tables = {
        {"CUST5",
         {},
         {},
         {{"CUNO", "42"},
          {"FIRST", "Ann"},
          {"LAST", "Lee"},
          {"ZIP", "90210"},
          {"ADDR1", "Acme"},
          {"EMAIL", "ann@x.org"}},
         {{"CName.ntx", pad("LEE", 20) + pad("ANN", 13)},
          {"CCNO.ntx", "    42"},
          {"CZip.ntx", pad("90210", 10)},
          {"cComp.ntx", pad("Acme", 34)},
          {"cEMail.ntx", pad("ANN@X.ORG", 60)}}},
        {"GROUPS",
         {{"nGroup", 'N', 2, 0}, {"cGroup", 'C', 20, 0}},
         {{"NGroup", "Str(nGroup, 2)", nullptr, 0, 0}, {"CGroup", "Upper(cGroup)", nullptr, 0, 0}},
         {{"NGROUP", "3"}, {"CGROUP", "Wholesale"}},
         {{"NGroup.ntx", " 3"}, {"CGroup.ntx", pad("WHOLESALE", 20)}}},
        {"INV6",
         {{"IvNo", 'N', 6, 0},
          {"CuNo", 'N', 6, 0},
          {"Dept", 'C', 10, 0},
          {"IDate", 'D', 8, 0},
          {"IMemo", 'C', 30, 0},
          {"Discount", 'N', 5, 2},
          {"Ship", 'N', 10, 2},
          {"Tax", 'N', 10, 2},
          {"Due", 'N', 10, 2},
          {"REM", 'M', 10, 0}},
         {{"Inv", "Str(IvNo,6,0)", nullptr, 0, 0},
          {"InvC", "Str(CuNo,6,0)", nullptr, 0, 0},
          {"InvD", "DTOS(IDate)", nullptr, 0, 0}},
         {{"IVNO", "1001"}, {"CUNO", "42"}, {"IDATE", "20260315"}},
         {{"Inv.ntx", "  1001"}, {"InvC.ntx", "    42"}, {"InvD.ntx", "20260315"}}},
        {"ITM5",
         {{"IvNo", 'N', 6, 0},
          {"PrID", 'C', 10, 0},
          {"Qty", 'N', 9, 2},
          {"UPR", 'N', 10, 2},
          {"PDesc", 'C', 27, 0}},
         {{"Itm", "Str(IvNo,6,0)", nullptr, 0, 0}, {"ItmP", "PrID + Str(IvNo,6,0)", nullptr, 0, 0}},
         {{"IVNO", "1001"}, {"PRID", "BOLT"}},
         {{"Itm.ntx", "  1001"}, {"ItmP.ntx", pad("BOLT", 10) + "  1001"}}},
        {"PMT",
         {{"IvNo", 'N', 6, 0}, {"PDate", 'D', 8, 0}, {"PAmt", 'N', 10, 2}},
         {{"Pmt", "Str(IvNo,6,0)", nullptr, 0, 0}, {"PmtD", "DTOS(PDate)", nullptr, 0, 0}},
         {{"IVNO", "7"}, {"PDATE", ""}},
         {{"Pmt.ntx", "     7"}, {"PmtD.ntx", "        "}}},
        {"Prod5",
         {{"PrID", 'C', 10, 0}, {"PDesc", 'C', 27, 0}, {"UPrice", 'N', 8, 2}, {"PMemo", 'M', 10, 0}},
         {{"Prod", "Upper(PrID)", nullptr, 0, 0}},
         {{"PRID", "nut-5"}},
         {{"Prod.ntx", pad("NUT-5", 10)}}},
        {"Pur5",
         {{"PURProd", 'C', 10, 0}, {"PURDate", 'D', 8, 0}, {"PURQty", 'N', 10, 2}, {"PURCost", 'N', 12, 2}},
         {{"Pur", "Upper(PURProd) + DTOS(PURDate)", nullptr, 0, 0}},
         {{"PURPROD", "nut-5"}, {"PURDATE", "20251224"}},
         {{"Pur.ntx", pad("NUT-5", 10) + "20251224"}}},
        {"LABELS",
         {{"Name", 'C', 40, 0}, {"TopM", 'N', 8, 3}},
         {{"Labels", "Name", nullptr, 0, 0}},
         {{"NAME", "Avery 5160"}},
         {{"Labels.ntx", pad("Avery 5160", 40)}}},
    };
    for (const Table &t : tables) {
        SCOPED_TRACE(t.stem);
        std::vector<FIELD4INFO> fields = t.fields;
        std::vector<TAG4INFO> tags = t.tags;
        if (fields.empty()) {
            fields.assign(std::begin(kCustFields), std::end(kCustFields) - 1);
            tags.assign(std::begin(kCustTags), std::end(kCustTags) - 1);
        }
        fields.push_back({nullptr, 0, 0, 0});
        tags.push_back({nullptr, nullptr, nullptr, 0, 0});
        DATA4 *d = d4create(m_c4, path(t.stem).c_str(), fields.data(), tags.data());
        ASSERT_NE(d, nullptr) << error();
        ASSERT_EQ(d4appendBlank(d), 0);
        for (const auto &[field, value] : t.values) {
            FIELD4 *f = d4field(d, field);
            ASSERT_NE(f, nullptr) << field;
            if (f4type(f) == 'N')
                f4assignLong(f, std::atol(value.c_str()));
            else
                f4assign(f, value.c_str());
        }
        ASSERT_EQ(d4flush(d), 0);
        // Each tag seeks the record by its full key.
        for (const auto &[file, key] : t.keys) {
            std::string tagName(file, std::strlen(file) - 4);
            TAG4 *tag = d4tag(d, tagName.c_str());
            ASSERT_NE(tag, nullptr) << tagName;
            d4tagSelect(d, tag);
            EXPECT_EQ(d4seek(d, key.c_str()), 0) << tagName;
            EXPECT_EQ(d4recNo(d), 1);
        }
        ASSERT_EQ(d4close(d), 0);
        for (const auto &[file, key] : t.keys) {
            std::vector<Entry> e = entriesOf(path(file));
            ASSERT_EQ(e.size(), 1u) << file;
            EXPECT_EQ(e[0].first, key) << file;
            EXPECT_EQ(e[0].second, 1);
        }
        // The group file lists the tags; opening the table opens them again.
        d = d4open(m_c4, path(t.stem).c_str());
        ASSERT_NE(d, nullptr) << error();
        for (const auto &[file, key] : t.keys) {
            std::string tagName = lowerAscii(std::string(file, std::strlen(file) - 4));
            EXPECT_NE(d4tag(d, tagName.c_str()), nullptr) << "tag names match without regard to case";
        }
        d4close(d);
    }
}

// Thousands of random appends, key changes, deletes, packs, zaps and reopenings
// on a table with several tags, checked after every step against an ordered
// set of (key, record number) per tag: partial-key seeks that hit, fall
// between two keys or past the last one, and skips from there.
TEST_F(IndexTest, RandomChangesMatchAnOrderedModelAfterEveryStep)
{
    const FIELD4INFO fields[] = {{"NAME", 'C', 8, 0},
                                 {"NUM", 'N', 6, 0},
                                 {"DT", 'D', 8, 0},
                                 {"DESCR", 'C', 100, 0},
                                 {nullptr, 0, 0, 0}};
    const TAG4INFO tags[] = {{"TName", "Upper(Name)", nullptr, 0, 0},
                             {"TNum", "Str(Num, 6)", nullptr, 0, 0},
                             {"TLong", "Upper(Name) + Descr", nullptr, 0, 0},
                             {"TDate", "DTOS(Dt) + Left(Name, 2)", nullptr, 0, 0},
                             {nullptr, nullptr, nullptr, 0, 0}};
    struct Row
    {
        std::string name, dt, descr;
        long num = 0;
        bool deleted = false;
    };
    const int tagCount = 4;
    auto keyOf = [](int tag, const Row &r) -> std::string {
        switch (tag) {
        case 0:
            return upperAscii(pad(r.name, 8));
        case 1:
            return padLeft(std::to_string(r.num), 6);
        case 2:
            return upperAscii(pad(r.name, 8)) + pad(r.descr, 100);
        default:
            return (r.dt.empty() ? std::string(8, ' ') : r.dt) + pad(r.name, 8).substr(0, 2);
        }
    };
    std::vector<Row> rows; // rows[i] is record i + 1
    std::vector<std::set<Entry>> model(tagCount);
    auto rebuildModel = [&]() {
        for (int t = 0; t < tagCount; ++t) {
            model[t].clear();
            for (size_t i = 0; i < rows.size(); ++i)
                model[t].insert({keyOf(t, rows[i]), long(i + 1)});
        }
    };

    DATA4 *d = d4create(m_c4, path("ITEMS").c_str(), fields, tags);
    ASSERT_NE(d, nullptr) << error();
    std::mt19937 rng(20260308);
    auto rnd = [&](int n) { return int(rng() % unsigned(n)); };
    const char *names[] = {"ab", "Ab", "abc", "b", "BA", "c", "cab", "", "zz", "a"};
    const char *descrs[] = {"", "x", "y", "xy"};
    auto randomRow = [&]() {
        Row r;
        r.name = names[rnd(10)];
        r.num = rnd(5) == 0 ? -rnd(50) : rnd(300);
        r.dt = rnd(6) == 0 ? ""
                           : "2026" + padLeft(std::to_string(1 + rnd(12)), 2) + "1" + std::to_string(rnd(10));
        for (char &c : r.dt)
            if (c == ' ')
                c = '0';
        r.descr = descrs[rnd(4)];
        return r;
    };
    auto write = [&](const Row &r) {
        assign(d, "NAME", r.name);
        assignLong(d, "NUM", r.num);
        assign(d, "DT", r.dt);
        assign(d, "DESCR", r.descr);
    };
    auto select = [&](int t) {
        TAG4 *tag = d4tag(d, tags[t].name);
        ASSERT_NE(tag, nullptr);
        ASSERT_EQ(d4tagSelectP(d, tag), 0);
    };
    // After a move in tag t, the engine stands where the model iterator says.
    auto expectAt = [&](int t, std::set<Entry>::iterator it, const std::string &what) {
        if (it == model[t].end()) {
            ASSERT_TRUE(d4eof(d)) << what;
            ASSERT_EQ(d4recNo(d), 0) << what;
        } else {
            ASSERT_FALSE(d4eof(d)) << what;
            ASSERT_EQ(d4recNo(d), it->second) << what;
        }
    };
    // Skips n from the model position `it` and compares.
    auto skipAndCompare = [&](int t, std::set<Entry>::iterator it, long n) {
        int rc = d4skip(d, n);
        long steps = n;
        while (steps > 0 && it != model[t].end()) {
            ++it;
            --steps;
        }
        bool before = false;
        while (steps < 0) {
            if (it == model[t].begin()) {
                before = true;
                break;
            }
            --it;
            ++steps;
        }
        std::string what = "skip " + std::to_string(n);
        if (before) {
            ASSERT_EQ(rc, r4bof) << what;
            ASSERT_TRUE(d4bof(d)) << what;
            expectAt(t, model[t].begin(), what);
        } else if (it == model[t].end()) {
            ASSERT_EQ(rc, r4eof) << what;
            expectAt(t, it, what);
        } else {
            ASSERT_EQ(rc, 0) << what;
            expectAt(t, it, what);
        }
    };

    const int steps = 4000;
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        int op = rnd(1000);
        if (op < 450 || rows.empty()) {
            Row r = randomRow();
            ASSERT_EQ(d4appendBlank(d), 0);
            write(r);
            if (rnd(2)) {
                ASSERT_EQ(d4flush(d), 0); // otherwise the next move writes it
            }
            rows.push_back(r);
            for (int t = 0; t < tagCount; ++t)
                model[t].insert({keyOf(t, r), long(rows.size())});
        } else if (op < 750) {
            // Change some fields of a record, then skip from it: the skip
            // starts at the record's new place in the order.
            long rec = 1 + rnd(int(rows.size()));
            ASSERT_EQ(d4go(d, rec), 0);
            Row &r = rows[size_t(rec - 1)];
            for (int t = 0; t < tagCount; ++t)
                model[t].erase({keyOf(t, r), rec});
            Row n = randomRow();
            if (rnd(2))
                r.name = n.name;
            if (rnd(2))
                r.num = n.num;
            if (rnd(3) == 0)
                r.dt = n.dt;
            if (rnd(3) == 0)
                r.descr = n.descr;
            write(r);
            for (int t = 0; t < tagCount; ++t)
                model[t].insert({keyOf(t, r), rec});
            int t = rnd(tagCount);
            select(t);
            skipAndCompare(t, model[t].find({keyOf(t, r), rec}), rnd(2) ? 1 : -1);
        } else if (op < 850) {
            long rec = 1 + rnd(int(rows.size()));
            ASSERT_EQ(d4go(d, rec), 0);
            if (rnd(5) == 0) {
                d4recall(d);
                rows[size_t(rec - 1)].deleted = false;
            } else {
                d4delete(d);
                rows[size_t(rec - 1)].deleted = true;
            }
        } else if (op < 858) {
            ASSERT_EQ(d4pack(d), 0);
            std::vector<Row> kept;
            for (const Row &r : rows)
                if (!r.deleted)
                    kept.push_back(r);
            rows = kept;
            rebuildModel();
        } else if (op < 860) {
            long first = 1 + rnd(int(rows.size())), last = first + rnd(20);
            ASSERT_EQ(d4zap(d, first, last), 0);
            rows.erase(rows.begin() + (first - 1), rows.begin() + std::min<long>(last, long(rows.size())));
            rebuildModel();
        } else if (op < 875) {
            ASSERT_EQ(d4close(d), 0);
            d = d4open(m_c4, path("items").c_str());
            ASSERT_NE(d, nullptr) << error();
        }
        // A seek in a random tag: a prefix that hits, falls between keys, or
        // lies past the last key.
        int t = rnd(tagCount);
        select(t);
        std::string key;
        if (!model[t].empty() && rnd(3) == 0) {
            auto it = model[t].begin();
            std::advance(it, rnd(int(model[t].size())));
            key = it->first.substr(0, size_t(1 + rnd(int(it->first.size()))));
        } else if (rnd(8) == 0) {
            key = "~~";
        } else {
            const char *probes[] = {"A", "AB", "B", "BAA", "C", "Z", "  ", " 1", "2026", "202606", "0", "AC"};
            key = probes[rnd(12)];
        }
        int rc = d4seek(d, key.c_str());
        auto it = model[t].lower_bound({key, 0});
        if (it == model[t].end()) {
            ASSERT_EQ(rc, r4eof) << key;
        } else if (it->first.compare(0, key.size(), key) == 0) {
            ASSERT_EQ(rc, 0) << key;
        } else {
            ASSERT_EQ(rc, r4after) << key;
        }
        expectAt(t, it, "seek " + key);
        skipAndCompare(t, it, rnd(7) - 3);

        if (step % 200 == 0 || step == steps - 1) {
            for (int u = 0; u < tagCount; ++u) {
                select(u);
                std::vector<long> want;
                for (const Entry &e : model[u])
                    want.push_back(e.second);
                ASSERT_EQ(orderOf(d), want) << tags[u].name;
                // And backwards from the bottom.
                std::vector<long> back;
                for (int r2 = d4bottom(d); r2 == 0; r2 = d4skip(d, -1))
                    back.push_back(d4recNo(d));
                std::reverse(back.begin(), back.end());
                ASSERT_EQ(back, want) << tags[u].name;
            }
        }
    }
    // The files hold exactly the model's entries.
    ASSERT_EQ(d4close(d), 0);
    for (int t = 0; t < tagCount; ++t) {
        std::vector<Entry> want(model[t].begin(), model[t].end());
        EXPECT_EQ(entriesOf(path(std::string(tags[t].name) + ".ntx")), want) << tags[t].name;
    }
}

TEST_F(IndexTest, SeekAndSkipFollowTheSelectedOrder)
{
    DATA4 *d = customers();
    ASSERT_NE(d, nullptr) << error();
    addCustomer(d, 5, "Zoe", "Brown", "30000");
    addCustomer(d, 2, "Al", "adams", "10000");
    addCustomer(d, 9, "Bo", "Brown", "20000");
    addCustomer(d, 42, "Cy", "Clark", "10000");
    // No tag selected: record order, and d4seek has no keys to look in.
    EXPECT_EQ(d4tagSelected(d), nullptr);
    EXPECT_EQ(orderOf(d), (std::vector<long>{1, 2, 3, 4}));
    EXPECT_NE(d4seek(d, "X"), 0);

    TAG4 *name = d4tag(d, "cname");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(d4tag(d, "CNAME"), name);
    EXPECT_STREQ(t4alias(name), "CName");
    EXPECT_STREQ(t4expr(name), "Upper(Last + First)");
    EXPECT_EQ(d4tag(d, "nosuch"), nullptr);
    EXPECT_EQ(error(), e4tag);
    ASSERT_EQ(d4tagSelectP(d, name), 0);
    EXPECT_EQ(d4tagSelected(d), name);
    EXPECT_EQ(orderOf(d), (std::vector<long>{2, 3, 1, 4})) << "upper-cased names; equal keys by record";

    EXPECT_EQ(d4seek(d, "BROWN"), 0);
    EXPECT_EQ(d4recNo(d), 3) << "the first of two Browns, by first name";
    EXPECT_EQ(d4seek(d, "BROWNIE"), r4after);
    EXPECT_EQ(d4recNo(d), 4);
    EXPECT_EQ(d4seek(d, "ZED"), r4eof);
    EXPECT_TRUE(d4eof(d));
    EXPECT_EQ(d4skip(d, -1), 0) << "back from the end: the last record";
    EXPECT_EQ(d4recNo(d), 4);
    EXPECT_EQ(d4skip(d, 1), r4eof);
    EXPECT_EQ(d4skip(d, 1), r4eof);
    EXPECT_EQ(d4top(d), 0);
    EXPECT_EQ(d4skip(d, -1), r4bof);
    EXPECT_TRUE(d4bof(d));
    EXPECT_EQ(d4recNo(d), 2) << "the first record in the order stays current";
    EXPECT_EQ(d4skip(d, 2), 0);
    EXPECT_EQ(d4recNo(d), 1);
    EXPECT_EQ(d4skip(d, -5), r4bof);
    EXPECT_EQ(d4bottom(d), 0);
    EXPECT_EQ(d4recNo(d), 4);

    // d4go, then skip in the tag's order from that record.
    ASSERT_EQ(d4go(d, 3), 0);
    EXPECT_EQ(d4skip(d, 1), 0);
    EXPECT_EQ(d4recNo(d), 1);

    TAG4 *num = d4tag(d, "ccno");
    d4tagSelect(d, num);
    EXPECT_EQ(orderOf(d), (std::vector<long>{2, 1, 3, 4}));
    EXPECT_EQ(d4seek(d, "    42"), 0);
    EXPECT_EQ(d4recNo(d), 4);
    EXPECT_EQ(d4seek(d, "     3"), r4after);
    EXPECT_EQ(d4recNo(d), 1);

    // Zip 10000 twice: record order among equals, also after a key change.
    d4tagSelect(d, d4tag(d, "CZIP"));
    EXPECT_EQ(orderOf(d), (std::vector<long>{2, 4, 3, 1}));
    ASSERT_EQ(d4go(d, 3), 0);
    assign(d, "ZIP", "10000");
    ASSERT_EQ(d4flush(d), 0);
    EXPECT_EQ(orderOf(d), (std::vector<long>{2, 3, 4, 1}));
    ASSERT_EQ(d4go(d, 1), 0);
    assign(d, "ZIP", "00001");
    EXPECT_EQ(d4skip(d, 1), 0) << "the write moved the record before the skip";
    EXPECT_EQ(d4recNo(d), 2);

    // A deleted record keeps its keys until a pack.
    ASSERT_EQ(d4go(d, 2), 0);
    d4delete(d);
    EXPECT_EQ(orderOf(d), (std::vector<long>{1, 2, 3, 4}));
    ASSERT_EQ(d4pack(d), 0);
    EXPECT_EQ(orderOf(d), (std::vector<long>{1, 2, 3})) << "renumbered: 3 and 4 became 2 and 3";
    d4tagSelect(d, nullptr);
    EXPECT_EQ(orderOf(d), (std::vector<long>{1, 2, 3}));
    ASSERT_EQ(d4zap(d, 1, 3), 0);
    d4tagSelect(d, name);
    EXPECT_EQ(d4top(d), r4eof);
    EXPECT_EQ(d4seek(d, "A"), r4eof);
    EXPECT_EQ(entriesOf(path("CName.ntx")).size(), 0u);
    d4close(d);
}

TEST_F(IndexTest, PositionRunsFromTopToBottom)
{
    DATA4 *d = customers();
    ASSERT_NE(d, nullptr);
    for (int i = 0; i < 3000; ++i) {
        ASSERT_EQ(d4appendBlank(d), 0);
        assignLong(d, "CUNO", (i * 7919) % 100000);
    }
    ASSERT_EQ(d4flush(d), 0);
    d4tagSelect(d, d4tag(d, "CCNO"));
    ASSERT_EQ(d4top(d), 0);
    EXPECT_DOUBLE_EQ(d4position2(d), 0.0);
    ASSERT_EQ(d4bottom(d), 0);
    EXPECT_DOUBLE_EQ(d4position2(d), 1.0);
    ASSERT_EQ(d4seek(d, " 50000"), r4after);
    EXPECT_NEAR(d4position2(d), 0.5, 0.1);
    double last = -1;
    int i = 0;
    for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1), ++i) {
        double p = d4position2(d);
        ASSERT_GE(p, last - 1e-12);
        ASSERT_NEAR(p, i / 2999.0, 0.15);
        last = p;
    }
    EXPECT_EQ(i, 3000);
    d4close(d);
}

TEST_F(IndexTest, OpeningFailsWhenTheGroupOrATagIsMissingOrDamaged)
{
    DATA4 *d = customers();
    ASSERT_NE(d, nullptr);
    addCustomer(d, 1, "A", "B");
    ASSERT_EQ(d4close(d), 0);
    const std::string good = readFile(path("CCNO.ntx"));
    ASSERT_EQ(good.size(), 2048u);

    auto opens = [&]() {
        DATA4 *t = d4open(m_c4, path("cust5").c_str());
        int err = error();
        if (t)
            d4close(t);
        return t ? 0 : err;
    };
    ASSERT_EQ(opens(), 0);

    // A tag file listed but missing.
    std::rename(path("CZip.ntx").c_str(), path("gone.ntx").c_str());
    EXPECT_LT(opens(), 0);
    std::rename(path("gone.ntx").c_str(), path("CZip.ntx").c_str());
    ASSERT_EQ(opens(), 0);

    // Damaged tag files: garbled header, wrong key length for the expression,
    // an expression naming an unknown function or field.
    auto withTag = [&](const std::string &bytes) {
        writeFile(path("CCNO.ntx"), bytes);
        int rc = opens();
        writeFile(path("CCNO.ntx"), good);
        return rc;
    };
    std::string b = good;
    b[0] = 'X';
    EXPECT_LT(withTag(b), 0);
    b = good;
    b[0x0C] = 8 + 7; // item size and key size 7 where Str(CuNo, 6) gives 6
    b[0x0E] = 7;
    EXPECT_LT(withTag(b), 0);
    b = good;
    std::memcpy(&b[0x16], "Soundex(Last)\0", 14);
    EXPECT_LT(withTag(b), 0);
    b = good;
    std::memcpy(&b[0x16], "Str(Nope, 6)\0", 13);
    EXPECT_LT(withTag(b), 0);
    EXPECT_LT(withTag(good.substr(0, 1000)), 0);
    ASSERT_EQ(opens(), 0);

    // The group file missing, unreadable or naming files elsewhere.
    std::string group = readFile(path("CUST5.cgp"));
    EXPECT_NE(group.find("CCNO.ntx"), std::string::npos);
    std::remove(path("CUST5.cgp").c_str());
    EXPECT_LT(opens(), 0);
    writeFile(path("CUST5.cgp"), "../CCNO.ntx\n");
    EXPECT_LT(opens(), 0);
    writeFile(path("CUST5.cgp"), "# no tags\n");
    EXPECT_EQ(opens(), 0);
    // One file listed twice (in two spellings) is opened once and kept up once.
    writeFile(path("CUST5.cgp"), "CCNO.ntx\nccno\n");
    d = d4open(m_c4, path("cust5").c_str());
    ASSERT_NE(d, nullptr) << error();
    addCustomer(d, 2, "C", "D");
    d4tagSelect(d, d4tag(d, "ccno"));
    EXPECT_EQ(orderOf(d), (std::vector<long>{1, 2}));
    ASSERT_EQ(d4close(d), 0);
    EXPECT_EQ(entriesOf(path("CCNO.ntx")), (std::vector<Entry>{{"     1", 1}, {"     2", 2}}));
    // Without automatic opening (a new session has it on) the table opens
    // without its tags.
    CODE4 *fresh = code4initP();
    EXPECT_EQ(code4autoOpen(fresh, 0), 1);
    code4initUndoP(fresh);
    std::remove(path("CUST5.cgp").c_str());
    code4autoOpen(m_c4, 0);
    d = d4open(m_c4, path("cust5").c_str());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d4tag(d, "CCNO"), nullptr);
    d4close(d);
    code4autoOpen(m_c4, 1);
    writeFile(path("CUST5.cgp"), group);
    EXPECT_EQ(opens(), 0);
}

TEST_F(IndexTest, CreatingTagsRespectsSafetyAndRefusesBadExpressions)
{
    DATA4 *d = customers();
    ASSERT_NE(d, nullptr);
    addCustomer(d, 7, "Ann", "Lee");
    addCustomer(d, 3, "Bob", "Kay");
    d4delete(d); // deleted records are indexed too
    ASSERT_EQ(d4flush(d), 0);
    const std::string before = readFile(path("CName.ntx"));

    // Safety on: existing files are not overwritten.
    const TAG4INFO again[] = {{"CName", "Upper(First)", nullptr, 0, 0}, {nullptr, nullptr, nullptr, 0, 0}};
    EXPECT_EQ(i4create(d, "CUST5", again), e4create);
    EXPECT_EQ(error(), e4create);
    EXPECT_EQ(readFile(path("CName.ntx")), before);

    // Unknown functions or fields: an error and no files.
    const TAG4INFO bad1[] = {{"T1", "Soundex(Last)", nullptr, 0, 0}, {nullptr, nullptr, nullptr, 0, 0}};
    const TAG4INFO bad2[] = {{"T2", "Upper(Lastname)", nullptr, 0, 0}, {nullptr, nullptr, nullptr, 0, 0}};
    const TAG4INFO bad3[] = {{"T3", "Str(CuNo, 6", nullptr, 0, 0}, {nullptr, nullptr, nullptr, 0, 0}};
    for (const TAG4INFO *t : {bad1, bad2, bad3}) {
        EXPECT_EQ(i4create(d, "OTHER", t), e4expr) << t->expression;
        EXPECT_EQ(error(), e4expr);
        EXPECT_FALSE(exists(path(std::string(t->name) + ".ntx")));
        EXPECT_FALSE(exists(path("OTHER.cgp")));
    }

    // Safety off: the group and its tags are replaced, built from the records.
    code4safety(m_c4, 0);
    ASSERT_EQ(i4create(d, "CUST5", again), 0);
    code4safety(m_c4, 1);
    EXPECT_EQ(entriesOf(path("CName.ntx")), (std::vector<Entry>{{pad("ANN", 13), 1}, {pad("BOB", 13), 2}}));
    EXPECT_EQ(d4tag(d, "CCNO"), nullptr) << "the new group has only the new tag";
    ASSERT_NE(d4tag(d, "CName"), nullptr);
    d4close(d);
    std::string group = readFile(path("CUST5.cgp"));
    EXPECT_EQ(group, "CName.ntx\n");
}

// The peers read our files back, multi-level indexes included, before and
// after a pack, and Perl XBase::Index lists exactly our keys in our order.
TEST_F(IndexTest, PeersAgreeWithOurFilesBeforeAndAfterAPack)
{
    if (!exists(std::string(TLV_PEERS_DIR) + "/crosscheck.sh"))
        GTEST_SKIP() << "peer scripts not found";
    DATA4 *d = customers();
    ASSERT_NE(d, nullptr) << error();
    std::mt19937 rng(5);
    const char *lasts[] = {"Smith", "Jones", "O'Brien", "van Dijk", "Muller", "Lee"};
    for (int i = 1; i <= 4000; ++i) {
        ASSERT_EQ(d4appendBlank(d), 0);
        assignLong(d, "CUNO", long(rng() % 100000));
        assign(d, "LAST", lasts[rng() % 6]);
        assign(d, "FIRST", "F" + std::to_string(rng() % 500));
        assign(d, "ZIP", std::to_string(10000 + rng() % 900));
        assign(d, "ADDR1", rng() % 3 ? "" : "Company " + std::to_string(rng() % 50));
        assign(d, "EMAIL", "u" + std::to_string(rng() % 3000) + "@example.com");
        if (i % 3 == 0)
            d4delete(d);
    }
    // Some key changes after the appends.
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(d4go(d, long(1 + rng() % 4000)), 0);
        assign(d, "LAST", lasts[rng() % 6]);
        assignLong(d, "CUNO", long(rng() % 100000));
    }
    ASSERT_EQ(d4close(d), 0);
    ASSERT_GT(readFile(path("cEMail.ntx")).size(), 100u * 1024) << "a multi-level index";

    auto check = [&](const std::string &when) {
        SCOPED_TRACE(when);
        std::string out = m_dir + "/peers-" + when;
        int status = 0;
        std::string text = crossCheck(m_dir, out, &status);
        EXPECT_EQ(status, 0) << text;
        EXPECT_NE(text.find("3 passed, 0 failed"), std::string::npos) << text;
        // Perl's listing equals ours, file by file in name order.
        std::vector<std::string> files = {"CCNO.ntx", "CName.ntx", "CZip.ntx", "cComp.ntx", "cEMail.ntx"};
        std::string ours;
        for (const std::string &f : files)
            for (const Entry &e : entriesOf(path(f)))
                ours += "K\t" + std::to_string(e.second) + "\t" + e.first + "\n";
        std::string perl = readFile(out + "/ntx.pl.keys");
        EXPECT_EQ(perl.size(), ours.size());
        EXPECT_TRUE(perl == ours) << "Perl XBase::Index lists other keys or another order";
    };
    check("before");
    d = d4open(m_c4, path("CUST5").c_str());
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d4pack(d), 0);
    EXPECT_EQ(d4recCountDo(d), 4000 - 4000 / 3);
    ASSERT_EQ(d4close(d), 0);
    check("after");
}
