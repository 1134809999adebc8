#pragma once
// One message from start to end without a window: what the e-mail window's
// send does, for callers that have no window (the command-line tool).
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
    QString userId;
    QString fromAddress;
    QString fromName;
    QString replyTo;
    QStringList recipients; // all in the "To" header
    QString subject;        // sent trimmed
    QString body;           // lines separated by CR LF (or LF)
    int connectLimit = TNMSMTP::defaultConnectLimit;
    int replyLimit = TNMSMTP::defaultReplyLimit;
};

struct MailOutcome
{
    bool ok = false;
    QString failure;        // the text to show when !ok
    bool delivered = false; // the server took the message (true even when only "QUIT" failed)
    QStringList refused;    // recipients the server refused; the others still got the message
};

// Connects, sends and disconnects; stops at the first failure.
MailOutcome sendMail(const MailJob &job);

} // namespace tlv
