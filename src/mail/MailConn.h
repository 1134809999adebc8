#pragma once
// How the program reaches its mail server beyond the host of the settings
// record: the port, the protection of the connection and the sign-in. Kept in
// "TLVMAIL.INI" in the data directory (TLV2's layout stays as other programs
// know it). The password is kept scrambled, not in plain text, and the file
// is readable by its owner only; without the file the connection is the plain
// one on port 25.
#include "mail/Smtp.h"

#include <QString>

namespace tlv {

struct MailConnection
{
    quint16 port = 25;
    TNMSMTP::Security security = TNMSMTP::Security::None;
    QString user;          // AUTH user name; empty: no sign-in
    QString password;      // in memory only as typed
    bool attachPdf = true; // mailed invoices and statements carry their pages as a PDF file
};

// "TLVMAIL.INI".
QString mailConnectionFileName();

// "none", "starttls", "ssl" and back; nullopt-like false for any other word.
QString securityName(TNMSMTP::Security security);
bool securityFromName(const QString &name, TNMSMTP::Security &security);

// The settings of the data directory `dir`; defaults for a missing file or
// a value that cannot be read.
MailConnection loadMailConnection(const QString &dir);
// Writes the file whole or not at all; false with *error on failure.
bool saveMailConnection(const MailConnection &c, const QString &dir, QString *error = nullptr);

// The scrambled form of a password as the file keeps it, and back.
QString scramblePassword(const QString &password);
QString unscramblePassword(const QString &stored);

} // namespace tlv
