// Damaged tables give error codes, never a crash or a wrong table.

#include "EngineFixture.h"

namespace {

const FIELD4INFO kFields[] = {
    {"Name", 'C', 10, 0}, {"Amt", 'N', 8, 2}, {"Note", 'M', 10, 0}, {nullptr, 0, 0, 0}};

} // namespace

class DamagedFileTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        DATA4 *d = d4create(m_c4, path("good").c_str(), kFields, nullptr);
        ASSERT_NE(d, nullptr);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(d4appendBlank(d), 0);
            f4assign(d4field(d, "Name"), "row");
            f4memoAssign(d4field(d, "Note"), "memo");
        }
        ASSERT_EQ(d4close(d), 0);
        m_good = readFile(path("good.dbf"));
    }

    // Opens a copy of the good table with its .dbf bytes replaced; returns the error code.
    int openWith(const std::string &dbf)
    {
        writeFile(path("bad.dbf"), dbf);
        writeFile(path("bad.dbt"), readFile(path("good.dbt")));
        DATA4 *d = d4open(m_c4, path("bad").c_str());
        int err = error();
        if (d) {
            d4close(d);
            return 0;
        }
        return err;
    }

    std::string patched(size_t off, std::string bytes) const
    {
        std::string b = m_good;
        b.replace(off, bytes.size(), bytes);
        return b;
    }

    std::string m_good;
};

TEST_F(DamagedFileTest, HeadersThatDoNotAddUpAreRefused)
{
    ASSERT_EQ(openWith(m_good), 0);
    EXPECT_LT(openWith(""), 0);                                                  // empty file
    EXPECT_LT(openWith(m_good.substr(0, 20)), 0);                                // shorter than a header
    EXPECT_LT(openWith(m_good.substr(0, 32 + 40)), 0);                           // cut inside the descriptors
    EXPECT_LT(openWith(m_good.substr(0, m_good.size() - 10)), 0);                // records missing
    EXPECT_EQ(openWith(patched(0, "\x30")), e4open);                             // not dBASE III
    EXPECT_EQ(openWith(patched(4, std::string("\xff\xff\xff\x7f", 4))), e4data); // count too high
    EXPECT_EQ(openWith(patched(8, std::string("\x10\x00", 2))), e4data);         // header too short
    EXPECT_EQ(openWith(patched(8, std::string("\xff\xff", 2))), e4data);         // header past the end
    EXPECT_EQ(openWith(patched(10, std::string("\x05\x00", 2))), e4data);        // record length wrong
    EXPECT_EQ(openWith(patched(32 + 11, "X")), e4data);                          // unknown field type
    EXPECT_EQ(openWith(patched(32 + 32 + 16, "\x30")), e4data);                  // N wider than 20
    EXPECT_EQ(openWith(patched(32 + 64 + 16, "\x0b")), e4data);                  // M not 10 wide
    EXPECT_EQ(openWith(patched(32, std::string(1, '\0'))), e4data);              // nameless field
    EXPECT_EQ(openWith(patched(32 + 3 * 32, std::string(1, '\0'))), e4data);     // no terminator
    std::string noFields = m_good;
    noFields[32] = 0x0D;
    EXPECT_EQ(openWith(noFields), e4data);
}

TEST_F(DamagedFileTest, GarbledRecordsReadWithoutHarm)
{
    std::string b = m_good;
    uint32_t hlen = le16(b, 8);
    for (size_t i = hlen; i + 1 < b.size(); ++i)
        b[i] = char((i * 131) % 256);
    writeFile(path("bad.dbf"), b);
    writeFile(path("bad.dbt"), readFile(path("good.dbt")));
    DATA4 *d = d4open(m_c4, path("bad").c_str());
    ASSERT_NE(d, nullptr) << error();
    int records = 0;
    for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1), ++records) {
        f4str(d4field(d, "Name"));
        f4double2(d4field(d, "Amt"));
        f4long(d4field(d, "Amt"));
        EXPECT_EQ(f4memoLen(d4field(d, "Note")), std::string(f4memoStr(d4field(d, "Note"))).size());
    }
    EXPECT_EQ(records, 3);
    d4close(d);
}

TEST_F(DamagedFileTest, GarbledMemoFileHeaderDoesNotEndangerLiveMemos)
{
    std::string dbt = readFile(path("good.dbt"));
    dbt.replace(0, 4, std::string("\x01\x00\x00\x00", 4)); // says block 1 is free
    writeFile(path("good.dbt"), dbt);
    DATA4 *d = d4open(m_c4, path("good").c_str());
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d4appendBlank(d), 0);
    f4memoAssign(d4field(d, "Note"), "fourth");
    ASSERT_EQ(d4top(d), 0);
    EXPECT_STREQ(f4memoStr(d4field(d, "Note")), "memo");
    d4close(d);

    dbt = readFile(path("good.dbt"));
    dbt.replace(0, 4, std::string("\xff\xff\xff\xff", 4)); // absurdly far
    writeFile(path("good.dbt"), dbt);
    d = d4open(m_c4, path("good").c_str());
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d4appendBlank(d), 0);
    f4memoAssign(d4field(d, "Note"), "fifth");
    d4close(d);
    EXPECT_LT(readFile(path("good.dbt")).size(), 10u * 512); // no giant sparse file
    d = d4open(m_c4, path("good").c_str());
    ASSERT_EQ(d4bottom(d), 0);
    EXPECT_STREQ(f4memoStr(d4field(d, "Note")), "fifth");
    ASSERT_EQ(d4skip(d, -1), 0);
    EXPECT_STREQ(f4memoStr(d4field(d, "Note")), "fourth");
    d4close(d);
}
