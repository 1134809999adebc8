// tlvtool check, reindex and pack on a demo directory, run as a user would.
#include "data/DataLock.h"
#include "support/TempDir.h"

#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct ToolRun
{
    int code;
    QString out;
};

ToolRun tlvtool(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TLV_TOOL_PATH), args);
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitCode(), QString::fromLocal8Bit(p.readAll())};
}

QString lastLine(const QString &text)
{
    return text.trimmed().split('\n').last();
}

} // namespace

TEST(TlvtoolCheck, DemoIsCleanDamageIsFoundAndReindexMendsIt)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("shop");
    ASSERT_EQ(tlvtool({"demo", data}).code, 0);
    ToolRun r = tlvtool({"check", data});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(lastLine(r.out), "28 passed, 0 failed"); // 11 tables and 17 tags

    // Damage the customer-number tag: the first key of its one page no longer
    // matches its record. Slot 0 of the page gives the item's place; the key
    // follows the item's child and record numbers.
    QFile f(data + "/ccno.ntx");
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_EQ(f.size(), 2048);
    f.seek(1024 + 2);
    const QByteArray slot = f.read(2);
    const int item = uchar(slot[0]) | uchar(slot[1]) << 8;
    f.seek(1024 + item + 8);
    f.write("ZZZZZZ");
    f.close();
    r = tlvtool({"check", data});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(
        r.out.contains("CUST5.DBF tag ccno: record 1 has the key \"ZZZZZZ\" but should have \"     1\""))
        << r.out.toStdString();
    EXPECT_TRUE(lastLine(r.out).endsWith(" failed")) << r.out.toStdString();
    EXPECT_FALSE(lastLine(r.out).endsWith(" 0 failed"));

    r = tlvtool({"reindex", data});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("Rebuilding Indexes")) << r.out.toStdString();
    r = tlvtool({"check", data});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();

    r = tlvtool({"pack", data});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("Packing Data Files"));
    EXPECT_EQ(tlvtool({"check", data}).code, 0);
}

TEST(TlvtoolCheck, MissingTableIsAProblemNotACrash)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("shop");
    ASSERT_EQ(tlvtool({"init", data}).code, 0);
    ASSERT_TRUE(QFile::remove(data + "/GROUPS.dbf"));
    const ToolRun r = tlvtool({"check", data});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("GROUPS.DBF: cannot be opened")) << r.out.toStdString();
    EXPECT_EQ(tlvtool({"check", dir.filePath("nowhere")}).code, 1);
}

// The tool shares the program's lock on the data directory, repairs what an
// interrupted run left behind, says what it could not pack, and its check
// sees a table cut short under its tags.
TEST(TlvtoolCheck, LockRepairPackFailuresAndCutTables)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("shop");
    ASSERT_EQ(tlvtool({"demo", data}).code, 0);
    {
        tlv::DataLock held(data); // the program at work on the data
        ASSERT_TRUE(held.acquired());
        for (const char *command : {"pack", "reindex", "check"}) {
            const ToolRun r = tlvtool({command, data});
            EXPECT_EQ(r.code, 1) << command;
            EXPECT_TRUE(r.out.contains("in use")) << r.out.toStdString();
        }
    }
    // A run cut short with stale tags: the next tool call builds them again.
    QFile cust(data + "/CUST5.dbf");
    ASSERT_TRUE(QFile::copy(data + "/ccno.ntx", data + "/keep.ntx"));
    ASSERT_EQ(tlvtool({"pack", data}).code, 0);
    QFile::remove(data + "/ccno.ntx");
    QFile::rename(data + "/keep.ntx", data + "/ccno.ntx");
    QFile mark(data + "/tarlvin.lck");
    ASSERT_TRUE(mark.open(QIODevice::WriteOnly | QIODevice::Truncate));
    mark.write("running\n");
    mark.close();
    // A check only looks: the repair is still due afterwards.
    ToolRun r = tlvtool({"check", data});
    EXPECT_TRUE(r.out.contains("did not end properly")) << r.out.toStdString();
    r = tlvtool({"reindex", data});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("did not end properly")) << r.out.toStdString();
    EXPECT_EQ(tlvtool({"check", data}).code, 0);

    // A read-only table is not packed, and the tool says so.
    QFile::setPermissions(data + "/PMT.dbf", QFileDevice::ReadOwner);
    r = tlvtool({"pack", data});
    QFile::setPermissions(data + "/PMT.dbf", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (::geteuid() != 0) { // root writes anyway
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.out.contains("PMT.DBF was not packed")) << r.out.toStdString();
    }

    // The customer table cut to its header, its count zeroed: its tags still list keys.
    ASSERT_TRUE(cust.open(QIODevice::ReadWrite));
    const QByteArray head = cust.read(32);
    const int headerLen = uchar(head[8]) | uchar(head[9]) << 8;
    cust.resize(headerLen);
    cust.seek(4);
    cust.write(QByteArray(4, '\0'));
    cust.close();
    r = tlvtool({"check", data});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("CUST5.DBF tag ccno: lists record 1, which does not exist"))
        << r.out.toStdString();
}
