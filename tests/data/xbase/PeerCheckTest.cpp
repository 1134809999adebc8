// Tables written by the engine must read back identically in independent
// readers: the peers' cross-check (python3-dbf, Perl XBase, structural
// checker) runs over a directory the engine wrote, and the engine's own dump
// of that directory must equal theirs.

#include "Dump.h"
#include "EngineFixture.h"

#include <cstdio>
#include <sys/wait.h>

namespace {

struct CrossCheck
{
    int status = -1;
    std::string output;
    std::string lastLine;
};

CrossCheck runCrossCheck(const std::string &dir, const std::string &out)
{
    CrossCheck r;
    std::string cmd = std::string(TLV_PEERS_DIR) + "/crosscheck.sh '" + dir + "' '" + out + "' 2>&1";
    FILE *p = popen(cmd.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        r.output.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::string text = r.output;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    r.lastLine = text.substr(text.find_last_of('\n') + 1);
    return r;
}

// Memo text of n bytes using every byte value but 0x1A, so Windows-1252 text survives.
std::string memoBytes(size_t n, int seed)
{
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        unsigned char ch = static_cast<unsigned char>(0x20 + (i * 31 + size_t(seed)) % 0xE0);
        s.push_back(char(ch == 0x1A ? 'x' : ch));
    }
    while (!s.empty() && s.back() == ' ')
        s.back() = '.'; // callers store memos without trailing blanks
    return s;
}

} // namespace

class PeerCheckTest : public EngineTest
{
protected:
    void writeTables(int records)
    {
        const FIELD4INFO customers[] = {{"CuNo", 'N', 6, 0},  {"Last", 'C', 20, 0},   {"Balance", 'N', 12, 2},
                                        {"Rate", 'N', 7, 3},  {"Since", 'D', 8, 0},   {"Active", 'L', 1, 0},
                                        {"Note", 'M', 10, 0}, {"Remark", 'M', 10, 0}, {nullptr, 0, 0, 0}};
        DATA4 *d = d4create(m_c4, path("data/CUST5").c_str(), customers, nullptr);
        ASSERT_NE(d, nullptr) << error();
        FIELD4 *cuNo = d4field(d, "CuNo"), *last = d4field(d, "Last"), *balance = d4field(d, "Balance"),
               *rate = d4field(d, "Rate"), *since = d4field(d, "Since"), *active = d4field(d, "Active"),
               *note = d4field(d, "Note"), *remark = d4field(d, "Remark");
        const size_t lengths[] = {0, 1, 509, 510, 511, 512, 1021, 1022, 1023, 1024, 3000};
        const char *names[] = {"Smith", "  Leading", "M\xfcller", "O'Brien \\ Sons", "\xc9mile \x80uro"};
        for (int i = 1; i <= records; ++i) {
            ASSERT_EQ(d4appendBlank(d), 0);
            f4assignInt(cuNo, i);
            f4assign(last, names[i % 5]);
            f4assignDouble(balance, (i % 7 == 0 ? -1 : 1) * (i * 12.34 + 0.005));
            if (i % 4)
                f4assignDouble(rate, i % 11 * 1.125);
            f4assign(since, i % 6 == 0 ? "" : "20240229");
            if (i % 5)
                f4assign(active, i % 2 ? "T" : "F");
            if (i % 3 == 1)
                f4memoAssign(note, memoBytes(lengths[(i / 3) % 11], i).c_str());
            if (i % 50 == 0)
                f4memoAssign(remark, memoBytes(size_t(i % 700), i + 1).c_str());
            if (i % 9 == 0)
                d4delete(d);
        }
        // Replaced memos leave dead blocks, as they do in real use.
        for (long r = 1; r <= records && r <= 40; r += 3) {
            ASSERT_EQ(d4go(d, r), 0);
            f4memoAssign(note, memoBytes(size_t(r * 37), int(r)).c_str());
        }
        ASSERT_EQ(d4close(d), 0);

        const FIELD4INFO groups[] = {{"GrNo", 'N', 2, 0}, {"GrName", 'C', 30, 0}, {nullptr, 0, 0, 0}};
        d = d4create(m_c4, path("data/GROUPS").c_str(), groups, nullptr);
        ASSERT_NE(d, nullptr);
        for (int i = 1; i <= 12; ++i) {
            ASSERT_EQ(d4appendBlank(d), 0);
            f4assignInt(d4field(d, "GrNo"), i);
            f4assign(d4field(d, "GrName"), ("Group " + std::to_string(i)).c_str());
        }
        ASSERT_EQ(d4go(d, 3), 0);
        d4delete(d);
        ASSERT_EQ(d4close(d), 0);

        // An empty table with memo fields.
        const FIELD4INFO empty[] = {{"A", 'C', 1, 0}, {"M", 'M', 10, 0}, {nullptr, 0, 0, 0}};
        d = d4create(m_c4, path("data/Empty").c_str(), empty, nullptr);
        ASSERT_NE(d, nullptr);
        ASSERT_EQ(d4close(d), 0);
    }

    void packCustomers()
    {
        DATA4 *d = d4open(m_c4, path("data/cust5").c_str());
        ASSERT_NE(d, nullptr);
        ASSERT_EQ(d4pack(d), 0);
        ASSERT_EQ(d4memoCompress(d), 0);
        // And some deleted records again, so both states are checked.
        for (int rc = d4top(d); rc == 0; rc = d4skip(d, 13))
            d4delete(d);
        ASSERT_EQ(d4close(d), 0);
    }

    void expectPeersAgree(const std::string &label)
    {
        std::string out = path("peers-" + label);
        CrossCheck r = runCrossCheck(path("data"), out);
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.lastLine, "3 passed, 0 failed") << r.output;
        EXPECT_EQ(r.output.find("WARN"), std::string::npos) << r.output;
        std::string ours;
        ASSERT_EQ(xbase::dumpDirectory(m_c4, path("data"), ours), 0);
        std::string theirs = readFile(out + "/dbf.py.txt");
        EXPECT_FALSE(theirs.empty());
        EXPECT_TRUE(ours == theirs) << "engine dump differs from python3-dbf's; see " << out;
        RecordProperty("crosscheck_" + label, r.lastLine);
        std::printf("[ crosscheck %s ] %s\n", label.c_str(), r.lastLine.c_str());
    }

    void SetUp() override
    {
        EngineTest::SetUp();
        m_tmp.setAutoRemove(true);
        ASSERT_EQ(system(("mkdir -p '" + path("data") + "'").c_str()), 0);
    }
};

TEST_F(PeerCheckTest, PeersReadTheEngineFilesAsTheEngineDoes)
{
    writeTables(1200);
    expectPeersAgree("written");
    packCustomers();
    expectPeersAgree("packed");
}

// 200,000 records with memos: run by hand with --gtest_also_run_disabled_tests.
TEST_F(PeerCheckTest, DISABLED_LargeTable)
{
    writeTables(200000);
    expectPeersAgree("large");
    packCustomers();
    expectPeersAgree("large-packed");
}

// An overflowed number is stored as asterisks. The structural checker objects
// to those, but both readers show the field as no value, and so must our dump.
TEST_F(PeerCheckTest, OverflowedNumberDumpsAsNoValueLikeTheReaders)
{
    const FIELD4INFO fields[] = {{"Qty", 'N', 4, 0}, {"Amt", 'N', 6, 2}, {nullptr, 0, 0, 0}};
    DATA4 *d = d4create(m_c4, path("data/over").c_str(), fields, nullptr);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d4appendBlank(d), 0);
    f4assignLong(d4field(d, "Qty"), 123456);
    f4assignDouble(d4field(d, "Amt"), -12.5);
    ASSERT_EQ(d4appendBlank(d), 0);
    f4assignLong(d4field(d, "Qty"), -999);
    f4assignDouble(d4field(d, "Amt"), 1000.0);
    ASSERT_EQ(d4close(d), 0);

    std::string ours;
    ASSERT_EQ(xbase::dumpDirectory(m_c4, path("data"), ours), 0);
    EXPECT_NE(ours.find("R\t1\t \t\t-12.50\n"), std::string::npos) << ours;
    EXPECT_NE(ours.find("R\t2\t \t-999\t\n"), std::string::npos) << ours;
    for (const char *reader : {"dbfdump.py", "dbfdump.pl"}) {
        std::string out = path(std::string(reader) + ".txt");
        std::string cmd =
            std::string(TLV_PEERS_DIR) + "/" + reader + " '" + path("data") + "' > '" + out + "'";
        ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
        EXPECT_EQ(readFile(out), ours) << reader;
    }
}

TEST(DumpEscape, EscapesLikeThePeers)
{
    EXPECT_EQ(xbase::dumpEscape("a\\b\x01\x7f\xe9 ~", 8), "a\\\\b\\x01\\x7f\\xe9 ~");
}
