// tlvtool sendmail: the mail settings of a data directory tried from a shell,
// end to end against a real server.
#include "Aiosmtpd.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Settings.h"
#include "mail/MailConn.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace tlv;

namespace {

struct ToolRun
{
    int code;
    QString out;
};

ToolRun sendmail(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TLV_TOOL_PATH), QStringList{"sendmail"} + args);
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromLocal8Bit(p.readAll())};
}

// A data directory whose settings name the test's server.
void writeMailSettings(const QString &dir, const QString &host)
{
    db().reset();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    loadSettings();
    settings().MailHost = host;
    settings().MailID = "till";
    settings().MailAddr = "shop@example.com";
    settings().MailName = "Kestrel Shop";
    settings().MailReply = "";
    saveSettings();
    db().reset();
    QDir::setCurrent(previous);
}

} // namespace

TEST(TlvtoolSendmail, SendsStandardInputWithTheDirectorysSettings)
{
    test::Aiosmtpd server;
    ASSERT_NE(server.port(), 0) << server.diagnostics().toStdString();
    QTemporaryDir dir;
    ASSERT_EQ(createDataFiles(dir.path()).toStdString(), "");
    writeMailSettings(dir.path(), "127.0.0.1");

    const ToolRun r = sendmail({dir.path(), "--to", "ann@example.com", "--subject", "Mail settings test",
                                "--port", QString::number(server.port())},
                               "Hello from the shop.\n.\nBye\n");
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    const QJsonObject envelope = QJsonDocument::fromJson(server.file("message1.json")).object();
    EXPECT_EQ(envelope.value("mail_from").toString(), "shop@example.com");
    EXPECT_EQ(envelope.value("rcpt_tos").toArray(), QJsonArray({"ann@example.com"}));
    const QByteArray message = server.file("message1.eml");
    EXPECT_TRUE(message.startsWith("From: Kestrel Shop<shop@example.com>\r\nTo: ann@example.com\r\n"
                                   "Subject: Mail settings test\r\n"))
        << message.toStdString();
    EXPECT_TRUE(message.contains("\r\n\r\nHello from the shop.\r\n.\r\nBye")) << message.toStdString();
    EXPECT_FALSE(message.contains("Reply-To")) << "an empty reply-to writes no header";
}

TEST(TlvtoolSendmail, RefusesWithoutMailSettingsOrArguments)
{
    QTemporaryDir dir;
    ASSERT_EQ(createDataFiles(dir.path()).toStdString(), "");
    ToolRun r = sendmail({dir.path(), "--to", "ann@example.com"}, "x");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains("EMail Setup")) << r.out.toStdString();
    EXPECT_EQ(sendmail({dir.path()}, "x").code, 2);
    EXPECT_EQ(sendmail({dir.path(), "--to", "a@b.c", "--port", "99999"}, "x").code, 2);
}

TEST(TlvtoolSendmail, UnreachableServerIsReportedAsAFailure)
{
    QTemporaryDir dir;
    ASSERT_EQ(createDataFiles(dir.path()).toStdString(), "");
    writeMailSettings(dir.path(), "127.0.0.1");
    // Port 1 on the loopback address: nobody listens there.
    const ToolRun r = sendmail({dir.path(), "--to", "ann@example.com", "--port", "1"}, "x");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.startsWith("tlvtool: ")) << r.out.toStdString();
}

TEST(TlvtoolSendmail, MailSetupStoresTheConnectionAndSendmailSignsInOverStartTls)
{
    test::Aiosmtpd server("starttls");
    ASSERT_NE(server.port(), 0) << server.diagnostics().toStdString();
    QTemporaryDir dir;
    ASSERT_EQ(createDataFiles(dir.path()).toStdString(), "");

    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TLV_TOOL_PATH),
            {"mailsetup", dir.path(), "--host", "127.0.0.1", "--id", "till", "--from", "shop@example.com",
             "--port", QString::number(server.port()), "--security", "starttls", "--user", "till",
             "--password-stdin"});
    p.write("s3cret\n");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString out = QString::fromLocal8Bit(p.readAll());
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("Security: starttls\n")) << out.toStdString();
    EXPECT_FALSE(out.contains("s3cret"));

    QFile stored(QDir(dir.path()).filePath(mailConnectionFileName()));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_FALSE(stored.readAll().contains("s3cret")) << "the password is not kept as plain text";
    EXPECT_EQ(stored.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
    EXPECT_EQ(loadMailConnection(dir.path()).password, "s3cret");

    const QString ca = QStringLiteral(TLV_SOURCE_DIR "/tests/mail/tls/server.pem");
    ToolRun r = sendmail({dir.path(), "--to", "ann@example.com", "--subject", "Secure"}, "x\n");
    EXPECT_EQ(r.code, 1) << "the test's own certificate is not trusted without --cafile";
    EXPECT_TRUE(r.out.contains("secure connection failed")) << r.out.toStdString();
    r = sendmail({dir.path(), "--to", "ann@example.com", "--subject", "Secure", "--cafile", ca}, "x\n");
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(server.file("auth.log").contains("PLAIN till accepted tls=True"));
    EXPECT_TRUE(server.file("message1.eml").contains("Subject: Secure\r\n"));
}
