// tlvtool sendmail DIR --to ADDRESS [--to ADDRESS ...] [--subject TEXT] [--port N] [--cafile FILE]
// Sends standard input as one plain-text message with the mail settings of
// DIR's settings record, through the program's own SMTP client: a way to try
// the mail settings from a shell.
#include "Tool.h"
#include "data/Settings.h"
#include "mail/MailConn.h"
#include "mail/SendMail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslCertificate>
#include <optional>

namespace tlv::tool {

int runSendMail(const QStringList &args)
{
    QString dir;
    QStringList to;
    QString subject;
    int port = 0; // 0: the port of the connection settings
    QString caFile;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
        if (a == QLatin1String("--to")) {
            const QString v = value();
            if (v.isEmpty())
                return usageError(QStringLiteral("--to needs an address"));
            to << v;
        } else if (a == QLatin1String("--subject")) {
            subject = value();
        } else if (a == QLatin1String("--port")) {
            bool ok = false;
            const int p = value().toInt(&ok);
            if (!ok || p < 1 || p > 65535)
                return usageError(QStringLiteral("--port needs a number from 1 to 65535"));
            port = p;
        } else if (a == QLatin1String("--cafile")) {
            caFile = value();
            if (caFile.isEmpty())
                return usageError(QStringLiteral("--cafile needs a file"));
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("unknown option %1").arg(a));
        } else if (dir.isEmpty()) {
            dir = a;
        } else {
            return usageError(QStringLiteral("sendmail takes one directory"));
        }
    }
    if (dir.isEmpty())
        return usageError(QStringLiteral("sendmail needs a data directory"));
    if (to.isEmpty())
        return usageError(QStringLiteral("sendmail needs at least one --to address"));
    if (!QFileInfo(dir).isDir())
        return fail(QStringLiteral("%1 is not a directory").arg(dir));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    loadSettings();
    QDir::setCurrent(previous);
    const SettingsRecord &s = settings();

    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read the message from standard input"));
    // The message text is typed in the user's own encoding.
    const QString body = QString::fromLocal8Bit(in.readAll());

    MailJob job = mailJobFor(s, loadMailConnection(dir));
    if (port != 0)
        job.port = quint16(port);
    if (!caFile.isEmpty()) {
        job.extraAuthorities = QSslCertificate::fromPath(caFile, QSsl::Pem);
        if (job.extraAuthorities.isEmpty())
            return fail(QStringLiteral("%1 holds no certificate (PEM)").arg(caFile));
    }
    job.recipients = to;
    job.subject = subject;
    job.body = body;
    const MailOutcome outcome = sendMail(job);
    for (const QString &r : outcome.refused)
        printLine(QStringLiteral("The server refused the recipient %1").arg(r));
    if (!outcome.eventMessage.isEmpty())
        printLine(outcome.eventMessage);
    if (!outcome.ok)
        return fail(outcome.failure);
    printLine(QStringLiteral("Sent to %1 through %2").arg(to.join(QStringLiteral(", ")), s.MailHost));
    return 0;
}

// tlvtool mailsetup DIR [--host H] [--id TEXT] [--from ADDRESS] [--name TEXT]
//     [--reply ADDRESS] [--port N] [--security none|starttls|ssl] [--user NAME]
//     [--password-stdin] [--attach-pdf yes|no]
// Stores what the "EMail Setup" window stores: the five settings in the
// settings record, the connection in the connection file. Options left out
// keep their values; the password is read from the first line of standard
// input, so it never shows in a process list or a shell history.
int runMailSetup(const QStringList &args)
{
    QString dir;
    std::optional<QString> host, id, from, name, reply, user;
    std::optional<int> port;
    std::optional<TNMSMTP::Security> security;
    bool passwordFromStdin = false;
    std::optional<bool> attachPdf;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&](std::optional<QString> &target) {
            if (i + 1 >= args.size())
                return false;
            target = args[++i].trimmed();
            return true;
        };
        if (a == QLatin1String("--host") || a == QLatin1String("--id") || a == QLatin1String("--from") ||
            a == QLatin1String("--name") || a == QLatin1String("--reply") || a == QLatin1String("--user")) {
            std::optional<QString> &target = a == QLatin1String("--host")    ? host
                                             : a == QLatin1String("--id")    ? id
                                             : a == QLatin1String("--from")  ? from
                                             : a == QLatin1String("--name")  ? name
                                             : a == QLatin1String("--reply") ? reply
                                                                             : user;
            if (!value(target))
                return usageError(QStringLiteral("%1 needs a value").arg(a));
        } else if (a == QLatin1String("--port")) {
            bool ok = false;
            const int p = i + 1 < args.size() ? args[++i].toInt(&ok) : 0;
            if (!ok || p < 1 || p > 65535)
                return usageError(QStringLiteral("--port needs a number from 1 to 65535"));
            port = p;
        } else if (a == QLatin1String("--security")) {
            TNMSMTP::Security sec;
            if (i + 1 >= args.size() || !securityFromName(args[++i], sec))
                return usageError(QStringLiteral("--security takes none, starttls or ssl"));
            security = sec;
        } else if (a == QLatin1String("--attach-pdf")) {
            const QString v = i + 1 < args.size() ? args[++i] : QString();
            if (v != QLatin1String("yes") && v != QLatin1String("no"))
                return usageError(QStringLiteral("--attach-pdf takes yes or no"));
            attachPdf = v == QLatin1String("yes");
        } else if (a == QLatin1String("--password-stdin")) {
            passwordFromStdin = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("unknown option %1").arg(a));
        } else if (dir.isEmpty()) {
            dir = a;
        } else {
            return usageError(QStringLiteral("mailsetup takes one directory"));
        }
    }
    if (dir.isEmpty())
        return usageError(QStringLiteral("mailsetup needs a data directory"));
    // The settings table's name is compared without regard to case, as
    // the tables' names are.
    if (QDir(dir).entryList({QStringLiteral("tlv2.dbf")}, QDir::Files).isEmpty())
        return fail(QStringLiteral("%1 holds no settings table TLV2.DBF").arg(dir));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir);
    loadSettings();
    SettingsRecord &s = settings();
    const bool changesSettings = host || id || from || name || reply;
    if (host)
        s.MailHost = *host;
    if (id)
        s.MailID = *id;
    if (from)
        s.MailAddr = *from;
    if (name)
        s.MailName = *name;
    if (reply)
        s.MailReply = *reply;
    if (changesSettings)
        saveSettings();
    QDir::setCurrent(previous);

    MailConnection c = loadMailConnection(dir);
    const bool changesConnection = port || security || user || passwordFromStdin || attachPdf;
    if (attachPdf)
        c.attachPdf = *attachPdf;
    if (port)
        c.port = quint16(*port);
    if (security)
        c.security = *security;
    if (user)
        c.user = *user;
    if (passwordFromStdin) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read the password from standard input"));
        QByteArray line = in.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        c.password = QString::fromUtf8(line);
    }
    if (changesConnection) {
        QString error;
        if (!saveMailConnection(c, dir, &error))
            return fail(QStringLiteral("cannot write %1: %2").arg(mailConnectionFileName(), error));
    }
    printLine(QStringLiteral("Outgoing Mail Host: %1").arg(s.MailHost));
    printLine(QStringLiteral("Mail User ID: %1").arg(s.MailID));
    printLine(QStringLiteral("Sender's EMail Address: %1").arg(s.MailAddr));
    printLine(QStringLiteral("Sender's Name: %1").arg(s.MailName));
    printLine(QStringLiteral("Reply To Address: %1").arg(s.MailReply));
    printLine(QStringLiteral("Port: %1").arg(c.port));
    printLine(QStringLiteral("Security: %1").arg(securityName(c.security)));
    printLine(QStringLiteral("User Name: %1").arg(c.user));
    printLine(QStringLiteral("Password: %1")
                  .arg(c.password.isEmpty() ? QStringLiteral("(none)") : QStringLiteral("(set)")));
    printLine(
        QStringLiteral("Attach PDF: %1").arg(c.attachPdf ? QStringLiteral("yes") : QStringLiteral("no")));
    return 0;
}

} // namespace tlv::tool
