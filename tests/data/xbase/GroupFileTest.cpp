// Group files: the list of a table's tag files.
#include "Cgp.h"
#include "xbase.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

using namespace xbase;

namespace {

void write(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

} // namespace

TEST(GroupFile, ListsNamesSkippingCommentsAndBlankLines)
{
    QTemporaryDir tmp;
    std::string p = QDir(tmp.path()).filePath("CUST5.cgp").toStdString();
    write(p, "# customers\r\ncName.ntx\r\n\r\n  ; old tag\n  ccno  \nczip.NTX trailing "
             "words\n\tccomp\ncEmail.ntx");
    std::vector<std::string> tags;
    ASSERT_EQ(readGroupFile(p, tags), 0);
    EXPECT_EQ(tags, (std::vector<std::string>{"cName.ntx", "ccno", "czip.NTX", "ccomp", "cEmail.ntx"}));

    ASSERT_EQ(writeGroupFile(p, {"Inv.ntx", "InvC.ntx"}), 0);
    ASSERT_EQ(readGroupFile(p, tags), 0);
    EXPECT_EQ(tags, (std::vector<std::string>{"Inv.ntx", "InvC.ntx"}));
    write(p, "");
    ASSERT_EQ(readGroupFile(p, tags), 0);
    EXPECT_TRUE(tags.empty());
}

TEST(GroupFile, RefusesMissingAndImplausibleFiles)
{
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    std::vector<std::string> tags{"stale"};
    EXPECT_EQ(readGroupFile(dir.filePath("none.cgp").toStdString(), tags), e4index);
    EXPECT_TRUE(tags.empty());
    EXPECT_EQ(readGroupFile(tmp.path().toStdString(), tags), e4index) << "a directory";
    std::string p = dir.filePath("x.cgp").toStdString();
    for (const char *text : {"../other.ntx\n", "sub/tag.ntx\n", "a\\b.ntx\n", "..\n", "bin\x01ary\n"}) {
        write(p, text);
        EXPECT_EQ(readGroupFile(p, tags), e4index) << text;
    }
    write(p, std::string(100000, 'x'));
    EXPECT_EQ(readGroupFile(p, tags), e4index) << "far too long for a list of tags";
    EXPECT_EQ(writeGroupFile(dir.filePath("no/such/dir.cgp").toStdString(), {"a"}), e4create);
}

TEST(GroupFile, TagFilesAreFoundWithoutRegardToCase)
{
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    write(dir.filePath("cName.ntx").toStdString(), "x");
    write(dir.filePath("INV.NTX").toStdString(), "x");
    const std::string d = tmp.path().toStdString();
    EXPECT_EQ(resolveTagFile(d, "cname.ntx"), d + "/cName.ntx");
    EXPECT_EQ(resolveTagFile(d, "CNAME"), d + "/cName.ntx");
    EXPECT_EQ(resolveTagFile(d, "inv"), d + "/INV.NTX");
    EXPECT_EQ(resolveTagFile(d, "invc"), "");
    EXPECT_EQ(findFileNoCase(d, "inv.ntx"), d + "/INV.NTX");
    EXPECT_EQ(findFileNoCase(d + "/missing", "inv.ntx"), "");
}
