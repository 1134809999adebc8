#include "mail/EMail.h"

#include "data/Settings.h"
#include "mail/SendMail.h"
#include "platform/Ui.h"

#include <QDir>
#include <utility>

namespace tlv {

EMailSender &emailSender()
{
    static EMailSender sender;
    return sender;
}

bool isMailableAddress(const QString &address)
{
    return address.trimmed().indexOf(QLatin1Char('@'), 1) > 0;
}

bool EMailSender::clearMessage()
{
    if (!mailConfigured()) {
        ui().plain(mailSetupMessage());
        return false;
    }
    return true;
}

EMailSender::Outcome EMailSender::send()
{
    // The windows keep working while a message waits for its server; a
    // second message asked for meanwhile is refused and leaves the first
    // one's state alone.
    const QList<TAttachedFile> files = std::exchange(attachments, {});
    if (mailSending()) {
        ui().plain(QStringLiteral("Another message is being sent; try again when it has gone"));
        return Outcome::Failed;
    }
    m_sent = false;
    m_refused.clear();
    if (!mailConfigured()) {
        ui().plain(mailSetupMessage());
        return Outcome::NotSetUp;
    }
    MailJob job = mailJobFor(settings(), loadMailConnection(QDir::currentPath()));
    job.recipients = recipients;
    job.subject = subject;
    // The text as one block, its lines separated by CR LF.
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    body.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    job.body = body;
    job.attachments = files;
    const MailOutcome out = sendMail(job);
    m_refused = out.refused;
    if (!out.eventMessage.isEmpty())
        ui().plain(out.eventMessage);
    if (!out.ok) {
        ui().plain(out.failure);
        // A message the server took has gone, even when only "QUIT" failed.
        m_sent = out.delivered;
        return out.delivered ? Outcome::Sent : Outcome::Failed;
    }
    m_sent = true;
    return Outcome::Sent;
}

} // namespace tlv
