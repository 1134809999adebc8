// Memo fields: texts of every length around the block boundaries, replacing
// texts, and the memo file's block bookkeeping.

#include "EngineFixture.h"

#include <vector>

namespace {

const FIELD4INFO kFields[] = {{"Title", 'C', 8, 0}, {"Notes", 'M', 10, 0}, {nullptr, 0, 0, 0}};

// Text of n bytes that differs from record to record and holds no 0x1A.
std::string memoText(size_t n, int seed)
{
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s.push_back(char(0x20 + (i * 7 + size_t(seed) * 13) % 0xD0));
    return s;
}

} // namespace

class MemoTest : public EngineTest
{
protected:
    DATA4 *open() { return d4open(m_c4, path("notes").c_str()); }
};

TEST_F(MemoTest, TextsOfBoundaryLengthsReadBackExactly)
{
    const std::vector<size_t> lengths = {0, 1, 509, 510, 511, 512, 1021, 1022, 1023, 1024, 3000};
    DATA4 *d = d4create(m_c4, path("Notes").c_str(), kFields, nullptr);
    ASSERT_NE(d, nullptr);
    FIELD4 *notes = d4field(d, "Notes");
    for (size_t i = 0; i < lengths.size(); ++i) {
        ASSERT_EQ(d4appendBlank(d), 0);
        std::string text = memoText(lengths[i], int(i));
        ASSERT_EQ(f4memoAssignN(notes, text.data(), unsigned(text.size())), 0);
        EXPECT_EQ(f4memoLen(notes), lengths[i]); // visible before it is written
    }
    d4close(d);
    EXPECT_EQ(uint8_t(readFile(path("Notes.dbf"))[0]), 0x83);

    d = open();
    ASSERT_NE(d, nullptr) << error();
    notes = d4field(d, "Notes");
    size_t i = 0;
    for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1), ++i) {
        ASSERT_LT(i, lengths.size());
        EXPECT_EQ(f4memoLen(notes), lengths[i]);
        EXPECT_EQ(std::string(f4memoStr(notes), f4memoLen(notes)), memoText(lengths[i], int(i)))
            << lengths[i];
    }
    EXPECT_EQ(i, lengths.size());
    d4close(d);

    // Each memo takes whole blocks for its text and the two end marks.
    std::string dbt = readFile(path("Notes.dbt"));
    size_t blocks = 1;
    for (size_t n : lengths)
        blocks += n ? (n + 2 + 511) / 512 : 0;
    EXPECT_EQ(le32(dbt, 0), blocks);
    EXPECT_EQ(dbt.size(), blocks * 512);
    EXPECT_EQ(uint8_t(dbt[16]), 0x03);
}

TEST_F(MemoTest, ShorterTextIsRewrittenInPlaceLongerTextMovesToTheEnd)
{
    DATA4 *d = d4create(m_c4, path("notes").c_str(), kFields, nullptr);
    ASSERT_NE(d, nullptr);
    FIELD4 *notes = d4field(d, "Notes");
    ASSERT_EQ(d4appendBlank(d), 0);
    f4memoAssign(notes, memoText(1000, 1).c_str()); // two blocks
    ASSERT_EQ(d4appendBlank(d), 0);
    f4memoAssign(notes, "second");
    ASSERT_EQ(d4go(d, 1), 0);
    EXPECT_STREQ(f4str(notes), "         1");

    f4memoAssign(notes, "short now");
    ASSERT_EQ(d4go(d, 2), 0);
    ASSERT_EQ(d4go(d, 1), 0);
    EXPECT_STREQ(f4str(notes), "         1"); // same blocks
    EXPECT_STREQ(f4memoStr(notes), "short now");

    f4memoAssign(notes, memoText(1200, 2).c_str()); // three blocks: no longer fits
    ASSERT_EQ(d4go(d, 2), 0);
    EXPECT_STREQ(f4memoStr(notes), "second");
    ASSERT_EQ(d4go(d, 1), 0);
    EXPECT_STREQ(f4str(notes), "         4");
    EXPECT_EQ(std::string(f4memoStr(notes)), memoText(1200, 2));

    f4memoAssign(notes, ""); // no memo at all
    ASSERT_EQ(d4go(d, 2), 0);
    d4close(d);

    d = open();
    ASSERT_NE(d, nullptr);
    notes = d4field(d, "Notes");
    ASSERT_EQ(d4top(d), 0);
    EXPECT_STREQ(f4str(notes), "          ");
    EXPECT_EQ(f4memoLen(notes), 0u);
    ASSERT_EQ(d4skip(d, 1), 0);
    EXPECT_STREQ(f4memoStr(notes), "second");
    d4close(d);
    EXPECT_EQ(le32(readFile(path("notes.dbt")), 0), 7u);
}

TEST_F(MemoTest, TextIsStoredAsGivenUpToAnEndOfFileByte)
{
    DATA4 *d = d4create(m_c4, path("notes").c_str(), kFields, nullptr);
    ASSERT_NE(d, nullptr);
    FIELD4 *notes = d4field(d, "Notes");
    ASSERT_EQ(d4appendBlank(d), 0);
    const char withNul[] = "a\0b\xe9  ";
    f4memoAssignN(notes, withNul, 6); // trailing blanks and a NUL kept
    ASSERT_EQ(d4appendBlank(d), 0);
    f4memoAssign(notes, "before\x1A"
                        "after");
    d4close(d);

    d = open();
    notes = d4field(d, "Notes");
    ASSERT_EQ(d4top(d), 0);
    EXPECT_EQ(std::string(f4memoStr(notes), f4memoLen(notes)), std::string(withNul, 6));
    ASSERT_EQ(d4skip(d, 1), 0);
    EXPECT_STREQ(f4memoStr(notes), "before"); // readers stop at 0x1A
    d4close(d);
}

TEST_F(MemoTest, DamagedPointersReadAsEmptyText)
{
    DATA4 *d = d4create(m_c4, path("notes").c_str(), kFields, nullptr);
    ASSERT_NE(d, nullptr);
    FIELD4 *notes = d4field(d, "Notes");
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(d4appendBlank(d), 0);
        f4memoAssign(notes, "fine");
    }
    d4close(d);
    std::string dbf = readFile(path("notes.dbf"));
    uint32_t hlen = le16(dbf, 8), rlen = le16(dbf, 10);
    auto setPointer = [&](int recNo, const char *text) {
        dbf.replace(hlen + (recNo - 1) * rlen + 9, 10, text);
    };
    setPointer(1, "    999999"); // past the end of the memo file
    setPointer(2, "12x4      "); // not a number
    setPointer(3, "4294967296"); // does not fit a block number
    writeFile(path("notes.dbf"), dbf);
    std::string dbt = readFile(path("notes.dbt"));
    dbt.resize(dbt.size() - 510); // cut the last memo's end marks off
    writeFile(path("notes.dbt"), dbt);

    d = open();
    ASSERT_NE(d, nullptr) << error();
    notes = d4field(d, "Notes");
    for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1)) {
        EXPECT_STREQ(f4memoStr(notes), "") << d4recNo(d);
        EXPECT_EQ(f4memoLen(notes), 0u);
    }
    // Writing a new memo never lands on top of data already in the file.
    ASSERT_EQ(d4go(d, 1), 0);
    f4memoAssign(notes, "new text");
    ASSERT_EQ(d4close(d), 0);
    d = open();
    notes = d4field(d, "Notes");
    ASSERT_EQ(d4top(d), 0);
    EXPECT_STREQ(f4memoStr(notes), "new text");
    EXPECT_STREQ(f4str(notes), "         5");
    d4close(d);
}

TEST_F(MemoTest, MissingOrShortMemoFileFailsTheOpen)
{
    DATA4 *d = d4create(m_c4, path("notes").c_str(), kFields, nullptr);
    ASSERT_NE(d, nullptr);
    d4close(d);
    writeFile(path("notes.dbt"), std::string(100, '\0'));
    EXPECT_EQ(open(), nullptr);
    EXPECT_EQ(error(), e4memo);
    std::remove(path("notes.dbt").c_str());
    EXPECT_EQ(open(), nullptr);
    EXPECT_EQ(error(), e4memo);
}
