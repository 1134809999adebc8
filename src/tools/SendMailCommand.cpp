// tlvtool sendmail DIR --to ADDRESS [--to ADDRESS ...] [--subject TEXT] [--port N]
// Sends standard input as one plain-text message with the mail settings of
// DIR's settings record, through the program's own SMTP client: a way to try
// the mail settings from a shell.
#include "Tool.h"
#include "data/Settings.h"
#include "mail/SendMail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tlv::tool {

int runSendMail(const QStringList &args)
{
    QString dir;
    QStringList to;
    QString subject;
    quint16 port = 25;
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
            port = quint16(p);
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

    MailJob job;
    job.host = s.MailHost;
    job.port = port;
    job.userId = s.MailID;
    job.fromAddress = s.MailAddr;
    job.fromName = s.MailName;
    job.replyTo = s.MailReply;
    job.recipients = to;
    job.subject = subject;
    job.body = body;
    const MailOutcome outcome = sendMail(job);
    for (const QString &r : outcome.refused)
        printLine(QStringLiteral("The server refused the recipient %1").arg(r));
    if (!outcome.ok)
        return fail(outcome.failure);
    printLine(QStringLiteral("Sent to %1 through %2").arg(to.join(QStringLiteral(", ")), s.MailHost));
    return 0;
}

} // namespace tlv::tool
