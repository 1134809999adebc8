#pragma once
// One message from start to end without a window: what the e-mail window's
// send does, for callers that have no window (the command-line tool).
#include "mail/MailConn.h"
#include "mail/Smtp.h"

#include <QString>
#include <QStringList>

namespace tlv {

// The mailer name written into every message.
QString mailerName();
// Shown when the mail host or the sender's address is missing.
QString mailSetupMessage();
// Mail is set up when both the host and the sender's address are filled in.
bool mailIsSetUp(const QString &host, const QString &fromAddress);

struct MailJob
{
    QString host;
    quint16 port = 25;
    TNMSMTP::Security security = TNMSMTP::Security::None;
    QString authUser; // AUTH when not empty
    QString authPassword;
    QList<QSslCertificate> extraAuthorities; // trusted besides the system's own
    QString userId;
    QString fromAddress;
    QString fromName;
    QString replyTo;
    QStringList recipients;           // all in the "To" header
    QString subject;                  // sent trimmed
    QString body;                     // lines separated by CR LF (or LF)
    QList<TAttachedFile> attachments; // parts after the text (an invoice as PDF)
    int connectLimit = TNMSMTP::defaultConnectLimit;
    int replyLimit = TNMSMTP::defaultReplyLimit;
};

struct MailOutcome
{
    bool ok = false;
    QString failure;        // the text to show when !ok
    bool delivered = false; // the server took the message (true even when only "QUIT" failed)
    QStringList refused;    // recipients the server refused; the others still got the message
    // The box the client's event asks for before the failure is shown
    // ("Connection Failed", "Invalid Host." ...); empty when none fired.
    QString eventMessage;
    bool busy = false; // refused because another message was still being sent
};

// The job for the mail settings of the settings record and the connection
// file, without recipients or text.
struct SettingsRecord;
MailJob mailJobFor(const SettingsRecord &settings, const MailConnection &connection);

// Connects, sends and disconnects; stops at the first failure. While one
// message waits for its server the windows go on working, and a second
// sendMail from them is refused (busy) instead of starting.
MailOutcome sendMail(const MailJob &job);
// Whether a message is being sent at this moment.
bool mailSending();

} // namespace tlv
