#pragma once
// The SMTP client: one plain-text message per connection. The e-mail window
// fills PostMessage, then calls connectToServer(), send() and
// disconnectFromServer(); each returns a result whose failure text is shown
// to the user. The events (signals) fire before the failure is returned, so
// a window can show its own box first.
#include "mail/PowerSock.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace tlv {

// A file sent along with the text (an invoice as PDF).
struct TAttachedFile
{
    QString fileName; // as the recipient sees it, ASCII
    QString mimeType; // "application/pdf"
    QByteArray data;
};

// One message.
struct TPostMessage
{
    QString FromAddress;           // envelope sender and "From" header
    QString FromName;              // display name in the "From" header
    QStringList ToAddress;         // "To" header and envelope
    QStringList ToCarbonCopy;      // "CC" header and envelope
    QStringList ToBlindCarbonCopy; // envelope only, never in a header
    QString Subject;
    QString LocalProgram; // "X-Mailer"
    QString ReplyTo;
    QString Date;
    QStringList Body;        // each entry may hold several lines
    QStringList Attachments; // cannot be sent; a message with any is refused
    // Sent as further parts of a multipart/mixed message after the text; a
    // message without any is the single plain-text part it always was.
    QList<TAttachedFile> AttachedFiles;
};

// Header lines "Name: value", in the order they were first set.
class TExStringList
{
public:
    void add(const QString &line) { m_lines << line; }
    // Replaces the line of that name (compared ignoring case) or appends
    // one; an empty value removes the line.
    void setHeader(const QString &name, const QString &value);
    const QStringList &lines() const { return m_lines; }

private:
    QStringList m_lines;
};

// The address an entry stands for in the envelope: the text between the
// first "<" and the next ">", else the text after the first ":" up to the
// next ":", else the entry itself.
QString envelopeAddress(const QString &entry);
// The number formed by the decimal digits (at most ten) that start the line;
// 0 when it does not start with a digit.
qint64 replyCode(const QByteArray &line);
// True when another line of the same reply follows this one: the line begins
// with a blank or its fourth character is "-".
bool continuesReply(const QByteArray &line);
// A header value on one line: every CR and LF becomes a blank, so no value
// can start a header line of its own.
QString headerValue(const QString &value);
// The header lines of a message, in their fixed order.
TExStringList messageHeader(const TPostMessage &message);
// The lines of the body entries, each ended by CR LF, with a "." doubled at
// the start of a line. CR LF, a lone CR and a lone LF all end a line.
QByteArray bodyBlock(const QStringList &body);
// Message text as sent on the wire (Windows-1252, like the tables).
QByteArray toWire(const QString &text);
// Whether every text of the message (names, addresses, subject, reply
// address, body) is plain ASCII. Such a message goes out exactly as it always
// has, declared "us-ascii"; any other one as UTF-8 in quoted-printable with
// its header texts in encoded words, which servers take without 8BITMIME.
bool messageIsAscii(const TPostMessage &message);
// A header text as RFC 2047 encoded words ("=?UTF-8?B?...?="), each at most
// 75 characters, folded onto continuation lines; ASCII text stays as it is.
QString encodedWords(const QString &text);
// The body lines, in UTF-8 quoted-printable with lines of at most 76
// characters, each ended by CR LF and dot-stuffed.
QByteArray quotedPrintableBlock(const QStringList &body);
// The boundary between the parts of a message with attached files: the
// same for the same files, and never a line of the text or of base64.
QString partBoundary(const TPostMessage &message);
// Header and body of a message as written after "DATA", without the
// end-of-data line.
QByteArray messageContent(const TPostMessage &message);

struct SmtpResult
{
    bool ok = true;
    QString failure; // the text shown to the user when !ok
    explicit operator bool() const { return ok; }
    static SmtpResult failed(const QString &text) { return {false, text}; }
};

class TNMSMTP : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultConnectLimit = 30000; // ms, name lookup and connect together
    static constexpr int defaultReplyLimit = 60000;   // ms, per reply and per write

    // How the connection is protected. With None and no AuthUser the dialogue
    // is the plain one: greeting, "HELO", the message, "QUIT".
    enum class Security { None, StartTls, SslTls };

    explicit TNMSMTP(QObject *parent = nullptr);

    QString Host; // name or dotted address
    quint16 Port = 25;
    Security security = Security::None;
    // AUTH after "EHLO" when not empty (PLAIN, else LOGIN, as the server offers).
    QString AuthUser;
    QString AuthPassword;
    QList<QSslCertificate> extraAuthorities; // trusted besides the system's own
    QString UserID;                          // the argument of "HELO"
    int TimeOut = 0;                         // ms for lookup and connect; 0 uses connectLimit
    bool ClearParams = true;                 // empty the recipient lists after a message is sent
    int connectLimit = defaultConnectLimit;
    int replyLimit = defaultReplyLimit;
    TPostMessage PostMessage;

    [[nodiscard]] SmtpResult connectToServer();
    [[nodiscard]] SmtpResult send();
    // "QUIT", then close whatever the server says.
    [[nodiscard]] SmtpResult disconnectFromServer();
    // Ends the wait under way; the operation fails.
    void cancel() { m_socket.cancel(); }

    bool isConnected() const { return m_socket.isConnected(); }
    bool isBusy() const { return m_busy; }
    // The last reply: its code and its text (lines without their CR LF).
    qint64 lastReplyCode() const { return m_replyCode; }
    QString lastReply() const { return m_replyText; }

signals:
    void connectedToServer();
    void success();
    void invalidHost();          // the name lookup timed out
    void connectionFailed();     // the TCP connection could not be made
    void authenticationFailed(); // "HELO" refused
    void failure();              // the message was refused after its text
    void recipientNotFound(const QString &address, const QString &reply);

private:
    // The dialogue is a chain of steps: each may send a command, reads the
    // reply and names the next step. Connecting runs Greeting..Hello, sending
    // runs Reset..EndOfData. EHLO, STARTTLS and AUTH become further steps
    // between Greeting and Done, with their own cases in command() and advance().
    enum class Step {
        Greeting,
        Hello,
        Ehlo,
        StartTls,
        AuthPlain,
        AuthLogin,
        AuthLoginUser,
        AuthLoginPassword,
        Reset,
        MailFrom,
        Recipient,
        Data,
        Content,
        EndOfData,
        Done
    };
    struct Transition
    {
        Step next = Step::Done;
        QString failure; // non-null ends the dialogue with this text
    };

    QString run(Step step);
    QByteArray command(Step step) const;
    Transition advance(Step step);
    // Reads one reply with all its continuation lines; a failure text or null.
    QString readReply();
    QString writeAll(const QByteArray &data);
    QString waitFailure(const TPowersock::Result &r, int limit) const;
    Step afterEhlo() const;
    QString secure();                          // the TLS handshake; a failure text or null
    bool offers(const QString &keyword) const; // in the last EHLO reply
    SmtpResult fail(const QString &text);      // closes the connection first

    TPowersock m_socket;
    bool m_busy = false;
    qint64 m_replyCode = 0;
    QString m_replyText;
    // The message being sent.
    QStringList m_envelope;
    qsizetype m_recipient = 0;
    QByteArray m_content;
    QStringList m_capabilities; // the lines of the last EHLO reply after the first, upper-cased
};

} // namespace tlv
