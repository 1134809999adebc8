// Every operation that changes a table, run once per point where it writes,
// syncs or renames, with that point failing as a full disk fails it: the call
// reports the failure, and afterwards the files open (after the repair the
// next start makes when a tag file had to go), check clean, and every record
// stored before is still there unchanged.

#include "EngineFixture.h"
#include "FileIo.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace {

const FIELD4INFO kFields[] = {
    {"No", 'N', 6, 0}, {"Name", 'C', 20, 0}, {"Note", 'M', 10, 0}, {nullptr, 0, 0, 0}};
const TAG4INFO kTags[] = {{"CNAME", "Upper(Name)", nullptr, 0, 0},
                          {"CNO", "Str(No, 6)", nullptr, 0, 0},
                          {nullptr, nullptr, nullptr, 0, 0}};
constexpr int kRecords = 90;

std::string nameFor(int i)
{
    return "name" + std::to_string(i * 37 % 101);
}

struct Row
{
    bool deleted;
    std::string no, name, memo;
    bool operator==(const Row &) const = default;
};

std::vector<Row> live(const std::vector<Row> &rows)
{
    std::vector<Row> out;
    for (const Row &r : rows)
        if (!r.deleted)
            out.push_back(r);
    return out;
}

void collect(void *ctx, const char *problem)
{
    static_cast<std::string *>(ctx)->append(problem).append("\n");
}

enum class Change { Appended, OneRecord, Renumbered, Same };

struct Operation
{
    const char *name;
    Change change;
    int target; // the record a OneRecord change touches
    std::function<bool(DATA4 *)> run;
};

} // namespace

class FaultTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        code4autoOpen(m_c4, 1);
        code4safety(m_c4, 0);
        m_base = path("base");
        fs::create_directory(m_base);
        DATA4 *d = d4create(m_c4, (m_base + "/cust").c_str(), kFields, kTags);
        ASSERT_NE(d, nullptr);
        for (int i = 1; i <= kRecords; ++i) {
            ASSERT_EQ(d4appendBlank(d), 0);
            f4assignInt(d4field(d, "No"), i);
            f4assign(d4field(d, "Name"), nameFor(i).c_str());
            if (i % 3 == 0)
                f4memoAssign(d4field(d, "Note"), std::string(size_t(i * 13), char('a' + i % 26)).c_str());
            if (i % 7 == 0)
                d4delete(d);
        }
        ASSERT_EQ(d4close(d), 0);
        m_before = rowsOf(m_base);
    }

    std::vector<Row> rowsOf(const std::string &dir)
    {
        std::vector<Row> rows;
        DATA4 *d = d4open(m_c4, (dir + "/cust").c_str());
        if (!d)
            return rows;
        for (long r = 1; r <= d4recCountDo(d); ++r) {
            d4go(d, r);
            rows.push_back({d4deleted(d) != 0, f4str(d4field(d, "No")), f4str(d4field(d, "Name")),
                            f4memoStr(d4field(d, "Note"))});
        }
        d4close(d);
        return rows;
    }

    // Opens the table as the program would next time: a tag file that had to
    // be removed is built again first.
    DATA4 *reopen(const std::string &dir)
    {
        code4errorCode(m_c4, 0);
        DATA4 *d = d4open(m_c4, (dir + "/cust").c_str());
        if (d)
            return d;
        code4errorCode(m_c4, 0);
        code4autoOpen(m_c4, 0);
        d = d4open(m_c4, (dir + "/cust").c_str());
        code4autoOpen(m_c4, 1);
        if (!d)
            return nullptr;
        EXPECT_EQ(i4create(d, nullptr, kTags), 0);
        d4close(d);
        return d4open(m_c4, (dir + "/cust").c_str());
    }

    // Runs op against fresh copies with each failure point in turn; returns
    // the number of points of the kind.
    long everyPoint(const Operation &op, int kind)
    {
        for (long k = 1;; ++k) {
            const std::string dir = path("run");
            fs::remove_all(dir);
            fs::copy(m_base, dir);
            DATA4 *d = d4open(m_c4, (dir + "/cust").c_str());
            EXPECT_NE(d, nullptr);
            if (!d)
                return 0;
            xbase::FaultPlan plan;
            if (kind <= 1) {
                plan.failWrite = k;
                plan.failLater = kind == 1;
            } else if (kind == 2) {
                plan.failSync = k;
            } else {
                plan.failRename = k;
            }
            xbase::setFaultPlan(plan);
            const bool ok = op.run(d);
            const long seen = kind <= 1   ? xbase::faultWrites()
                              : kind == 2 ? xbase::faultSyncs()
                                          : xbase::faultRenames();
            // The disk stays full while the table is closed after the failure.
            code4close(m_c4);
            xbase::clearFaultPlan();
            code4errorCode(m_c4, 0);
            const std::string where =
                std::string(op.name) + " kind " + std::to_string(kind) + " point " + std::to_string(k);
            if (seen < k) {
                EXPECT_TRUE(ok) << where;
                return k - 1;
            }
            EXPECT_FALSE(ok) << where << ": the failure went unreported";
            DATA4 *again = reopen(dir);
            EXPECT_NE(again, nullptr) << where;
            if (!again)
                return k;
            std::string problems;
            EXPECT_EQ(d4check(again, collect, &problems), 0) << where << "\n" << problems;
            d4close(again);
            expectKept(op, rowsOf(dir), where);
        }
    }

    void expectKept(const Operation &op, const std::vector<Row> &after, const std::string &where)
    {
        switch (op.change) {
        case Change::Appended:
            ASSERT_GE(after.size(), m_before.size()) << where;
            ASSERT_LE(after.size(), m_before.size() + 1) << where;
            EXPECT_TRUE(std::equal(m_before.begin(), m_before.end(), after.begin())) << where;
            break;
        case Change::OneRecord:
            ASSERT_EQ(after.size(), m_before.size()) << where;
            for (size_t i = 0; i < after.size(); ++i) {
                if (int(i) + 1 != op.target) {
                    EXPECT_EQ(after[i], m_before[i]) << where << " record " << i + 1;
                }
            }
            break;
        case Change::Renumbered:
            EXPECT_EQ(live(after), live(m_before)) << where;
            break;
        case Change::Same:
            EXPECT_EQ(after, m_before) << where;
            break;
        }
    }

    std::string m_base;
    std::vector<Row> m_before;
};

TEST_F(FaultTest, EveryFailurePointLeavesTheFilesWholeAndChecked)
{
    const std::vector<Operation> ops = {
        {"append", Change::Appended, 0,
         [](DATA4 *d) {
             if (d4appendBlank(d) != 0)
                 return false;
             f4assignInt(d4field(d, "No"), 500);
             f4assign(d4field(d, "Name"), "aaa new");
             f4memoAssign(d4field(d, "Note"), std::string(700, 'n').c_str());
             return d4flush(d) == 0;
         }},
        {"write", Change::OneRecord, 5,
         [](DATA4 *d) {
             d4go(d, 5);
             f4assignInt(d4field(d, "No"), 600);
             f4assign(d4field(d, "Name"), "zzz moved");
             return d4flush(d) == 0;
         }},
        {"memo", Change::OneRecord, 6,
         [](DATA4 *d) {
             d4go(d, 6);
             return f4memoAssign(d4field(d, "Note"), std::string(1500, 'm').c_str()) == 0 && d4flush(d) == 0;
         }},
        {"pack", Change::Renumbered, 0, [](DATA4 *d) { return d4pack(d) == 0; }},
        {"compress", Change::Same, 0, [](DATA4 *d) { return d4memoCompress(d) == 0; }},
        {"reindex", Change::Same, 0, [](DATA4 *d) { return i4create(d, nullptr, kTags) == 0; }},
    };
    std::string line = "fault points (writes/syncs/renames):";
    for (const Operation &op : ops) {
        long writes = everyPoint(op, 0);
        EXPECT_EQ(everyPoint(op, 1), writes) << op.name;
        long syncs = everyPoint(op, 2);
        long renames = everyPoint(op, 3);
        EXPECT_GT(writes, 0) << op.name;
        line += " " + std::string(op.name) + " " + std::to_string(writes) + "/" + std::to_string(syncs) +
                "/" + std::to_string(renames);
    }
    std::printf("%s\n", line.c_str());
}

// A process killed between writing a new record and counting it in the header
// leaves the record behind the table's end; the next start cuts it off.
TEST_F(FaultTest, AnAppendCutShortBeforeItsCountIsCutOffAtTheNextStart)
{
    DATA4 *d = d4open(m_c4, (m_base + "/cust").c_str());
    ASSERT_NE(d, nullptr);
    const long count = d4recCountDo(d);
    const std::uintmax_t whole = fs::file_size(m_base + "/cust.dbf");
    long width = 1; // the delete flag
    for (const FIELD4INFO *f = kFields; f->name; ++f)
        width += f->len;
    {
        std::fstream f(m_base + "/cust.dbf", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(std::streamoff(whole - 1));
        const std::string leftover = std::string(size_t(width), 'x') + '\x1a';
        f.write(leftover.data(), std::streamsize(leftover.size()));
    }
    std::string problems;
    EXPECT_EQ(d4check(d, collect, &problems), 1);
    EXPECT_NE(problems.find("past its last record"), std::string::npos) << problems;
    EXPECT_EQ(d4dropTail(d), width);
    EXPECT_EQ(d4dropTail(d), 0);
    problems.clear();
    EXPECT_EQ(d4check(d, collect, &problems), 0) << problems;
    EXPECT_EQ(fs::file_size(m_base + "/cust.dbf"), whole);
    EXPECT_EQ(d4recCountDo(d), count);
    ASSERT_EQ(d4close(d), 0);
    EXPECT_EQ(rowsOf(m_base), m_before);
}
