#include "mail/SendMail.h"

#include "data/Records.h"

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

namespace {
bool sending = false;
}

bool mailSending()
{
    return sending;
}

MailJob mailJobFor(const SettingsRecord &s, const MailConnection &c)
{
    MailJob job;
    job.host = s.MailHost.trimmed();
    job.port = c.port;
    job.security = c.security;
    job.authUser = c.user;
    job.authPassword = c.password;
    job.userId = s.MailID.trimmed();
    job.fromAddress = s.MailAddr.trimmed();
    job.fromName = s.MailName.trimmed();
    job.replyTo = s.MailReply.trimmed();
    return job;
}

MailOutcome sendMail(const MailJob &job)
{
    MailOutcome out;
    if (!mailIsSetUp(job.host, job.fromAddress)) {
        out.failure = mailSetupMessage();
        return out;
    }
    if (sending) {
        out.busy = true;
        out.failure = QStringLiteral("Another message is being sent; try again when it has gone");
        return out;
    }
    sending = true;
    struct Done
    {
        ~Done() { sending = false; }
    } done;
    TNMSMTP smtp;
    smtp.Host = job.host;
    smtp.Port = job.port;
    smtp.security = job.security;
    smtp.AuthUser = job.authUser;
    smtp.AuthPassword = job.authPassword;
    smtp.extraAuthorities = job.extraAuthorities;
    smtp.UserID = job.userId;
    smtp.connectLimit = job.connectLimit;
    smtp.replyLimit = job.replyLimit;
    TPostMessage &m = smtp.PostMessage;
    m.FromAddress = job.fromAddress;
    m.FromName = job.fromName;
    m.ToAddress = job.recipients;
    m.ReplyTo = job.replyTo;
    m.Body = QStringList{job.body};
    m.AttachedFiles = job.attachments;
    m.Subject = job.subject.trimmed();
    m.LocalProgram = mailerName();
    QObject::connect(&smtp, &TNMSMTP::recipientNotFound,
                     [&out](const QString &address, const QString &) { out.refused << address; });
    QObject::connect(&smtp, &TNMSMTP::authenticationFailed, [&out] {
        out.eventMessage = QStringLiteral("Authentication Failed - Invalid or missing User ID");
    });
    QObject::connect(&smtp, &TNMSMTP::connectionFailed,
                     [&out] { out.eventMessage = QStringLiteral("Connection Failed"); });
    QObject::connect(&smtp, &TNMSMTP::failure,
                     [&out] { out.eventMessage = QStringLiteral("EMail not sent"); });
    QObject::connect(&smtp, &TNMSMTP::invalidHost,
                     [&out] { out.eventMessage = QStringLiteral("Invalid Host."); });

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
