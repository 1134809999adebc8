#include "mail/SendMail.h"

namespace tlv {

QString mailerName()
{
    return QStringLiteral("Kestrine Brelt Invoicing");
}

QString mailSetupMessage()
{
    return QStringLiteral(
        "Unable to send email. Choose \"Preferences\" then \"EMail Setup\" before attempting "
        "to send email.");
}

bool mailIsSetUp(const QString &host, const QString &fromAddress)
{
    return !host.isEmpty() && !fromAddress.isEmpty();
}

MailOutcome sendMail(const MailJob &job)
{
    MailOutcome out;
    if (!mailIsSetUp(job.host, job.fromAddress)) {
        out.failure = mailSetupMessage();
        return out;
    }
    TNMSMTP smtp;
    smtp.Host = job.host;
    smtp.Port = job.port;
    smtp.UserID = job.userId;
    smtp.connectLimit = job.connectLimit;
    smtp.replyLimit = job.replyLimit;
    TPostMessage &m = smtp.PostMessage;
    m.FromAddress = job.fromAddress;
    m.FromName = job.fromName;
    m.ToAddress = job.recipients;
    m.ReplyTo = job.replyTo;
    m.Body = QStringList{job.body};
    m.Subject = job.subject.trimmed();
    m.LocalProgram = mailerName();
    QObject::connect(&smtp, &TNMSMTP::recipientNotFound,
                     [&out](const QString &address, const QString &) { out.refused << address; });

    SmtpResult r = smtp.connectToServer();
    if (r) {
        r = smtp.send();
        out.delivered = r.ok;
        if (r)
            r = smtp.disconnectFromServer();
    }
    out.ok = r.ok;
    out.failure = r.failure;
    return out;
}

} // namespace tlv
