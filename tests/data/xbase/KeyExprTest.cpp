// Key expressions: every tag the application defines, Str() rounding checked
// against the peers' decoder, and expressions that must be refused.
#include "KeyExpr.h"
#include "xbase.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

using xbase::FieldDesc;
using xbase::KeyExpr;

namespace {

// A record laid out from field descriptions, as a table keeps it: a delete
// flag byte, then the fields in order.
struct Rec
{
    std::vector<FieldDesc> fields;
    std::string bytes = " ";

    Rec(std::initializer_list<FieldDesc> list)
    {
        int off = 1;
        for (FieldDesc f : list) {
            f.offset = off;
            off += f.len;
            fields.push_back(f);
        }
        bytes.assign(static_cast<size_t>(off), ' ');
    }
    Rec &set(const std::string &name, const std::string &value)
    {
        for (const FieldDesc &f : fields)
            if (f.name == name) {
                std::string v = value;
                if (f.type == 'N') // numbers are right-aligned
                    v = std::string(static_cast<size_t>(std::max(0, f.len - static_cast<int>(v.size()))),
                                    ' ') +
                        v;
                v.resize(static_cast<size_t>(f.len), ' ');
                bytes.replace(static_cast<size_t>(f.offset), static_cast<size_t>(f.len), v);
                return *this;
            }
        ADD_FAILURE() << "no field " << name;
        return *this;
    }
};

std::string keyOf(const char *expr, const Rec &rec, int *len = nullptr)
{
    KeyExpr k;
    EXPECT_EQ(k.parse(expr, rec.fields), 0) << expr << ": " << k.error();
    if (len)
        *len = k.keyLen();
    return k.evaluate(rec.bytes.data());
}

Rec customer()
{
    return Rec{{"CUNO", 'N', 6, 0},   {"TITLE", 'C', 3, 0},  {"FIRST", 'C', 13, 0}, {"LAST", 'C', 20, 0},
               {"ADDR1", 'C', 34, 0}, {"ADDR2", 'C', 34, 0}, {"ZIP", 'C', 10, 0},   {"COMMENTS", 'M', 10, 0},
               {"NGROUP", 'N', 2, 0}, {"EMAIL", 'C', 60, 0}, {"FLAG", 'L', 1, 0}};
}

} // namespace

TEST(KeyExpr, CustomerTagsGiveTheDocumentedKeys)
{
    Rec c = customer();
    c.set("CUNO", "42")
        .set("FIRST", "John")
        .set("LAST", "McEwan")
        .set("ADDR1", "Acme Ltd")
        .set("ZIP", "12345");
    c.set("EMAIL", "John@Example.com");
    int len = 0;
    EXPECT_EQ(keyOf("Upper(Last + First)", c, &len), "MCEWAN              JOHN         ");
    EXPECT_EQ(len, 33);
    EXPECT_EQ(keyOf("Str(CuNo, 6)", c, &len), "    42");
    EXPECT_EQ(len, 6);
    EXPECT_EQ(keyOf("Zip", c, &len), "12345     ");
    EXPECT_EQ(keyOf("Addr1", c, &len), std::string("Acme Ltd") + std::string(26, ' '));
    EXPECT_EQ(keyOf("Upper(EMail)", c, &len), "JOHN@EXAMPLE.COM" + std::string(44, ' '));
    EXPECT_EQ(len, 60);
    // Field and function names in any case.
    EXPECT_EQ(keyOf("UPPER(LAST+FIRST)", c), keyOf("upper( last +first )", c));
    EXPECT_EQ(keyOf("str(cuno,6)", c), "    42");
}

TEST(KeyExpr, OtherTablesTagsGiveTheDocumentedKeys)
{
    Rec g{{"NGROUP", 'N', 2, 0}, {"CGROUP", 'C', 20, 0}};
    g.set("NGROUP", "7").set("CGROUP", "Retail");
    EXPECT_EQ(keyOf("Str(nGroup, 2)", g), " 7");
    EXPECT_EQ(keyOf("Upper(cGroup)", g), "RETAIL              ");

    Rec inv{{"IVNO", 'N', 6, 0},     {"CUNO", 'N', 6, 0}, {"DEPT", 'C', 10, 0}, {"IDATE", 'D', 8, 0},
            {"DISCOUNT", 'N', 5, 2}, {"DUE", 'N', 12, 2}, {"REM", 'M', 10, 0}};
    inv.set("IVNO", "123456").set("CUNO", "9").set("IDATE", "20260131").set("DUE", "-3.50");
    EXPECT_EQ(keyOf("Str(IvNo,6,0)", inv), "123456");
    EXPECT_EQ(keyOf("Str(CuNo,6,0)", inv), "     9");
    EXPECT_EQ(keyOf("DTOS(IDate)", inv), "20260131");
    inv.set("IDATE", "");
    EXPECT_EQ(keyOf("DTOS(IDate)", inv), "        ") << "an empty date keys as blanks";
    EXPECT_EQ(keyOf("Str(Due)", inv), "       -3.50") << "one argument: the field's own width and decimals";

    Rec itm{{"IVNO", 'N', 6, 0}, {"PRID", 'C', 10, 0}, {"QTY", 'N', 9, 2}};
    itm.set("IVNO", "17").set("PRID", "WIDGET");
    int len = 0;
    EXPECT_EQ(keyOf("PrID + Str(IvNo,6,0)", itm, &len), "WIDGET        17");
    EXPECT_EQ(len, 16);

    Rec pmt{{"IVNO", 'N', 6, 0}, {"PDATE", 'D', 8, 0}, {"PAMT", 'N', 12, 2}};
    pmt.set("IVNO", "5").set("PDATE", "19991231");
    EXPECT_EQ(keyOf("Str(IvNo,6,0)", pmt), "     5");
    EXPECT_EQ(keyOf("DTOS(PDate)", pmt), "19991231");

    Rec prod{{"PRID", 'C', 10, 0}, {"PDESC", 'C', 27, 0}};
    prod.set("PRID", "abc-1");
    EXPECT_EQ(keyOf("Upper(PrID)", prod), "ABC-1     ");

    Rec pur{{"PURPROD", 'C', 10, 0}, {"PURDATE", 'D', 8, 0}, {"PURQTY", 'N', 10, 2}};
    pur.set("PURPROD", "gizmo").set("PURDATE", "20250704");
    EXPECT_EQ(keyOf("Upper(PURProd) + DTOS(PURDate)", pur, &len), "GIZMO     20250704");
    EXPECT_EQ(len, 18);

    Rec lab{{"NAME", 'C', 40, 0}, {"TOPM", 'N', 8, 3}};
    lab.set("NAME", "Avery 5160");
    EXPECT_EQ(keyOf("Name", lab, &len), "Avery 5160" + std::string(30, ' '));
    EXPECT_EQ(len, 40);
}

TEST(KeyExpr, StrRoundsHalfAwayFromZeroAndFillsWithAsterisks)
{
    struct Case
    {
        const char *text;
        int width, dec;
        const char *expect;
    };
    const Case cases[] = {
        {"42", 6, 0, "    42"},     {"  2.675", 6, 2, "  2.68"},
        {"-2.675", 6, 2, " -2.68"}, {"0.5", 3, 0, "  1"},
        {"-0.5", 3, 0, " -1"},      {"1.49", 3, 0, "  1"},
        {"-0.004", 6, 2, "  0.00"}, {"9.995", 5, 2, "10.00"},
        {"9.995", 4, 2, "****"},    {"123456", 5, 0, "*****"},
        {"-12345", 6, 0, "-12345"}, {"-123456", 6, 0, "******"},
        {"", 4, 0, "   0"},         {"abc", 4, 0, "   0"},
        {"  12.3", 6, 3, "12.300"}, {"999999.5", 7, 0, "1000000"},
        {"-.5", 4, 1, "-0.5"},      {"7", 1, 0, "7"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(KeyExpr::formatStr(c.text, static_cast<int>(std::strlen(c.text)), c.width, c.dec), c.expect)
            << c.text << " " << c.width << "," << c.dec;
    Rec r{{"AMT", 'N', 10, 3}};
    r.set("AMT", "1234.565");
    EXPECT_EQ(keyOf("Str(Amt, 8, 2)", r), " 1234.57");
    EXPECT_EQ(keyOf("Str(Amt, 3)", r), "***");
    EXPECT_EQ(keyOf("Str(12.5, 4)", r), "  13") << "a constant";
}

// The peers' own reading of Str() (python's decimal arithmetic) agrees with
// ours on thousands of random numbers, widths and decimals.
TEST(KeyExpr, StrAgreesWithThePeersOnRandomNumbers)
{
    const QString peers = QStringLiteral(TLV_PEERS_DIR);
    if (!QFile::exists(peers + "/xbcommon.py"))
        GTEST_SKIP() << "peer scripts not found";
    std::mt19937 rng(2024);
    std::string input, ours;
    for (int i = 0; i < 3000; ++i) {
        int dec = static_cast<int>(rng() % 4);
        int width = 1 + static_cast<int>(rng() % 12);
        std::string num = rng() % 3 == 0 ? "-" : "";
        num += std::to_string(rng() % (rng() % 2 ? 100 : 10000000));
        int fracDigits = static_cast<int>(rng() % 5);
        if (fracDigits) {
            num += ".";
            for (int d = 0; d < fracDigits; ++d)
                num += static_cast<char>('0' + (rng() % 3 == 0 ? 5 : rng() % 10));
        }
        input += num + " " + std::to_string(width) + " " + std::to_string(dec) + "\n";
        ours += KeyExpr::formatStr(num.data(), static_cast<int>(num.size()), width, dec) + "|\n";
    }
    QTemporaryDir tmp;
    QFile f(tmp.filePath("in.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(input.data(), static_cast<qint64>(input.size()));
    f.close();
    const QString script = "import sys\nsys.dont_write_bytecode = True\nsys.path.insert(0, sys.argv[1])\n"
                           "from decimal import Decimal\nfrom xbcommon import clipper_str\n"
                           "for line in open(sys.argv[2]):\n"
                           "    n, w, d = line.split()\n"
                           "    print(clipper_str(Decimal(n), int(w), int(d)).decode() + '|')\n";
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script, peers, f.fileName()});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    std::string theirs = p.readAllStandardOutput().toStdString();
    // Compare line by line for a readable failure.
    size_t a = 0, b = 0, line = 0;
    std::string in = input;
    while (a < ours.size() && b < theirs.size()) {
        size_t ea = ours.find('\n', a), eb = theirs.find('\n', b);
        ASSERT_EQ(ours.substr(a, ea - a), theirs.substr(b, eb - b)) << "line " << line;
        a = ea + 1;
        b = eb + 1;
        ++line;
    }
    EXPECT_EQ(line, 3000u);
}

TEST(KeyExpr, LeftSubstrLowerConstantsAndAliases)
{
    Rec c = customer();
    c.set("LAST", "Smith").set("FIRST", "Anna");
    int len = 0;
    EXPECT_EQ(keyOf("Left(Last, 3)", c, &len), "Smi");
    EXPECT_EQ(len, 3);
    EXPECT_EQ(keyOf("Substr(Last, 2, 3)", c, &len), "mit");
    EXPECT_EQ(keyOf("Substr(Last, 19)", c, &len), "  ");
    EXPECT_EQ(len, 2);
    EXPECT_EQ(keyOf("Left(Last, 40)", c, &len).size(), 20u) << "cut to the value's width";
    EXPECT_EQ(keyOf("Lower(Left(Last,2)) + 'x' + \"y\"", c), "smxy");
    EXPECT_EQ(keyOf("Upper(Left(Last + First, 22))", c), "SMITH               AN");
    EXPECT_EQ(keyOf("CUST5->Last", c), keyOf("Last", c));
    EXPECT_EQ(keyOf("(Last)", c), keyOf("Last", c));
}

TEST(KeyExpr, RefusesWhatItCannotKey)
{
    Rec c = customer();
    const char *bad[] = {
        "Soundex(Last)",   // unknown function
        "Nope",            // unknown field
        "Upper(Nope)",     //
        "Str(Last, 6)",    // Str of text
        "Upper(CuNo)",     // Upper of a number
        "DTOS(Last)",      // DTOS of text
        "CuNo",            // a bare number would need the binary encoding
        "Comments",        // memo
        "Flag",            // logical
        "Last + CuNo",     // + of text and number
        "Str(CuNo, 300)",  // wider than any key
        "Str(CuNo, Last)", // width not a number
        "Str(CuNo, 6.5)",  //
        "Left(Last, 0)",   // empty key
        "Substr(Last, 0, 2)",
        "Substr(Last, 21)",
        "Upper(Last",
        "Upper(Last))",
        "Last +",
        "",
        "   ",
        "Last First",
        "'unterminated",
        "Last->",
        "Upper()",
        "Str()",
        "Email + Email + Email + Email + Email",
        "Last @ First",
        "Upper(Last, First)",
    };
    for (const char *e : bad) {
        KeyExpr k;
        EXPECT_EQ(k.parse(e, c.fields), e4expr) << e;
        EXPECT_FALSE(k.valid()) << e;
        EXPECT_FALSE(k.error().empty()) << e;
        EXPECT_EQ(k.evaluate(c.bytes.data()), "") << "an invalid expression yields nothing";
    }
    // Deep nesting is refused, not a stack overflow.
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "Upper(";
    deep += "Last";
    for (int i = 0; i < 5000; ++i)
        deep += ")";
    KeyExpr k;
    EXPECT_EQ(k.parse(deep, c.fields), e4expr);
}

// Random token soup: whatever parses must evaluate within the key length.
TEST(KeyExpr, RandomExpressionsParseOrFailCleanly)
{
    Rec c = customer();
    c.set("LAST", "Jones").set("CUNO", "-12.7");
    const char *tokens[] = {"Last",  "First", "CuNo",    "Zip", "Upper(", "Lower(", "Str(",
                            "DTOS(", "Left(", "Substr(", ")",   ",",      "+",      "6",
                            "2",     "0",     "'a'",     "(",   "Foo(",   "Email",  "1"};
    std::mt19937 rng(77);
    int parsed = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string e;
        int n = 1 + static_cast<int>(rng() % 8);
        for (int t = 0; t < n; ++t)
            e += tokens[rng() % std::size(tokens)];
        KeyExpr k;
        if (k.parse(e, c.fields) == 0) {
            ++parsed;
            ASSERT_GE(k.keyLen(), 1) << e;
            ASSERT_LE(k.keyLen(), 256) << e;
            std::string key = k.evaluate(c.bytes.data());
            ASSERT_EQ(key.size(), static_cast<size_t>(k.keyLen())) << e;
        } else {
            ASSERT_FALSE(k.error().empty()) << e;
        }
    }
    EXPECT_GT(parsed, 100);
}
