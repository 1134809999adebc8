// The SMTP client against a scripted server in the test process.
#include "mail/Smtp.h"
#include "ScriptedServer.h"
#include "mail/SendMail.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace tlv;
using tlv::test::ScriptedServer;
using tlv::test::ServerReply;

namespace {

const QByteArray contentType = "Content-Type: text/plain;                        charset=us-ascii";

struct Client
{
    explicit Client(quint16 port)
    {
        smtp.Host = QStringLiteral("127.0.0.1");
        smtp.Port = port;
        smtp.UserID = QStringLiteral("till");
        smtp.connectLimit = 5000;
        smtp.replyLimit = 5000;
        QObject::connect(&smtp, &TNMSMTP::connectedToServer, [this] { events << "connected"; });
        QObject::connect(&smtp, &TNMSMTP::success, [this] { events << "success"; });
        QObject::connect(&smtp, &TNMSMTP::invalidHost, [this] { events << "invalidHost"; });
        QObject::connect(&smtp, &TNMSMTP::connectionFailed, [this] { events << "connectionFailed"; });
        QObject::connect(&smtp, &TNMSMTP::authenticationFailed, [this] { events << "authenticationFailed"; });
        QObject::connect(&smtp, &TNMSMTP::failure, [this] { events << "failure"; });
        QObject::connect(&smtp, &TNMSMTP::recipientNotFound, [this](const QString &a, const QString &reply) {
            events << QStringLiteral("refused %1: %2").arg(a, reply);
        });
        TPostMessage &m = smtp.PostMessage;
        m.FromAddress = QStringLiteral("shop@example.com");
        m.FromName = QStringLiteral("Kestrel Shop");
        m.ToAddress =
            QStringList{QStringLiteral("Ann Lee <ann@example.com>"), QStringLiteral("bob@example.com")};
        m.Subject = QStringLiteral("Invoice 1001");
        m.LocalProgram = mailerName();
        m.ReplyTo = QStringLiteral("accounts@example.com");
        m.Body = QStringList{QStringLiteral("Dear Ann,\r\n.\r\n..two dots\r\n\r\nTotal: 10.00")};
    }

    // Connect, send, disconnect; the first failure's text, or "" when all went well.
    QString sendOne()
    {
        SmtpResult r = smtp.connectToServer();
        if (r)
            r = smtp.send();
        if (r)
            r = smtp.disconnectFromServer();
        return r.failure;
    }

    TNMSMTP smtp;
    QStringList events;
};

// Replies from the agreeable server, except the command starting with `prefix`.
auto replyTo(const QByteArray &prefix, ServerReply reply)
{
    return [prefix, reply](const QByteArray &command) -> std::optional<ServerReply> {
        if (command.startsWith(prefix))
            return reply;
        return std::nullopt;
    };
}

bool waitForClose(ScriptedServer &server, int count = 1)
{
    return QTest::qWaitFor([&] { return server.closedByClient >= count; }, 3000);
}

} // namespace

TEST(SmtpText, EnvelopeAddressReplyCodeAndContinuation)
{
    EXPECT_EQ(envelopeAddress("Ann Lee <ann@example.com>"), "ann@example.com");
    EXPECT_EQ(envelopeAddress("<a@x> and <b@y>"), "a@x");
    EXPECT_EQ(envelopeAddress("smtp:bob@example.com"), "bob@example.com");
    EXPECT_EQ(envelopeAddress("x:bob@example.com:y"), "bob@example.com");
    EXPECT_EQ(envelopeAddress("carl@example.com"), "carl@example.com");
    EXPECT_EQ(envelopeAddress("Nobody <>"), "");

    EXPECT_EQ(replyCode("250 OK\r\n"), 250);
    EXPECT_EQ(replyCode("550-5.1.1 no\r\n"), 550);
    EXPECT_EQ(replyCode("OK\r\n"), 0);
    EXPECT_EQ(replyCode(""), 0);
    EXPECT_EQ(replyCode("123456789012 x"), 1234567890); // at most ten digits

    EXPECT_TRUE(continuesReply("250-first\r\n"));
    EXPECT_TRUE(continuesReply(" more\r\n"));
    EXPECT_FALSE(continuesReply("250 last\r\n"));
    EXPECT_FALSE(continuesReply("25-\r\n"));
}

TEST(SmtpText, HeaderLinesAndTheirOrder)
{
    TExStringList list;
    list.setHeader("Subject", "one");
    list.setHeader("X-Mailer", "m");
    list.setHeader("SUBJECT", "two"); // replaces in place, ignoring case
    EXPECT_EQ(list.lines(), QStringList({"SUBJECT: two", "X-Mailer: m"}));
    list.setHeader("subject", "");
    EXPECT_EQ(list.lines(), QStringList({"X-Mailer: m"}));

    TPostMessage m;
    m.FromAddress = "shop@example.com";
    m.ToAddress = QStringList{"a@example.com", "B <b@example.com>"};
    m.ToBlindCarbonCopy = QStringList{"hidden@example.com"};
    m.LocalProgram = "Mailer";
    // No name, no subject, no reply address, no date: no lines for them.
    EXPECT_EQ(messageHeader(m).lines(),
              QStringList({"From: <shop@example.com>", "To: a@example.com,B <b@example.com>",
                           "X-Mailer: Mailer", "Mime-Version: 1.0", QString::fromLatin1(contentType)}));

    m.FromName = "Shop";
    m.ToCarbonCopy = QStringList{"c@example.com", "d@example.com"};
    m.Subject = "Hi";
    m.ReplyTo = "r@example.com";
    m.Date = "Mon, 3 Jun 2024 10:00:00 +0000";
    EXPECT_EQ(messageHeader(m).lines(),
              QStringList({"From: Shop<shop@example.com>", "To: a@example.com,B <b@example.com>",
                           "CC: c@example.com,d@example.com", "Subject: Hi", "X-Mailer: Mailer",
                           "Reply-To: r@example.com", "Date: Mon, 3 Jun 2024 10:00:00 +0000",
                           "Mime-Version: 1.0", QString::fromLatin1(contentType)}));
}

TEST(SmtpText, BodyLinesAreEndedAndDotStuffed)
{
    EXPECT_EQ(bodyBlock({"a\r\n.\r\n.b", "", "c\r\n"}), QByteArray("a\r\n..\r\n..b\r\nc\r\n"));
    EXPECT_EQ(bodyBlock({"x\r\n\r\ny"}), QByteArray("x\r\n\r\ny\r\n"));
    // Lone CR and LF end lines too, so a "." after one is stuffed as well.
    EXPECT_EQ(bodyBlock({"a\n.\rb\n\n"}), QByteArray("a\r\n..\r\nb\r\n\r\n"));
    EXPECT_EQ(bodyBlock({"caf\u00e9 \u20ac"}), QByteArray("caf\xe9 \x80\r\n"));
}

TEST(Smtp, SendsTheMessageAsWritten)
{
    ScriptedServer server;
    Client c(server.port());
    c.smtp.PostMessage.ToCarbonCopy = QStringList{"carl@example.com"};
    c.smtp.PostMessage.ToBlindCarbonCopy = QStringList{"Hidden <hidden@example.com>"};

    EXPECT_EQ(c.sendOne(), "");
    EXPECT_EQ(c.events, QStringList({"connected", "success"}));
    EXPECT_EQ(server.commands, QList<QByteArray>({"HELO till", "RSET", "MAIL FROM:<shop@example.com>",
                                                  "RCPT TO:<ann@example.com>", "RCPT TO:<bob@example.com>",
                                                  "RCPT TO:<carl@example.com>",
                                                  "RCPT TO:<hidden@example.com>", "DATA", ".", "QUIT"}));
    ASSERT_EQ(server.messages.size(), 1);
    EXPECT_EQ(server.messages[0], "From: Kestrel Shop<shop@example.com>\r\n"
                                  "To: Ann Lee <ann@example.com>,bob@example.com\r\n"
                                  "CC: carl@example.com\r\n"
                                  "Subject: Invoice 1001\r\n"
                                  "X-Mailer: Kestrine Brelt Invoicing\r\n"
                                  "Reply-To: accounts@example.com\r\n"
                                  "Mime-Version: 1.0\r\n" +
                                      contentType +
                                      "\r\n\r\n\r\n"
                                      "Dear Ann,\r\n"
                                      "..\r\n"
                                      "...two dots\r\n"
                                      "\r\n"
                                      "Total: 10.00\r\n");
    // The recipients are used up; sender, subject and text stay for the next message.
    const TPostMessage &m = c.smtp.PostMessage;
    EXPECT_TRUE(m.ToAddress.isEmpty() && m.ToCarbonCopy.isEmpty() && m.ToBlindCarbonCopy.isEmpty());
    EXPECT_EQ(m.Subject, "Invoice 1001");
    EXPECT_EQ(m.Body.size(), 1);
    EXPECT_FALSE(c.smtp.isConnected());

    // The next message goes over a new connection.
    c.smtp.PostMessage.ToAddress = QStringList{"dora@example.com"};
    EXPECT_EQ(c.sendOne(), "");
    EXPECT_EQ(server.connections, 2);
    EXPECT_EQ(server.messages.size(), 2);
}

TEST(Smtp, MultiLineRepliesStayWithTheirCommand)
{
    ScriptedServer server;
    server.greeting = {"220-scripted.test\r\n  no spam\r\n220 ready\r\n"};
    server.script = [](const QByteArray &cmd) -> std::optional<ServerReply> {
        if (cmd.startsWith("HELO"))
            return ServerReply{"250-hello\r\n250 SIZE 1000\r\n"};
        if (cmd.startsWith("MAIL"))
            return ServerReply{"250-sender\r\n250 OK\r\n"};
        if (cmd == "RCPT TO:<bob@example.com>")
            return ServerReply{"550-5.1.1 no such user\r\n550 5.1.1 bob\r\n"};
        return std::nullopt;
    };
    Client c(server.port());
    c.smtp.PostMessage.ToAddress << QStringLiteral("carl@example.com");

    EXPECT_EQ(c.sendOne(), "");
    // Bob is refused; Ann and Carl before and after him still get the message.
    EXPECT_EQ(c.events,
              QStringList({"connected", "refused bob@example.com: 550-5.1.1 no such user\n550 5.1.1 bob",
                           "success"}));
    EXPECT_TRUE(server.commands.contains("RCPT TO:<carl@example.com>"));
    EXPECT_EQ(server.messages.size(), 1);
}

TEST(Smtp, RefusedHeloAndGreeting)
{
    {
        ScriptedServer server;
        server.script = replyTo("HELO", {"501 Syntax: HELO hostname\r\n"});
        Client c(server.port());
        c.smtp.UserID.clear();
        SmtpResult r = c.smtp.connectToServer();
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.failure, "Authentication failed");
        EXPECT_EQ(c.events, QStringList({"authenticationFailed"}));
        EXPECT_EQ(server.commands, QList<QByteArray>({"HELO "}));
        EXPECT_TRUE(waitForClose(server));
        EXPECT_FALSE(c.smtp.isConnected());
        EXPECT_EQ(c.smtp.send().failure, "Not Connected");
        EXPECT_EQ(server.commands.size(), 1); // no MAIL FROM ever
    }
    {
        ScriptedServer server;
        server.greeting = {"421 scripted.test too busy\r\n"};
        Client c(server.port());
        EXPECT_EQ(c.sendOne(), "421 scripted.test too busy");
        EXPECT_TRUE(server.commands.isEmpty());
        EXPECT_TRUE(c.events.isEmpty());
    }
}

TEST(Smtp, RefusalsEndTheMessageAndTheConnection)
{
    struct Case
    {
        QByteArray command;
        QByteArray reply;
        QStringList events;
    };
    const QList<Case> cases = {
        {"RSET", "502 no RSET today", {"connected"}},
        {"MAIL", "553 sender rejected", {"connected"}},
        {"DATA", "554 no valid recipients", {"connected"}},
        {".", "552 message too big", {"connected", "failure"}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.command.constData());
        ScriptedServer server;
        server.script = replyTo(k.command, {k.reply + "\r\n"});
        Client c(server.port());
        EXPECT_EQ(c.sendOne(), QString::fromLatin1(k.reply));
        EXPECT_EQ(c.events, k.events);
        EXPECT_FALSE(c.smtp.isBusy());
        EXPECT_FALSE(c.smtp.isConnected());
        EXPECT_TRUE(waitForClose(server));
        EXPECT_FALSE(server.commands.contains("QUIT"));
        EXPECT_EQ(server.messages.size(), k.command == "." ? 1 : 0);
        // A refused message leaves its recipients for another try.
        EXPECT_EQ(c.smtp.PostMessage.ToAddress.size(), 2);
    }
}

TEST(Smtp, StateAndHeaderChecks)
{
    ScriptedServer server;
    Client c(server.port());
    EXPECT_EQ(c.smtp.send().failure, "Not Connected");
    ASSERT_TRUE(c.smtp.connectToServer().ok);
    EXPECT_EQ(c.smtp.connectToServer().failure, "Already connected");

    c.smtp.PostMessage.FromAddress.clear();
    EXPECT_EQ(c.smtp.send().failure, "Incomplete Header");
    EXPECT_FALSE(c.smtp.isConnected());

    ASSERT_TRUE(c.smtp.connectToServer().ok);
    c.smtp.PostMessage.FromAddress = "shop@example.com";
    c.smtp.PostMessage.ToAddress.clear();
    EXPECT_EQ(c.smtp.send().failure, "Incomplete Header");
    EXPECT_EQ(server.commands, QList<QByteArray>({"HELO till", "HELO till"}));

    // A reply without a code is not taken for a yes.
    ScriptedServer odd;
    odd.script = replyTo(".", {"Thanks!\r\n"});
    Client d(odd.port());
    EXPECT_EQ(d.sendOne(), "The mail server sent an unexpected reply: Thanks!");
    EXPECT_FALSE(d.events.contains("success"));
}

TEST(Smtp, UnansweredAndClosedConnections)
{
    struct Case
    {
        const char *name;
        ServerReply greeting;
        QByteArray command; // the command the script spoils
        ServerReply reply;
        QString failure;
    };
    const QString timedOut = QStringLiteral("The mail server did not answer within 0.4 seconds");
    const QString closed = QStringLiteral("The mail server closed the connection");
    const QList<Case> cases = {
        {"silent greeting", {}, "", {}, timedOut},
        {"silent after the text", {"220 hi\r\n"}, ".", {}, timedOut},
        {"closed at once", {"", true}, "", {}, closed},
        {"closed mid-greeting", {"220-one\r\n220-tw", true}, "", {}, closed},
        {"closed mid-reply", {"220 hi\r\n"}, "MAIL", {"250-sender\r\n", true}, closed},
        {"closed without a reply", {"220 hi\r\n"}, "DATA", {"", true}, closed},
        {"answer after the limit", {"220 hi\r\n"}, "RCPT", {"250 OK\r\n", false, 2000}, timedOut},
        // The server stops taking the text: the send ends at the limit
        // whether the text sticks in the system's buffers or all of it fits
        // and the server never answers its end.
        {"stops reading the text", {"220 hi\r\n"}, "DATA", {"354 go\r\n", false, 0, true}, timedOut},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        ScriptedServer server;
        server.greeting = k.greeting;
        if (!k.command.isEmpty())
            server.script = replyTo(k.command, k.reply);
        Client c(server.port());
        c.smtp.replyLimit = 400;
        if (k.reply.stall)
            c.smtp.PostMessage.Body = QStringList(QString(4 * 1024 * 1024, QLatin1Char('x')));
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(c.sendOne(), k.failure);
        // Building and queueing a text that size takes a while under the sanitizers.
        EXPECT_LT(t.elapsed(), k.reply.stall ? 15000 : 2000);
        if (k.failure == timedOut) {
            EXPECT_GE(t.elapsed(), 400);
        }
        EXPECT_FALSE(c.smtp.isBusy());
        EXPECT_FALSE(c.smtp.isConnected());
        EXPECT_FALSE(c.events.contains("success"));
    }
}

TEST(Smtp, ConnectFailures)
{
    quint16 unused;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        unused = probe.serverPort();
    }
    Client c(unused);
    EXPECT_EQ(c.sendOne(), "Connection Failed");
    EXPECT_EQ(c.events, QStringList({"connectionFailed"}));

    Client d(25);
    d.smtp.Host = "no-such-host.invalid";
    EXPECT_EQ(d.sendOne(), "Host Lookup Failed");
    EXPECT_TRUE(d.events.isEmpty());

    // A name is looked up; the server listens on 127.0.0.1 only, and
    // "localhost" may give ::1 first.
    ScriptedServer server;
    Client e(server.port());
    e.smtp.Host = "localhost";
    EXPECT_EQ(e.sendOne(), "");
    EXPECT_EQ(server.messages.size(), 1);
}

TEST(Smtp, LineBreaksCannotStartHeadersOrCommands)
{
    ScriptedServer server;
    Client c(server.port());
    TPostMessage &m = c.smtp.PostMessage;
    m.Subject = "Hi\r\nBcc: evil@example.com";
    m.FromName = "Shop\nX-Evil: 1";
    m.ToAddress = QStringList{"Bob\r\nX-Also: 2 <bob@example.com>"};
    m.ReplyTo = "r@example.com\rX-Third: 3";
    m.Body = QStringList{"one\n.\r\nQUIT\rtwo"};
    EXPECT_EQ(c.sendOne(), "");
    ASSERT_EQ(server.messages.size(), 1);
    EXPECT_EQ(server.messages[0], "From: Shop X-Evil: 1<shop@example.com>\r\n"
                                  "To: Bob  X-Also: 2 <bob@example.com>\r\n"
                                  "Subject: Hi  Bcc: evil@example.com\r\n"
                                  "X-Mailer: Kestrine Brelt Invoicing\r\n"
                                  "Reply-To: r@example.com X-Third: 3\r\n"
                                  "Mime-Version: 1.0\r\n" +
                                      contentType + "\r\n\r\n\r\none\r\n..\r\nQUIT\r\ntwo\r\n");
    EXPECT_EQ(server.commands.count("QUIT"), 1);

    // Envelope addresses and the user ID go into command lines: refused outright.
    ScriptedServer second;
    Client d(second.port());
    d.smtp.PostMessage.ToAddress << "<carl@example.com\r\nRCPT TO:evil@example.com>";
    EXPECT_EQ(d.sendOne(),
              "The recipient's address \"carl@example.com  RCPT TO:evil@example.com\" contains a line break");
    EXPECT_EQ(second.commands, QList<QByteArray>({"HELO till"}));

    d.smtp.PostMessage.ToAddress = QStringList{"ann@example.com"};
    d.smtp.PostMessage.FromAddress = "shop@example.com>\r\nRCPT TO:<evil@example.com";
    EXPECT_EQ(d.sendOne(), "The sender's address contains a line break");

    d.smtp.UserID = "till\r\nMAIL FROM:<evil@example.com>";
    EXPECT_EQ(d.sendOne(), "The mail user ID must not contain a line break");
    EXPECT_EQ(second.connections, 2);
    EXPECT_EQ(second.commands.count("HELO till"), 2);
}

TEST(Smtp, BusyClientRefusesASecondSendAndCanBeCancelled)
{
    ScriptedServer server;
    server.script = replyTo(".", {"250 queued\r\n", false, 300});
    Client c(server.port());
    ASSERT_TRUE(c.smtp.connectToServer().ok);
    QStringList during;
    // Runs while the first send waits for the reply to its text.
    QTimer::singleShot(100, [&] {
        during << c.smtp.send().failure << c.smtp.connectToServer().failure
               << c.smtp.disconnectFromServer().failure;
    });
    EXPECT_TRUE(c.smtp.send().ok);
    ASSERT_EQ(during.size(), 3);
    for (const QString &f : during)
        EXPECT_EQ(f, "Another message is being sent; try again when it has gone");
    EXPECT_TRUE(c.smtp.disconnectFromServer().ok);
    EXPECT_EQ(server.messages.size(), 1);
    EXPECT_EQ(server.commands.count("RSET"), 1);

    ScriptedServer silent;
    silent.script = replyTo(".", {});
    Client d(silent.port());
    QTimer::singleShot(200, [&] { d.smtp.cancel(); });
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(d.sendOne(), "Socket readln aborted");
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_FALSE(d.smtp.isBusy());
    // Cancelling ends that wait only: the next message goes.
    d.smtp.PostMessage.ToAddress = QStringList{"ann@example.com"};
    silent.script = nullptr;
    EXPECT_EQ(d.sendOne(), "");
}

TEST(Smtp, QuitRefusedIsReported)
{
    ScriptedServer server;
    server.script = replyTo("QUIT", {"421 closing anyway\r\n", true});
    Client c(server.port());
    ASSERT_TRUE(c.smtp.connectToServer().ok);
    ASSERT_TRUE(c.smtp.send().ok);
    EXPECT_EQ(c.smtp.disconnectFromServer().failure, "421 closing anyway");
    EXPECT_FALSE(c.smtp.isConnected());
}
