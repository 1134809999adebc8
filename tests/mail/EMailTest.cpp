// The e-mail sender, its window and bulk e-mail: in the program's own
// windows and tables, and against aiosmtpd, whose messages are decoded by
// Python's own mail parser.
#include "mail/EMail.h"
#include "Aiosmtpd.h"
#include "ScriptedServer.h"
#include "data/Catalogue.h"
#include "mail/BulkMail.h"
#include "mail/EMailSetupU.h"
#include "mail/EMailU.h"
#include "mail/MailConn.h"
#include "mail/SendMail.h"
#include "support/Modal.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <iostream>

using namespace tlv;
using namespace tlv::test;

namespace {

// What Python's mail parser makes of a message as it arrived.
QJsonObject decoded(const QByteArray &message)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("m.eml"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(message);
    f.close();
    QProcess p;
    p.start("/usr/bin/python3",
            {"-c",
             "import email, json, sys\n"
             "from email import policy\n"
             "m = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=policy.default)\n"
             "print(json.dumps({'subject': m['subject'], 'from': m['from'].addresses[0].display_name,\n"
             "  'to': len(m['to'].addresses), 'charset': m.get_content_charset(),\n"
             "  'body': m.get_content()}))\n",
             dir.filePath("m.eml")});
    EXPECT_TRUE(p.waitForFinished(20000));
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QStringList addresses(int n)
{
    QStringList list;
    for (int i = 1; i <= n; ++i)
        list << QStringLiteral("customer-number-%1-with-a-long-mailbox-name@example.com").arg(i);
    return list;
}

class EMailTest : public WindowDataTest
{
protected:
    void SetUp() override
    {
        WindowDataTest::SetUp();
        emailSender() = EMailSender{};
    }
    // Mail settings naming a local server on `port`.
    void mailSettings(quint16 port)
    {
        settings().MailHost = "127.0.0.1";
        settings().MailID = "till";
        settings().MailAddr = "shop@example.com";
        settings().MailName = "Kestrel Café";
        MailConnection c;
        c.port = port;
        ASSERT_TRUE(saveMailConnection(c, QDir::currentPath()));
    }
};

} // namespace

TEST_F(EMailTest, SendWithoutSenderAddressShowsTheSetUpMessageAndCloses)
{
    settings().MailHost = "mail.example.com";
    emailSender().recipients = {"ann@example.com"};
    TEMailF window;
    showActive(window);
    m_ui.expect(Answer::Ok, "Unable to send email. Choose \"Preferences\" then \"EMail Setup\" before");
    click(&window, "BtnSend");
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(emailSender().sent());
    ASSERT_EQ(m_ui.boxes().size(), 1);
    EXPECT_EQ(m_ui.boxes()[0].kind, BoxKind::Plain);
}

TEST_F(EMailTest, AFailedSendKeepsTheWindowOpenWithTheEventBoxFirst)
{
    mailSettings(1); // nobody listens on port 1 of the loopback address
    emailSender().recipients = {"ann@example.com"};
    TEMailF window;
    showActive(window);
    child<QPlainTextEdit>(window, "Memo1")->setPlainText("Kept");
    m_ui.expect(Answer::Ok, "Connection Failed").expect(Answer::Ok, "Connection Failed");
    click(&window, "BtnSend");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(child<QPlainTextEdit>(window, "Memo1")->toPlainText(), "Kept");
    EXPECT_FALSE(emailSender().sent());
}

TEST_F(EMailTest, SetupWindowKeepsTheSettingsAndTheConnection)
{
    {
        TEMailSetup window;
        showActive(window);
        const char *fields[] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5"};
        const char *typed[] = {" smtp.example.com ", "till", "shop@example.com", "Kestrel Shop", ""};
        for (int i = 0; i < 5; ++i)
            child<QLineEdit>(window, fields[i])->setText(typed[i]);
        child<QComboBox>(window, "ComboSecurity")->setCurrentIndex(1);
        EXPECT_EQ(child<QSpinBox>(window, "SpinPort")->value(), 587) << "the usual port follows the choice";
        child<QLineEdit>(window, "EditUser")->setText("shop@example.com");
        child<QLineEdit>(window, "EditPassword")->setText("app password");
        click(&window, "BtnSave");
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(settings().MailHost, "smtp.example.com");
    EXPECT_TRUE(mailConfigured());
    resetSettings();
    loadSettings();
    EXPECT_EQ(settings().MailName, "Kestrel Shop");
    const MailConnection c = loadMailConnection(QDir::currentPath());
    EXPECT_EQ(c.port, 587);
    EXPECT_EQ(c.security, TNMSMTP::Security::StartTls);
    EXPECT_EQ(c.user, "shop@example.com");
    EXPECT_EQ(c.password, "app password");

    TEMailSetup again;
    showActive(again);
    EXPECT_EQ(child<QLineEdit>(again, "Edit3")->text(), "shop@example.com");
    EXPECT_EQ(child<QComboBox>(again, "ComboSecurity")->currentText(), "STARTTLS");
    EXPECT_EQ(child<QSpinBox>(again, "SpinPort")->value(), 587);
    click(&again, "BtnCancel");
}

TEST_F(EMailTest, BulkMailGoesInBatchesOfTwentyAndOnlyTheFirstIsShown)
{
    struct Case
    {
        int addresses;
        bool userSends;   // in the window shown for the first batch
        int failingSend;  // the later send that fails (1-based), 0 none
        QList<int> shown; // batch sizes shown in the window
        QList<int> sent;  // batch sizes sent without it
    } cases[] = {
        {45, true, 0, {20}, {20, 5}}, {45, false, 0, {20}, {}},  // cancelled: nothing at all is sent
        {7, true, 0, {7}, {}},        {60, true, 1, {20}, {20}}, // a failure ends the bulk e-mail
        {0, true, 0, {}, {}},
    };
    for (const Case &c : cases) {
        QList<int> shown, sent;
        BulkMailHooks hooks;
        hooks.compose = [&](const QStringList &r) {
            shown << int(r.size());
            return c.userSends;
        };
        hooks.send = [&](const QStringList &r) {
            sent << int(r.size());
            return int(sent.size()) != c.failingSend;
        };
        const BulkMailResult result = sendInBatches(addresses(c.addresses), hooks);
        EXPECT_EQ(shown, c.shown) << c.addresses;
        EXPECT_EQ(sent, c.sent) << c.addresses;
        EXPECT_EQ(result.stopped, !c.userSends || c.failingSend != 0) << c.addresses;
    }
}

TEST_F(EMailTest, BulkAddressesInPostalCodeOrderOfTheChosenGroupsWithAnAtSign)
{
    db().cust5.open();
    struct Row
    {
        const char *zip;
        int group;
        const char *email;
        bool deleted = false;
    } rows[] = {
        {"30000", 1, "  carla@example.com  "}, {"10000", 1, "x"},  {"20000", 1, "@example.com"},
        {"15000", 2, "other@example.com"},     {"05000", 1, "x@"}, {"25000", 1, "gone@example.com", true},
        {"12000", 3, "bea@example.com"},
    };
    for (const Row &r : rows) {
        appendRecord(db().cust5, [&](CustomerRecord &b) {
            b.zip = r.zip;
            b.ngroup = r.group;
            b.email = r.email;
        });
        if (r.deleted)
            db().cust5.markDeleted();
    }
    EXPECT_EQ(bulkMailAddresses({1, 3}), QStringList({"x@", "bea@example.com", "carla@example.com"}));
}

TEST_F(EMailTest, BulkMessageArrivesWithTwentyRecipientsAndTextInUtf8)
{
    Aiosmtpd server;
    ASSERT_NE(server.port(), 0) << server.diagnostics().toStdString();
    mailSettings(server.port());
    const QString subject = QString::fromUtf8("Frühjahr: café é€");
    const QString text =
        QString::fromUtf8("Grüße,\nthe price is 10 € a piece.\n.\n") + QString(90, QChar(0xe9));

    BulkMailHooks hooks;
    hooks.compose = [&](const QStringList &r) {
        emailSender().recipients = r;
        onModal<TEMailF>([&](TEMailF *w) {
            w->findChild<QLineEdit *>("Edit2")->setText(subject);
            w->findChild<QPlainTextEdit *>("Memo1")->setPlainText(text);
            click(w, "BtnSend");
        });
        return showEMailWindow(nullptr);
    };
    hooks.send = [](const QStringList &r) {
        emailSender().recipients = r;
        return emailSender().send() == EMailSender::Outcome::Sent;
    };
    const BulkMailResult result = sendInBatches(addresses(23), hooks);
    EXPECT_EQ(result.messages, 2);
    EXPECT_FALSE(result.stopped);

    const QJsonObject first = decoded(server.file("message1.eml"));
    std::cout << "---- decoded ----\n" << QJsonDocument(first).toJson().toStdString() << "----\n";
    EXPECT_EQ(first.value("to").toInt(), 20);
    EXPECT_EQ(first.value("subject").toString(), subject);
    EXPECT_EQ(first.value("from").toString(), QString::fromUtf8("Kestrel Café"));
    EXPECT_EQ(first.value("charset").toString(), "utf-8");
    EXPECT_EQ(first.value("body").toString(), "\n" + text + "\n");
    EXPECT_EQ(
        QJsonDocument::fromJson(server.file("message1.json")).object().value("rcpt_tos").toArray().size(),
        20);
    // Only ASCII on the way; text lines of 76 characters at most, header
    // lines (the "To" line of twenty long addresses) of 998.
    const QByteArray raw = server.file("message1.eml");
    const qsizetype bodyStart = raw.indexOf("\r\n\r\n");
    for (const QByteArray &line : raw.split('\n')) {
        EXPECT_LE(line.size(), raw.indexOf(line) > bodyStart ? 77 : 999) << line.toStdString();
        for (char ch : line)
            EXPECT_EQ(ch & 0x80, 0) << line.toStdString();
    }
    const QJsonObject second = decoded(server.file("message2.eml"));
    EXPECT_EQ(second.value("to").toInt(), 3);
    EXPECT_EQ(second.value("subject").toString(), subject);
}

TEST_F(EMailTest, EmptyUserIdRefusedByTheServerShowsBothMessages)
{
    Aiosmtpd server;
    ASSERT_NE(server.port(), 0) << server.diagnostics().toStdString();
    mailSettings(server.port());
    settings().MailID.clear();
    emailSender().recipients = {"ann@example.com"};
    emailSender().subject = "Hi";
    m_ui.expect(Answer::Ok, "Authentication Failed - Invalid or missing User ID");
    m_ui.expect(Answer::Ok, "Authentication failed");
    EXPECT_EQ(emailSender().send(), EMailSender::Outcome::Failed);
    EXPECT_FALSE(emailSender().sent());
    EXPECT_TRUE(server.file("server.log").contains(">> b'HELO '")) << server.file("server.log").toStdString();
}

TEST_F(EMailTest, ASecondSendWhileOneWaitsForTheServerIsRefused)
{
    ScriptedServer server;
    server.greeting.delayMs = 400; // the first send waits here
    mailSettings(server.port());
    emailSender().recipients = {"ann@example.com"};
    EMailSender::Outcome second = EMailSender::Outcome::Sent;
    QTimer::singleShot(100, [&second] { second = emailSender().send(); });
    m_ui.expect(Answer::Ok, "Another message is being sent");
    EXPECT_EQ(emailSender().send(), EMailSender::Outcome::Sent);
    EXPECT_EQ(second, EMailSender::Outcome::Failed);
    EXPECT_EQ(server.messages.size(), 1);
    EXPECT_EQ(server.connections, 1);
}

TEST(SmtpSecure, StartTlsAndSslWithSignIn)
{
    const QList<QSslCertificate> ours =
        QSslCertificate::fromPath(QStringLiteral(TLV_SOURCE_DIR "/tests/mail/tls/server.pem"));
    ASSERT_EQ(ours.size(), 1);
    struct Case
    {
        const char *mode;
        TNMSMTP::Security security;
        const char *password;
        bool trusted;
        const char *failure; // the start of the failure; nullptr: sent
    } cases[] = {
        {"starttls", TNMSMTP::Security::StartTls, "s3cret", true, nullptr},
        {"ssl", TNMSMTP::Security::SslTls, "s3cret", true, nullptr},
        {"starttls", TNMSMTP::Security::StartTls, "wrong", true, "Authentication failed: 535"},
        {"starttls", TNMSMTP::Security::StartTls, "s3cret", false, "The secure connection failed"},
    };
    for (const Case &c : cases) {
        Aiosmtpd server(QString::fromLatin1(c.mode));
        ASSERT_NE(server.port(), 0) << server.diagnostics().toStdString();
        MailJob job;
        job.host = "127.0.0.1";
        job.port = server.port();
        job.security = c.security;
        job.authUser = "till";
        job.authPassword = QString::fromLatin1(c.password);
        if (c.trusted)
            job.extraAuthorities = ours; // the test's own self-signed certificate, accepted on purpose
        job.userId = "till";
        job.fromAddress = "shop@example.com";
        job.recipients = {"ann@example.com"};
        job.subject = "Secure";
        job.body = "Sent over TLS.";
        job.connectLimit = job.replyLimit = 10000;
        const MailOutcome out = sendMail(job);
        if (!c.failure) {
            EXPECT_TRUE(out.ok) << c.mode << ": " << out.failure.toStdString();
            EXPECT_TRUE(server.file("message1.eml").contains("Sent over TLS.")) << c.mode;
            EXPECT_TRUE(server.file("auth.log").startsWith("PLAIN till accepted tls=True"))
                << server.file("auth.log").toStdString();
            if (c.security == TNMSMTP::Security::StartTls)
                std::cout << "---- aiosmtpd log, STARTTLS and AUTH ----\n"
                          << server.file("server.log").toStdString() << "----\n";
        } else {
            EXPECT_FALSE(out.ok) << c.mode;
            EXPECT_TRUE(out.failure.startsWith(QLatin1String(c.failure))) << out.failure.toStdString();
            EXPECT_TRUE(server.file("message1.eml").isEmpty());
        }
    }
}
