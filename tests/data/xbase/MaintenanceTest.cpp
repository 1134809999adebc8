// Delete, recall, pack, zap and memo compression, each checked again after
// re-opening the table, and the recovery of a rewrite cut short.

#include "EngineFixture.h"

#include <vector>

namespace {

const FIELD4INFO kFields[] = {{"No", 'N', 5, 0}, {"Text", 'M', 10, 0}, {nullptr, 0, 0, 0}};

std::string textFor(int no)
{
    return no % 3 == 0 ? std::string() : std::string(size_t(no * 97 % 1500), char('a' + no % 26));
}

} // namespace

class MaintenanceTest : public EngineTest
{
protected:
    // Records 1..count with No = record number and a memo for most of them.
    void build(int count)
    {
        DATA4 *d = d4create(m_c4, path("Log").c_str(), kFields, nullptr);
        ASSERT_NE(d, nullptr);
        for (int i = 1; i <= count; ++i) {
            ASSERT_EQ(d4appendBlank(d), 0);
            f4assignInt(d4field(d, "No"), i);
            f4memoAssign(d4field(d, "Text"), textFor(i).c_str());
        }
        ASSERT_EQ(d4close(d), 0);
    }

    DATA4 *open()
    {
        DATA4 *d = d4open(m_c4, path("log").c_str());
        EXPECT_NE(d, nullptr) << error();
        return d;
    }

    // The No values in record order, each checked against its memo.
    std::vector<int> contents(DATA4 *d)
    {
        std::vector<int> out;
        FIELD4 *no = d4field(d, "No"), *text = d4field(d, "Text");
        for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1)) {
            out.push_back(f4int(no) * (d4deleted(d) ? -1 : 1));
            EXPECT_EQ(std::string(f4memoStr(text)), textFor(f4int(no))) << "record " << d4recNo(d);
        }
        return out;
    }

    std::vector<int> reopenedContents()
    {
        DATA4 *d = open();
        if (!d)
            return {};
        std::vector<int> out = contents(d);
        d4close(d);
        return out;
    }
};

TEST_F(MaintenanceTest, DeleteAndRecallOnlyMarkTheRecord)
{
    build(4);
    DATA4 *d = open();
    ASSERT_EQ(d4go(d, 2), 0);
    d4delete(d);
    ASSERT_EQ(d4go(d, 3), 0);
    d4delete(d);
    EXPECT_TRUE(d4deleted(d));
    d4recall(d);
    EXPECT_FALSE(d4deleted(d));
    EXPECT_EQ(d4recCountDo(d), 4);
    d4close(d);
    EXPECT_EQ(reopenedContents(), (std::vector<int>{1, -2, 3, 4}));
}

TEST_F(MaintenanceTest, PackRemovesDeletedRecordsAndRenumbers)
{
    build(10);
    DATA4 *d = open();
    for (long r : {1L, 4L, 5L, 10L}) {
        ASSERT_EQ(d4go(d, r), 0);
        d4delete(d);
    }
    ASSERT_EQ(d4go(d, 7), 0);
    f4assignInt(d4field(d, "No"), 7); // a pending change is kept too
    d4delete(d);
    d4recall(d);
    ASSERT_EQ(d4pack(d), 0) << error();
    EXPECT_EQ(d4recCountDo(d), 6);
    EXPECT_EQ(contents(d), (std::vector<int>{2, 3, 6, 7, 8, 9}));
    ASSERT_EQ(d4go(d, 3), 0);
    EXPECT_EQ(f4int(d4field(d, "No")), 6);
    // The table goes on working after the pack.
    ASSERT_EQ(d4appendBlank(d), 0);
    f4assignInt(d4field(d, "No"), 11);
    f4memoAssign(d4field(d, "Text"), textFor(11).c_str());
    d4close(d);
    EXPECT_EQ(reopenedContents(), (std::vector<int>{2, 3, 6, 7, 8, 9, 11}));
    std::string b = readFile(path("Log.dbf"));
    EXPECT_EQ(b.size(), le16(b, 8) + 7 * le16(b, 10) + 1);
    EXPECT_FALSE(std::ifstream(path("Log.dbf.tmp")).good());

    // Packing a table without deleted records, or an empty one, changes nothing.
    d = open();
    ASSERT_EQ(d4pack(d), 0);
    EXPECT_EQ(d4recCountDo(d), 7);
    d4close(d);
}

TEST_F(MaintenanceTest, PackingEverythingLeavesAnEmptyTable)
{
    build(3);
    DATA4 *d = open();
    for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1))
        d4delete(d);
    ASSERT_EQ(d4pack(d), 0);
    EXPECT_EQ(d4recCountDo(d), 0);
    EXPECT_EQ(d4top(d), r4eof);
    d4close(d);
    EXPECT_TRUE(reopenedContents().empty());
    std::string b = readFile(path("Log.dbf"));
    EXPECT_EQ(b.size(), le16(b, 8) + 1u);
}

TEST_F(MaintenanceTest, ZapRemovesARangeOfRecords)
{
    build(8);
    DATA4 *d = open();
    ASSERT_EQ(d4zap(d, 3, 5), 0);
    EXPECT_EQ(contents(d), (std::vector<int>{1, 2, 6, 7, 8}));
    ASSERT_EQ(d4zap(d, 4, 1000000), 0);
    EXPECT_EQ(contents(d), (std::vector<int>{1, 2, 6}));
    ASSERT_EQ(d4zap(d, 5, 3), 0); // an empty range
    EXPECT_EQ(d4recCountDo(d), 3);
    d4close(d);
    EXPECT_EQ(reopenedContents(), (std::vector<int>{1, 2, 6}));
    d = open();
    ASSERT_EQ(d4zap(d, 1, 0x7fffffffL), 0);
    EXPECT_EQ(d4recCountDo(d), 0);
    d4close(d);
    EXPECT_TRUE(reopenedContents().empty());
}

TEST_F(MaintenanceTest, MemoCompressKeepsEveryRecordsMemoAndDropsDeadBlocks)
{
    build(12);
    DATA4 *d = open();
    FIELD4 *text = d4field(d, "Text");
    // Leave dead blocks behind: replace memos by longer ones, and delete one record.
    for (long r : {2L, 5L, 8L}) {
        ASSERT_EQ(d4go(d, r), 0);
        f4memoAssign(text, (textFor(int(r)) + std::string(2000, 'z')).c_str());
        ASSERT_EQ(d4go(d, r), 0);
        f4memoAssign(text, textFor(int(r)).c_str());
    }
    ASSERT_EQ(d4go(d, 4), 0);
    d4delete(d);
    d4close(d);
    uint32_t before = le32(readFile(path("Log.dbt")), 0);

    d = open();
    ASSERT_EQ(d4memoCompress(d), 0) << error();
    EXPECT_EQ(d4recCountDo(d), 12);
    d4close(d);
    std::vector<int> want = {1, 2, 3, -4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(reopenedContents(), want); // a deleted record keeps its memo until the pack

    std::string dbt = readFile(path("Log.dbt"));
    uint32_t blocks = 1;
    for (int i = 1; i <= 12; ++i)
        blocks += textFor(i).empty() ? 0 : uint32_t((textFor(i).size() + 2 + 511) / 512);
    EXPECT_EQ(le32(dbt, 0), blocks);
    EXPECT_LT(blocks, before);
    EXPECT_EQ(dbt.size(), size_t(blocks) * 512);
    EXPECT_FALSE(std::ifstream(path("Log.dbt.new")).good());

    d = open();
    ASSERT_EQ(d4pack(d), 0);
    ASSERT_EQ(d4memoCompress(d), 0);
    d4close(d);
    EXPECT_EQ(reopenedContents(), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST_F(MaintenanceTest, RewriteCutShortBeforeItsCommitLeavesTheOldTable)
{
    build(5);
    // What a crash while writing the new files leaves behind.
    writeFile(path("Log.dbf.tmp"), "half a table");
    writeFile(path("Log.dbt.tmp"), "half a memo file");
    EXPECT_EQ(reopenedContents(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(std::ifstream(path("Log.dbf.tmp")).good());
    EXPECT_FALSE(std::ifstream(path("Log.dbt.tmp")).good());
}

TEST_F(MaintenanceTest, CommittedMemoCompressIsFinishedByTheNextOpen)
{
    build(6);
    // Leave dead blocks, keep those files as the old pair, compress, keep the
    // result as the new pair; then put the files back as a crash between the
    // renames would have left them.
    DATA4 *d = open();
    ASSERT_EQ(d4go(d, 1), 0);
    f4memoAssign(d4field(d, "Text"), (textFor(1) + std::string(3000, 'q')).c_str());
    ASSERT_EQ(d4go(d, 1), 0);
    f4memoAssign(d4field(d, "Text"), textFor(1).c_str());
    d4close(d);
    std::string oldDbf = readFile(path("Log.dbf")), oldDbt = readFile(path("Log.dbt"));
    d = open();
    ASSERT_EQ(d4memoCompress(d), 0);
    d4close(d);
    std::string newDbf = readFile(path("Log.dbf")), newDbt = readFile(path("Log.dbt"));
    ASSERT_LT(newDbt.size(), oldDbt.size());
    ASSERT_NE(newDbf, oldDbf);

    // Crash after step 2: new .dbt waiting as .dbt.new, new .dbf still .dbf.tmp.
    writeFile(path("Log.dbf"), oldDbf);
    writeFile(path("Log.dbt"), oldDbt);
    writeFile(path("Log.dbf.tmp"), newDbf);
    writeFile(path("Log.dbt.new"), newDbt);
    EXPECT_EQ(reopenedContents(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(readFile(path("Log.dbt")), newDbt);
    EXPECT_EQ(readFile(path("Log.dbf")), newDbf);

    // Crash after step 3: the .dbf is new, the .dbt not yet.
    writeFile(path("Log.dbt"), oldDbt);
    writeFile(path("Log.dbt.new"), newDbt);
    EXPECT_EQ(reopenedContents(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(readFile(path("Log.dbt")), newDbt);
    EXPECT_FALSE(std::ifstream(path("Log.dbt.new")).good());
}
