// Tables: creation, field values of every type, positioning, appending and
// when changes reach the disk.

#include "EngineFixture.h"

#include <cstring>

namespace {

const FIELD4INFO kFields[] = {
    {"Name", 'C', 12, 0}, {"Qty", 'N', 6, 0},  {"Price", 'N', 10, 2}, {"Rate", 'N', 7, 3},
    {"Day", 'D', 8, 0},   {"Paid", 'L', 1, 0}, {nullptr, 0, 0, 0},
};

} // namespace

class TableTest : public EngineTest
{
protected:
    DATA4 *createItems(const char *name = "Items")
    {
        DATA4 *d = d4create(m_c4, path(name).c_str(), kFields, nullptr);
        EXPECT_NE(d, nullptr) << error();
        return d;
    }
};

TEST_F(TableTest, CreateWritesDbaseThreeHeader)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d4numFields(d), 6);
    EXPECT_EQ(d4recCountDo(d), 0);
    EXPECT_EQ(d4top(d), r4eof);
    EXPECT_TRUE(d4eof(d));
    EXPECT_EQ(d4recNo(d), 0);
    d4close(d);

    std::string b = readFile(path("Items.dbf"));
    ASSERT_EQ(b.size(), 32u + 6 * 32 + 1 + 1);
    EXPECT_EQ(uint8_t(b[0]), 0x03);
    EXPECT_GE(uint8_t(b[1]), 125); // years since 1900
    EXPECT_EQ(le32(b, 4), 0u);
    EXPECT_EQ(le16(b, 8), 32u + 6 * 32 + 1);
    EXPECT_EQ(le16(b, 10), 1u + 12 + 6 + 10 + 7 + 8 + 1);
    EXPECT_EQ(uint8_t(b[29]), 0x03); // Windows ANSI
    EXPECT_EQ(b.substr(32, 11), std::string("NAME\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(b[32 + 11], 'C');
    EXPECT_EQ(uint8_t(b[64 + 32 + 16]), 10); // PRICE length
    EXPECT_EQ(uint8_t(b[64 + 32 + 17]), 2);  // and decimals
    EXPECT_EQ(uint8_t(b[32 + 6 * 32]), 0x0D);
    EXPECT_EQ(uint8_t(b.back()), 0x1A);
}

TEST_F(TableTest, CreateRefusesBadFieldListsAndExistingFiles)
{
    const FIELD4INFO longName[] = {{"ABCDEFGHIJK", 'C', 5, 0}, {nullptr, 0, 0, 0}};
    const FIELD4INFO badDec[] = {{"AMT", 'N', 4, 3}, {nullptr, 0, 0, 0}};
    const FIELD4INFO dup[] = {{"A", 'C', 5, 0}, {"a", 'N', 5, 0}, {nullptr, 0, 0, 0}};
    const FIELD4INFO badType[] = {{"A", 'X', 5, 0}, {nullptr, 0, 0, 0}};
    const FIELD4INFO wideC[] = {{"A", 'C', 255, 0}, {nullptr, 0, 0, 0}};
    for (const FIELD4INFO *list : {longName, badDec, dup, badType, wideC}) {
        EXPECT_EQ(d4create(m_c4, path("Bad").c_str(), list, nullptr), nullptr);
        EXPECT_EQ(error(), e4param);
    }
    EXPECT_FALSE(std::ifstream(path("Bad.dbf")).good());

    d4close(createItems());
    EXPECT_EQ(d4create(m_c4, path("ITEMS").c_str(), kFields, nullptr), nullptr); // safety on
    EXPECT_EQ(error(), e4create);
    code4safety(m_c4, 0);
    DATA4 *d = createItems("ITEMS");
    ASSERT_NE(d, nullptr);
    d4close(d);
    // The old spelling is gone, so there is one table, not two.
    EXPECT_FALSE(std::ifstream(path("Items.dbf")).good());
    EXPECT_TRUE(std::ifstream(path("ITEMS.dbf")).good());
}

TEST_F(TableTest, FilesAndFieldsAreFoundWithoutRegardToCase)
{
    d4close(createItems("Prod5"));
    ASSERT_EQ(std::rename(path("Prod5.dbf").c_str(), path("PROD5.DBF").c_str()), 0);
    DATA4 *d = d4open(m_c4, path("prod5").c_str());
    ASSERT_NE(d, nullptr) << error();
    EXPECT_NE(d4field(d, "name"), nullptr);
    EXPECT_NE(d4field(d, "NaMe"), nullptr);
    EXPECT_STREQ(f4name(d4field(d, "price")), "PRICE");
    EXPECT_EQ(d4field(d, "Nope"), nullptr);
    EXPECT_EQ(error(), e4field);
    d4close(d);
    EXPECT_EQ(d4open(m_c4, path("Missing").c_str()), nullptr);
    EXPECT_EQ(error(), e4open);
}

TEST_F(TableTest, CharacterDateAndLogicalValuesRoundTrip)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    FIELD4 *name = d4field(d, "Name"), *day = d4field(d, "Day"), *paid = d4field(d, "Paid");
    ASSERT_EQ(d4appendBlank(d), 0);
    f4assign(name, "Widget");
    f4assign(day, "20240229");
    f4assign(paid, "T");
    ASSERT_EQ(d4appendBlank(d), 0);
    f4assign(name, "A name much longer than twelve");
    f4assign(day, "");
    f4assign(paid, "F");
    ASSERT_EQ(d4appendBlank(d), 0);
    f4assign(name, "Caf\xe9 \xa3"); // Windows-1252 bytes are stored as given
    d4close(d);

    d = d4open(m_c4, path("items").c_str());
    ASSERT_NE(d, nullptr);
    name = d4field(d, "Name"), day = d4field(d, "Day"), paid = d4field(d, "Paid");
    ASSERT_EQ(d4top(d), 0);
    EXPECT_STREQ(f4str(name), "Widget      ");
    EXPECT_STREQ(f4str(day), "20240229");
    EXPECT_TRUE(f4true(paid));
    ASSERT_EQ(d4skip(d, 1), 0);
    EXPECT_STREQ(f4str(name), "A name much ");
    EXPECT_STREQ(f4str(day), "        ");
    EXPECT_FALSE(f4true(paid));
    ASSERT_EQ(d4skip(d, 1), 0);
    EXPECT_STREQ(f4str(name), "Caf\xe9 \xa3      ");
    EXPECT_FALSE(f4true(paid)); // blank logical is false
    d4close(d);
}

TEST_F(TableTest, LogicalReadsTheLettersOtherWritersUse)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    FIELD4 *paid = d4field(d, "Paid");
    ASSERT_EQ(d4appendBlank(d), 0);
    for (const char *yes : {"T", "t", "Y", "y"}) {
        f4assign(paid, yes);
        EXPECT_TRUE(f4true(paid)) << yes;
    }
    for (const char *no : {"F", "f", "N", "n", "?", " "}) {
        f4assign(paid, no);
        EXPECT_FALSE(f4true(paid)) << no;
    }
    d4close(d);
}

TEST_F(TableTest, NumbersAreStoredRightAlignedWithTheFieldsDecimals)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    FIELD4 *qty = d4field(d, "Qty"), *price = d4field(d, "Price"), *rate = d4field(d, "Rate");
    ASSERT_EQ(d4appendBlank(d), 0);

    f4assignLong(qty, 42);
    EXPECT_STREQ(f4str(qty), "    42");
    f4assignInt(qty, -12345);
    EXPECT_STREQ(f4str(qty), "-12345");
    EXPECT_EQ(f4long(qty), -12345);
    EXPECT_EQ(f4int(qty), -12345);

    f4assignDouble(price, -3.5);
    EXPECT_STREQ(f4str(price), "     -3.50");
    EXPECT_DOUBLE_EQ(f4double2(price), -3.5);
    f4assignDouble(price, 1234567.891);
    EXPECT_STREQ(f4str(price), "1234567.89");
    f4assignLong(price, 7);
    EXPECT_STREQ(f4str(price), "      7.00");
    EXPECT_EQ(f4long(price), 7);

    // Halves round away from zero on the exact binary value; no "-0".
    f4assignDouble(price, 0.125);
    EXPECT_STREQ(f4str(price), "      0.13");
    f4assignDouble(price, 2.675); // just below 2.675 in binary
    EXPECT_STREQ(f4str(price), "      2.67");
    f4assignDouble(price, -16.875);
    EXPECT_STREQ(f4str(price), "    -16.88");
    f4assignDouble(price, -0.001);
    EXPECT_STREQ(f4str(price), "      0.00");
    f4assignDouble(rate, 99.9995); // just below the half in binary
    EXPECT_STREQ(f4str(rate), " 99.999");
    f4assignDouble(rate, 999.9996);
    EXPECT_STREQ(f4str(rate), "*******"); // rounds to 1000.000, one digit too many
    f4assignDouble(qty, 999999.5);
    EXPECT_STREQ(f4str(qty), "******");
    f4assignDouble(qty, 99999.5);
    EXPECT_STREQ(f4str(qty), "100000");
    d4close(d);
}

TEST_F(TableTest, NumberTooWideIsFilledWithAsterisksAndReadsAsZero)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    FIELD4 *qty = d4field(d, "Qty"), *price = d4field(d, "Price");
    ASSERT_EQ(d4appendBlank(d), 0);
    f4assignLong(qty, 1234567);
    EXPECT_STREQ(f4str(qty), "******");
    f4assignLong(qty, -99999);
    EXPECT_STREQ(f4str(qty), "-99999");
    f4assignLong(qty, -100000);
    EXPECT_STREQ(f4str(qty), "******");
    f4assignDouble(price, 12345678.0); // 11 characters with the decimals
    EXPECT_STREQ(f4str(price), "**********");
    f4assign(qty, "1234567");
    EXPECT_STREQ(f4str(qty), "******");
    d4close(d);

    d = d4open(m_c4, path("Items").c_str());
    ASSERT_EQ(d4top(d), 0);
    EXPECT_EQ(f4long(d4field(d, "Qty")), 0);
    EXPECT_EQ(f4double2(d4field(d, "Price")), 0.0);
    d4close(d);
}

TEST_F(TableTest, PositioningInRecordOrder)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    FIELD4 *qty = d4field(d, "Qty");
    for (int i = 1; i <= 5; ++i) {
        ASSERT_EQ(d4appendBlank(d), 0);
        f4assignInt(qty, i * 10);
    }
    EXPECT_EQ(d4recCountDo(d), 5);
    EXPECT_EQ(d4top(d), 0);
    EXPECT_EQ(d4recNo(d), 1);
    EXPECT_DOUBLE_EQ(d4position2(d), 0.0);
    EXPECT_EQ(d4skip(d, 2), 0);
    EXPECT_EQ(f4int(qty), 30);
    EXPECT_DOUBLE_EQ(d4position2(d), 0.5);
    EXPECT_EQ(d4skip(d, -5), r4bof);
    EXPECT_TRUE(d4bof(d));
    EXPECT_EQ(d4recNo(d), 1); // stays on the first record
    EXPECT_EQ(d4bottom(d), 0);
    EXPECT_EQ(f4int(qty), 50);
    EXPECT_DOUBLE_EQ(d4position2(d), 1.0);
    EXPECT_EQ(d4skip(d, 1), r4eof);
    EXPECT_TRUE(d4eof(d));
    EXPECT_EQ(d4recNo(d), 0);
    EXPECT_STREQ(f4str(qty), "      ");
    EXPECT_EQ(d4skip(d, -1), 0); // back from the end onto the last record
    EXPECT_EQ(d4recNo(d), 5);
    EXPECT_EQ(d4go(d, 4), 0);
    EXPECT_EQ(f4int(qty), 40);
    EXPECT_NE(d4go(d, 6), 0);
    EXPECT_NE(d4go(d, 0), 0);
    EXPECT_NE(d4seek(d, "anything"), 0); // no tag: no keys to find
    EXPECT_EQ(d4skip(d, 0x7fffffffL), r4eof);
    EXPECT_EQ(d4top(d), 0);
    EXPECT_EQ(d4skip(d, -0x7fffffffL), r4bof);
    EXPECT_EQ(code4errorCode(m_c4, 0), 0); // positioning never raises errors
    d4close(d);
}

TEST_F(TableTest, ChangesReachTheFileWhenThePointerMovesOnFlushAndOnClose)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    FIELD4 *name = d4field(d, "Name");
    ASSERT_EQ(d4appendBlank(d), 0);
    ASSERT_EQ(d4appendBlank(d), 0);
    std::string file = path("Items.dbf");
    uint32_t hlen = le16(readFile(file), 8), rlen = le16(readFile(file), 10);
    auto nameOnDisk = [&](int recNo) { return readFile(file).substr(hlen + (recNo - 1) * rlen + 1, 5); };

    ASSERT_EQ(d4go(d, 1), 0);
    f4assign(name, "Alpha");
    EXPECT_EQ(nameOnDisk(1), "     "); // still in the record buffer
    ASSERT_EQ(d4skip(d, 1), 0);
    EXPECT_EQ(nameOnDisk(1), "Alpha");

    f4assign(name, "Bravo");
    ASSERT_EQ(d4flush(d), 0);
    EXPECT_EQ(nameOnDisk(2), "Bravo");

    f4assign(name, "Delta");
    d4delete(d);
    EXPECT_TRUE(d4deleted(d));
    ASSERT_EQ(d4close(d), 0);
    std::string b = readFile(file);
    EXPECT_EQ(b.substr(hlen + rlen, 6), "*Delta");
}

TEST_F(TableTest, EveryAppendKeepsTheCountAndTheRecordsInStep)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    std::string file = path("Items.dbf");
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(d4appendBlank(d), 0);
        f4assignInt(d4field(d, "Qty"), i);
        std::string b = readFile(file);
        uint32_t hlen = le16(b, 8), rlen = le16(b, 10);
        // Another reader sees a whole table at every step.
        EXPECT_EQ(le32(b, 4), uint32_t(i));
        EXPECT_EQ(b.size(), hlen + i * rlen + 1);
        EXPECT_EQ(uint8_t(b.back()), 0x1A);
    }
    d4close(d);
}

TEST_F(TableTest, RecordLeftOverByAnInterruptedAppendIsIgnoredAndReplaced)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d4appendBlank(d), 0);
    f4assign(d4field(d, "Name"), "kept");
    d4close(d);
    // A crash after writing a record (and half of another) but before the count.
    std::string b = readFile(path("Items.dbf"));
    uint32_t rlen = le16(b, 10);
    b.pop_back();
    b += std::string(rlen, 'x') + std::string(rlen / 2, 'y');
    writeFile(path("Items.dbf"), b);

    d = d4open(m_c4, path("Items").c_str());
    ASSERT_NE(d, nullptr) << error();
    EXPECT_EQ(d4recCountDo(d), 1);
    ASSERT_EQ(d4appendBlank(d), 0);
    f4assign(d4field(d, "Name"), "next");
    d4close(d);
    b = readFile(path("Items.dbf"));
    uint32_t hlen = le16(b, 8);
    EXPECT_EQ(le32(b, 4), 2u);
    EXPECT_EQ(b.size(), hlen + 2 * rlen + 1);
    EXPECT_EQ(b.substr(hlen + rlen + 1, 4), "next");
}

TEST_F(TableTest, ExclusiveAccessShutsOutOtherOpeners)
{
    d4close(createItems());
    CODE4 *other = code4initP();
    code4autoOpen(other, 0);
    code4accessMode(m_c4, 1);
    DATA4 *mine = d4open(m_c4, path("Items").c_str());
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(d4open(other, path("Items").c_str()), nullptr);
    EXPECT_EQ(code4errorCode(other, 0), e4lock);
    d4close(mine);

    // Shared opens live side by side, and keep an exclusive open out.
    code4accessMode(m_c4, 0);
    mine = d4open(m_c4, path("Items").c_str());
    DATA4 *theirs = d4open(other, path("Items").c_str());
    ASSERT_NE(mine, nullptr);
    ASSERT_NE(theirs, nullptr);
    code4accessMode(other, 1);
    EXPECT_EQ(d4open(other, path("Items").c_str()), nullptr);
    EXPECT_EQ(code4errorCode(other, 0), e4lock);
    // A pack needs the table to itself.
    EXPECT_EQ(d4pack(mine), e4lock);
    code4initUndoP(other);
    EXPECT_EQ(d4pack(mine), 0);
    code4close(m_c4);
}

TEST_F(TableTest, SessionSettingsReturnThePreviousValue)
{
    CODE4 *c4 = code4initP(); // the defaults of a new session
    EXPECT_EQ(code4accessMode(c4, 1), 0);
    EXPECT_EQ(code4accessMode(c4, 0), 1);
    EXPECT_EQ(code4autoOpen(c4, 0), 1);
    EXPECT_EQ(code4safety(c4, 0), 1);
    EXPECT_EQ(code4optimize(c4, 0), 1);
    EXPECT_EQ(code4optimize(c4, 1), 0);
    d4open(c4, path("none").c_str());
    EXPECT_EQ(code4errorCode(c4, 0), e4open);
    EXPECT_EQ(code4errorCode(c4, 0), 0); // reading clears it
    code4initUndoP(c4);
}

TEST_F(TableTest, TagCallsWorkInRecordOrderWithoutIndexes)
{
    DATA4 *d = createItems();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d4tag(d, "ANY"), nullptr);
    EXPECT_EQ(error(), e4tag);
    EXPECT_EQ(d4tagSelected(d), nullptr);
    d4tagSelect(d, nullptr);
    ASSERT_EQ(d4appendBlank(d), 0);
    EXPECT_EQ(d4top(d), 0);
    d4close(d);
}

TEST_F(TableTest, SequentialReadingIsBuffered)
{
    const FIELD4INFO small[] = {{"N", 'N', 7, 0}, {nullptr, 0, 0, 0}};
    DATA4 *d = d4create(m_c4, path("Many").c_str(), small, nullptr);
    ASSERT_NE(d, nullptr);
    FIELD4 *n = d4field(d, "N");
    const int count = 20000;
    for (int i = 1; i <= count; ++i) {
        ASSERT_EQ(d4appendBlank(d), 0);
        f4assignInt(n, i);
    }
    d4close(d);

    auto readCalls = [] {
        std::ifstream io("/proc/self/io");
        std::string key;
        long value = 0;
        while (io >> key >> value)
            if (key == "syscr:")
                return value;
        return -1L;
    };
    d = d4open(m_c4, path("Many").c_str());
    ASSERT_NE(d, nullptr);
    n = d4field(d, "N");
    long before = readCalls();
    if (before < 0)
        GTEST_SKIP() << "no /proc/self/io";
    long sum = 0;
    for (int rc = d4top(d); rc == 0; rc = d4skip(d, 1))
        sum += f4long(n);
    long calls = readCalls() - before;
    d4close(d);
    EXPECT_EQ(sum, long(count) * (count + 1) / 2);
    EXPECT_LT(calls, count / 100) << "read calls for " << count << " records";
}
