// The SMTP client against a real server: aiosmtpd on a free loopback port,
// with a handler that saves every message and its envelope.
#include "Aiosmtpd.h"
#include "mail/SendMail.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

using namespace tlv;

namespace {

using tlv::test::Aiosmtpd;

MailJob job(quint16 port)
{
    MailJob j;
    j.host = "127.0.0.1";
    j.port = port;
    j.userId = "till";
    j.fromAddress = "shop@example.com";
    j.fromName = "Kestrel Shop";
    j.replyTo = "accounts@example.com";
    j.recipients = QStringList{"Ann Lee <ann@example.com>", "refuse-me@example.com", "bob@example.com"};
    j.subject = "  Invoice 1001 ";
    j.body = "Dear Ann,\r\n.\r\n.hidden dot\r\n\r\nTotal: 10.00";
    j.connectLimit = 10000;
    j.replyLimit = 10000;
    return j;
}

} // namespace

TEST(SmtpAiosmtpd, ServerReceivesTheMessageAndEnvelope)
{
    Aiosmtpd server;
    ASSERT_NE(server.port(), 0) << server.diagnostics().toStdString();

    const MailOutcome out = sendMail(job(server.port()));
    EXPECT_TRUE(out.ok) << out.failure.toStdString();
    EXPECT_TRUE(out.delivered);
    EXPECT_EQ(out.refused, QStringList({"refuse-me@example.com"}));

    const QJsonObject envelope = QJsonDocument::fromJson(server.file("message1.json")).object();
    EXPECT_EQ(envelope.value("helo").toString(), "till");
    EXPECT_EQ(envelope.value("mail_from").toString(), "shop@example.com");
    EXPECT_EQ(envelope.value("rcpt_tos").toArray(), QJsonArray({"ann@example.com", "bob@example.com"}));
    EXPECT_EQ(server.file("message1.eml"),
              QByteArray("From: Kestrel Shop<shop@example.com>\r\n"
                         "To: Ann Lee <ann@example.com>,refuse-me@example.com,bob@example.com\r\n"
                         "Subject: Invoice 1001\r\n"
                         "X-Mailer: Kestrine Brelt Invoicing\r\n"
                         "Reply-To: accounts@example.com\r\n"
                         "Mime-Version: 1.0\r\n"
                         "Content-Type: text/plain;                        charset=us-ascii\r\n"
                         "\r\n"
                         "\r\n"
                         "Dear Ann,\r\n"
                         ".\r\n"
                         ".hidden dot\r\n"
                         "\r\n"
                         "Total: 10.00\r\n"));
    EXPECT_TRUE(server.file("message2.eml").isEmpty());

    std::cout << "---- aiosmtpd log ----\n" << server.file("server.log").toStdString() << "----\n";
}

TEST(SmtpAiosmtpd, EmptyUserIdIsRefused)
{
    Aiosmtpd server;
    ASSERT_NE(server.port(), 0) << server.diagnostics().toStdString();
    MailJob j = job(server.port());
    j.userId.clear();
    const MailOutcome out = sendMail(j);
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(out.delivered);
    EXPECT_EQ(out.failure, "Authentication failed");
    EXPECT_TRUE(server.file("message1.eml").isEmpty());
    EXPECT_TRUE(server.file("server.log").contains(">> b'HELO '")) << server.file("server.log").toStdString();

    j.host.clear();
    EXPECT_EQ(sendMail(j).failure, mailSetupMessage());
}
