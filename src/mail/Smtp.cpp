#include "mail/Smtp.h"

#include "data/Cp1252.h"

#include <QCryptographicHash>
#include <QHostInfo>
#include <QRegularExpression>

namespace tlv {

namespace {

const QString busyText = QStringLiteral("Another message is being sent; try again when it has gone");

bool hasLineBreak(const QString &s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

// The lines of a text, any of CR LF, CR and LF ending a line; a break at the
// very end does not start another line, and an empty text has none.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString seconds(int ms)
{
    return ms % 1000 == 0 ? QString::number(ms / 1000) : QString::number(ms / 1000.0, 'f', 1);
}

} // namespace

void TExStringList::setHeader(const QString &name, const QString &value)
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < m_lines.size() && found < 0; ++i)
        if (m_lines.at(i).section(QLatin1Char(':'), 0, 0).compare(name, Qt::CaseInsensitive) == 0)
            found = i;
    if (value.isEmpty()) {
        if (found >= 0)
            m_lines.removeAt(found);
        return;
    }
    const QString line = name + QStringLiteral(": ") + value;
    if (found >= 0)
        m_lines[found] = line;
    else
        m_lines << line;
}

QString envelopeAddress(const QString &entry)
{
    const qsizetype lt = entry.indexOf(QLatin1Char('<'));
    if (lt >= 0) {
        const qsizetype gt = entry.indexOf(QLatin1Char('>'), lt + 1);
        return gt < 0 ? entry.mid(lt + 1) : entry.mid(lt + 1, gt - lt - 1);
    }
    const qsizetype colon = entry.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        const qsizetype next = entry.indexOf(QLatin1Char(':'), colon + 1);
        return next < 0 ? entry.mid(colon + 1) : entry.mid(colon + 1, next - colon - 1);
    }
    return entry;
}

qint64 replyCode(const QByteArray &line)
{
    qint64 code = 0;
    for (qsizetype i = 0; i < line.size() && i < 10 && line.at(i) >= '0' && line.at(i) <= '9'; ++i)
        code = code * 10 + (line.at(i) - '0');
    return code;
}

bool continuesReply(const QByteArray &line)
{
    return line.startsWith(' ') || (line.size() >= 4 && line.at(3) == '-');
}

QString headerValue(const QString &value)
{
    QString v = value;
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return v;
}

namespace {

bool isAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 0x7f)
            return false;
    return true;
}

// A recipient or reply entry with a non-ASCII display name: the name in
// encoded words, a blank, then the address in angle brackets.
QString encodedEntry(const QString &entry)
{
    if (isAscii(entry))
        return entry;
    const qsizetype lt = entry.indexOf(QLatin1Char('<'));
    if (lt < 0)
        return entry; // an address that is not ASCII cannot be helped here
    const QString name = entry.left(lt).trimmed();
    QString quoted = name;
    if (quoted.size() >= 2 && quoted.startsWith(QLatin1Char('"')) && quoted.endsWith(QLatin1Char('"')))
        quoted = quoted.mid(1, quoted.size() - 2);
    return (name.isEmpty() ? QString() : encodedWords(quoted) + QLatin1Char(' ')) + entry.mid(lt);
}

} // namespace

bool messageIsAscii(const TPostMessage &m)
{
    for (const QString *t : {&m.FromAddress, &m.FromName, &m.Subject, &m.ReplyTo, &m.LocalProgram, &m.Date})
        if (!isAscii(*t))
            return false;
    for (const QStringList *l : {&m.ToAddress, &m.ToCarbonCopy, &m.Body})
        for (const QString &t : *l)
            if (!isAscii(t))
                return false;
    return true;
}

QString encodedWords(const QString &text)
{
    if (isAscii(text))
        return text;
    // "=?UTF-8?B?" and "?=" take 12 of the 75 characters; 45 bytes of UTF-8
    // make 60 of base64. A character is never split between two words.
    constexpr qsizetype maxBytes = 45;
    QStringList words;
    QByteArray chunk;
    auto flush = [&] {
        if (!chunk.isEmpty())
            words << QStringLiteral("=?UTF-8?B?") + QString::fromLatin1(chunk.toBase64()) +
                         QStringLiteral("?=");
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype n = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QByteArray bytes = text.mid(i, n).toUtf8();
        if (chunk.size() + bytes.size() > maxBytes)
            flush();
        chunk += bytes;
        i += n - 1;
    }
    flush();
    return words.join(QStringLiteral("\r\n "));
}

TExStringList messageHeader(const TPostMessage &m)
{
    const bool ascii = messageIsAscii(m);
    auto entry = [ascii](const QString &e) { return ascii ? headerValue(e) : encodedEntry(headerValue(e)); };
    // Entries joined by ","; a line that would pass the 998 characters a
    // server must take goes on after a "," on a continuation line.
    auto joined = [&entry](const QString &name, const QStringList &entries) {
        constexpr qsizetype maxLine = 998;
        QString text = name;
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QString e = entry(entries.at(i));
            if (i > 0) {
                text += QLatin1Char(',');
                if (text.size() - lineStart + e.size() > maxLine) {
                    text += QStringLiteral("\r\n ");
                    lineStart = text.size() - 1;
                }
            }
            text += e;
        }
        return text;
    };
    TExStringList h;
    if (ascii || isAscii(m.FromName))
        h.add(QStringLiteral("From: ") + headerValue(m.FromName) + QLatin1Char('<') +
              headerValue(m.FromAddress) + QLatin1Char('>'));
    else // an encoded word must stand apart from the "<"
        h.add(QStringLiteral("From: ") + encodedWords(headerValue(m.FromName)) + QStringLiteral(" <") +
              headerValue(m.FromAddress) + QLatin1Char('>'));
    if (!m.ToAddress.isEmpty())
        h.add(joined(QStringLiteral("To: "), m.ToAddress));
    if (!m.ToCarbonCopy.isEmpty())
        h.add(joined(QStringLiteral("CC: "), m.ToCarbonCopy));
    h.setHeader(QStringLiteral("Subject"),
                ascii ? headerValue(m.Subject) : encodedWords(headerValue(m.Subject)));
    h.setHeader(QStringLiteral("X-Mailer"), headerValue(m.LocalProgram));
    if (!m.ReplyTo.isEmpty())
        h.setHeader(QStringLiteral("Reply-To"), entry(m.ReplyTo));
    if (!m.Date.isEmpty())
        h.setHeader(QStringLiteral("Date"), headerValue(m.Date));
    h.add(QStringLiteral("Mime-Version: 1.0"));
    if (!m.AttachedFiles.isEmpty()) {
        h.add(QStringLiteral("Content-Type: multipart/mixed; boundary=\"") + partBoundary(m) +
              QLatin1Char('"'));
    } else if (ascii) {
        h.add(QStringLiteral("Content-Type: text/plain;") + QString(24, QLatin1Char(' ')) +
              QStringLiteral("charset=us-ascii"));
    } else {
        h.add(QStringLiteral("Content-Type: text/plain; charset=utf-8"));
        h.add(QStringLiteral("Content-Transfer-Encoding: quoted-printable"));
    }
    return h;
}

QByteArray toWire(const QString &text)
{
    return toCp1252(text);
}

QByteArray bodyBlock(const QStringList &body)
{
    QByteArray block;
    for (const QString &entry : body) {
        for (const QString &line : splitLines(entry)) {
            // A line starting with "." would otherwise end the message
            // early or lose its dot at the server.
            if (line.startsWith(QLatin1Char('.')))
                block += '.';
            block += toWire(line);
            block += "\r\n";
        }
    }
    return block;
}

QByteArray quotedPrintableBlock(const QStringList &body)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray block;
    auto endLine = [&block](QByteArray &line) {
        // A line starting with "." would otherwise end the message early.
        if (line.startsWith('.'))
            block += '.';
        block += line;
        block += "\r\n";
        line.clear();
    };
    for (const QString &entry : body) {
        for (const QString &text : splitLines(entry)) {
            const QByteArray bytes = text.toUtf8();
            QByteArray line;
            for (qsizetype i = 0; i < bytes.size(); ++i) {
                const uchar c = uchar(bytes.at(i));
                const bool last = i + 1 == bytes.size();
                char piece[3] = {char(c), 0, 0};
                qsizetype pieceSize = 1;
                // Blanks at the end of a line are dropped by some servers.
                if (!((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))) {
                    piece[0] = '=';
                    piece[1] = hex[c >> 4];
                    piece[2] = hex[c & 15];
                    pieceSize = 3;
                }
                // 76 characters at most, the "=" of a soft break included.
                if (line.size() + pieceSize > (last ? 76 : 75)) {
                    line += '=';
                    endLine(line);
                }
                line.append(piece, pieceSize);
            }
            endLine(line);
        }
    }
    return block;
}

QByteArray messageContent(const TPostMessage &m)
{
    const bool ascii = messageIsAscii(m);
    QByteArray content;
    const TExStringList header = messageHeader(m);
    for (const QString &line : header.lines())
        content += (ascii ? toWire(line) : line.toUtf8()) + "\r\n";
    if (m.AttachedFiles.isEmpty()) {
        content += "\r\n\r\n";
        content += ascii ? bodyBlock(m.Body) : quotedPrintableBlock(m.Body);
        return content;
    }
    const QByteArray boundary = "--" + partBoundary(m).toLatin1();
    content += "\r\nThis is a multi-part message in MIME format.\r\n\r\n";
    content += boundary + "\r\n";
    if (ascii) {
        content += "Content-Type: text/plain; charset=us-ascii\r\nContent-Transfer-Encoding: 7bit\r\n\r\n";
        content += bodyBlock(m.Body);
    } else {
        content += "Content-Type: text/plain; charset=utf-8\r\n"
                   "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
        content += quotedPrintableBlock(m.Body);
    }
    for (const TAttachedFile &file : m.AttachedFiles) {
        const QByteArray name = headerValue(file.fileName).remove(QLatin1Char('"')).toLatin1();
        content += boundary + "\r\n";
        content += "Content-Type: " + headerValue(file.mimeType).toLatin1() + "; name=\"" + name + "\"\r\n";
        content += "Content-Transfer-Encoding: base64\r\n";
        content += "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n";
        const QByteArray encoded = file.data.toBase64();
        for (qsizetype at = 0; at < encoded.size(); at += 76)
            content += encoded.mid(at, 76) + "\r\n";
    }
    content += boundary + "--\r\n";
    return content;
}

QString partBoundary(const TPostMessage &m)
{
    // "=" never begins a base64 line, and "=_" is no quoted-printable
    // escape; the hash of the files keeps a typed line from matching it.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const TAttachedFile &file : m.AttachedFiles)
        hash.addData(file.data);
    return QStringLiteral("=_Tarlvin_") + QString::fromLatin1(hash.result().toHex().left(24));
}

// ---- TNMSMTP ------------------------------------------------------------

TNMSMTP::TNMSMTP(QObject *parent) : QObject(parent) {}

SmtpResult TNMSMTP::fail(const QString &text)
{
    m_socket.close();
    m_busy = false;
    return SmtpResult::failed(text);
}

QString TNMSMTP::waitFailure(const TPowersock::Result &r, int limit) const
{
    if (r.status == TPowersock::Status::TimedOut)
        return QStringLiteral("The mail server did not answer within %1 seconds").arg(seconds(limit));
    return r.text;
}

QString TNMSMTP::secure()
{
    const int limit = replyLimit > 0 ? replyLimit : defaultReplyLimit;
    const TPowersock::Result r = m_socket.startTls(Host, extraAuthorities, QDeadlineTimer(limit));
    return r.ok() ? QString() : waitFailure(r, limit);
}

QString TNMSMTP::writeAll(const QByteArray &data)
{
    const int limit = replyLimit > 0 ? replyLimit : defaultReplyLimit;
    const TPowersock::Result r = m_socket.write(data, limit);
    return r.ok() ? QString() : waitFailure(r, limit);
}

QString TNMSMTP::readReply()
{
    // A generous cap on the lines of one reply; the deadline bounds the time.
    constexpr int maxLines = 1000;
    const int limit = replyLimit > 0 ? replyLimit : defaultReplyLimit;
    QDeadlineTimer deadline(limit);
    QStringList texts;
    QByteArray line;
    do {
        const TPowersock::Result r = m_socket.readLine(line, deadline);
        if (!r.ok())
            return waitFailure(r, limit);
        if (texts.isEmpty())
            m_replyCode = replyCode(line);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        texts << QString::fromLatin1(line);
        if (texts.size() > maxLines)
            return QStringLiteral("The mail server's reply is too long");
    } while (continuesReply(line));
    m_replyText = texts.join(QLatin1Char('\n'));
    return {};
}

QByteArray TNMSMTP::command(Step step) const
{
    switch (step) {
    case Step::Hello:
        return "HELO " + toWire(UserID);
    case Step::Ehlo: {
        // EHLO names the client; the user ID when one is set, as HELO does.
        QString name = UserID;
        if (name.isEmpty())
            name = QHostInfo::localHostName();
        if (name.isEmpty())
            name = QStringLiteral("localhost");
        return "EHLO " + name.toUtf8();
    }
    case Step::StartTls:
        return "STARTTLS";
    case Step::AuthPlain:
        return "AUTH PLAIN " +
               (QByteArray(1, 0) + AuthUser.toUtf8() + QByteArray(1, 0) + AuthPassword.toUtf8()).toBase64();
    case Step::AuthLogin:
        return "AUTH LOGIN";
    case Step::AuthLoginUser:
        return AuthUser.toUtf8().toBase64();
    case Step::AuthLoginPassword:
        return AuthPassword.toUtf8().toBase64();
    case Step::Reset:
        return "RSET";
    case Step::MailFrom:
        return "MAIL FROM:<" + toWire(PostMessage.FromAddress) + ">";
    case Step::Recipient:
        return "RCPT TO:<" + toWire(m_envelope.at(m_recipient)) + ">";
    case Step::Data:
        return "DATA";
    case Step::EndOfData:
        return ".";
    case Step::Greeting:
    case Step::Content:
    case Step::Done:
        break;
    }
    return {};
}

bool TNMSMTP::offers(const QString &keyword) const
{
    for (const QString &c : m_capabilities) {
        const QStringList words = c.split(QRegularExpression(QStringLiteral("[ =]")), Qt::SkipEmptyParts);
        if (words.value(0) == QLatin1String("AUTH") ? words.contains(keyword) : words.value(0) == keyword)
            return true;
    }
    return false;
}

TNMSMTP::Step TNMSMTP::afterEhlo() const
{
    if (security == Security::StartTls && !m_socket.isEncrypted())
        return Step::StartTls;
    if (AuthUser.isEmpty())
        return Step::Done;
    if (offers(QStringLiteral("PLAIN")) || !offers(QStringLiteral("LOGIN")))
        return Step::AuthPlain;
    return Step::AuthLogin;
}

TNMSMTP::Transition TNMSMTP::advance(Step step)
{
    // A reply without a code is no answer at all: taking it for a yes could
    // report a message as sent that the server never took.
    if (m_replyCode == 0)
        return {Step::Done, QStringLiteral("The mail server sent an unexpected reply: ") + m_replyText};
    const auto refusedIf = [this](bool refused, Step next) {
        return refused ? Transition{Step::Done, m_replyText} : Transition{next, {}};
    };
    const auto authRefused = [this] {
        emit authenticationFailed();
        return Transition{Step::Done, QStringLiteral("Authentication failed: ") + m_replyText};
    };
    switch (step) {
    case Step::Greeting:
        // Without a secure connection and a user name the dialogue is the
        // plain one of a local mail server.
        return refusedIf(m_replyCode >= 400,
                         security == Security::None && AuthUser.isEmpty() ? Step::Hello : Step::Ehlo);
    case Step::Hello:
        if (m_replyCode >= 300) {
            emit authenticationFailed();
            return {Step::Done, QStringLiteral("Authentication failed")};
        }
        return {Step::Done, {}};
    case Step::Ehlo:
        if (m_replyCode >= 300) {
            emit authenticationFailed();
            return {Step::Done, QStringLiteral("Authentication failed")};
        }
        m_capabilities = m_replyText.toUpper().split(QLatin1Char('\n')).mid(1);
        for (QString &c : m_capabilities)
            c = c.mid(4).trimmed();
        return {afterEhlo(), {}};
    case Step::StartTls:
        if (m_replyCode != 220)
            return {Step::Done, QStringLiteral("The mail server refused STARTTLS: ") + m_replyText};
        return {Step::Ehlo, {}}; // run() makes the connection secure first
    case Step::AuthPlain:
    case Step::AuthLoginPassword:
        return m_replyCode == 235 ? Transition{Step::Done, {}} : authRefused();
    case Step::AuthLogin:
        return m_replyCode == 334 ? Transition{Step::AuthLoginUser, {}} : authRefused();
    case Step::AuthLoginUser:
        return m_replyCode == 334 ? Transition{Step::AuthLoginPassword, {}} : authRefused();
    case Step::Reset:
        return refusedIf(m_replyCode >= 400, Step::MailFrom);
    case Step::MailFrom:
        return refusedIf(m_replyCode >= 400, m_envelope.isEmpty() ? Step::Data : Step::Recipient);
    case Step::Recipient:
        // A refused recipient does not stop the message to the others.
        if (m_replyCode > 300)
            emit recipientNotFound(m_envelope.at(m_recipient), m_replyText);
        return {++m_recipient < m_envelope.size() ? Step::Recipient : Step::Data, {}};
    case Step::Data:
        return refusedIf(m_replyCode >= 400, Step::Content);
    case Step::EndOfData:
        if (m_replyCode >= 400) {
            emit failure();
            return {Step::Done, m_replyText};
        }
        return {Step::Done, {}};
    case Step::Content:
    case Step::Done:
        break;
    }
    return {Step::Done, {}};
}

QString TNMSMTP::run(Step step)
{
    while (step != Step::Done) {
        if (step == Step::Content) {
            // The text goes as one block and has no reply of its own.
            if (QString f = writeAll(m_content); !f.isNull())
                return f;
            step = Step::EndOfData;
            continue;
        }
        m_replyCode = 0;
        m_replyText.clear();
        if (step != Step::Greeting)
            if (QString f = writeAll(command(step) + "\r\n"); !f.isNull())
                return f;
        if (QString f = readReply(); !f.isNull())
            return f;
        const Transition t = advance(step);
        if (!t.failure.isNull())
            return t.failure;
        if (step == Step::StartTls)
            if (QString f = secure(); !f.isNull())
                return f;
        if (t.next == Step::AuthPlain || t.next == Step::AuthLogin)
            // The password never goes over a connection anyone can read.
            if (!m_socket.isEncrypted())
                return QStringLiteral(
                    "The password is sent only over a secure connection: choose STARTTLS or SSL/TLS");
        step = t.next;
    }
    return {};
}

SmtpResult TNMSMTP::connectToServer()
{
    if (m_busy)
        return SmtpResult::failed(busyText);
    if (isConnected())
        return SmtpResult::failed(QStringLiteral("Already connected"));
    // The user ID is sent as the argument of a command line; a line break
    // in it would start a command of its own.
    if (hasLineBreak(UserID))
        return SmtpResult::failed(QStringLiteral("The mail user ID must not contain a line break"));
    m_busy = true;
    m_socket.resetCancel();
    m_replyCode = 0;
    m_replyText.clear();

    QDeadlineTimer deadline(TimeOut > 0 ? TimeOut : connectLimit > 0 ? connectLimit : defaultConnectLimit);
    QList<QHostAddress> addresses;
    TPowersock::Result r = m_socket.lookup(Host, deadline, addresses);
    if (r.status == TPowersock::Status::TimedOut) {
        emit invalidHost();
        return fail(QStringLiteral("Null Remote Address"));
    }
    if (r.status == TPowersock::Status::Failed)
        return fail(QStringLiteral("Host Lookup Failed"));
    if (r.ok())
        r = m_socket.connectTo(addresses, Port, deadline);
    if (!r.ok()) {
        emit connectionFailed();
        switch (r.status) {
        case TPowersock::Status::TimedOut:
            return fail(QStringLiteral("Connection Timed out"));
        case TPowersock::Status::Cancelled:
            return fail(QStringLiteral("Connection Canceled"));
        default:
            return fail(QStringLiteral("Connection Failed"));
        }
    }

    if (security == Security::SslTls)
        if (QString f = secure(); !f.isNull())
            return fail(f);
    m_capabilities.clear();
    if (QString f = run(Step::Greeting); !f.isNull())
        return fail(f);
    m_busy = false;
    emit connectedToServer();
    return {};
}

SmtpResult TNMSMTP::send()
{
    // Waits run the event loop, so a second send can be asked for while
    // this one is under way; it is refused, not queued and not ignored.
    if (m_busy)
        return SmtpResult::failed(busyText);
    m_busy = true;
    m_socket.resetCancel();

    const TPostMessage &m = PostMessage;
    m_content = messageContent(m);

    if (!isConnected())
        return fail(QStringLiteral("Not Connected"));
    if (m.FromAddress.isEmpty() ||
        (m.ToAddress.isEmpty() && m.ToCarbonCopy.isEmpty() && m.ToBlindCarbonCopy.isEmpty()))
        return fail(QStringLiteral("Incomplete Header"));
    if (!m.Attachments.isEmpty())
        return fail(QStringLiteral("Attachments cannot be sent"));
    // Envelope addresses go into command lines: one with a line break could
    // smuggle in a command, so the message is refused before anything is sent.
    if (hasLineBreak(m.FromAddress))
        return fail(QStringLiteral("The sender's address contains a line break"));
    m_envelope.clear();
    m_recipient = 0;
    for (const QStringList *list : {&m.ToAddress, &m.ToCarbonCopy, &m.ToBlindCarbonCopy}) {
        for (const QString &entry : *list) {
            const QString address = envelopeAddress(entry);
            if (hasLineBreak(address))
                return fail(QStringLiteral("The recipient's address \"%1\" contains a line break")
                                .arg(headerValue(address)));
            if (!address.isEmpty())
                m_envelope << address;
        }
    }

    if (QString f = run(Step::Reset); !f.isNull())
        return fail(f);
    if (ClearParams) {
        PostMessage.ToAddress.clear();
        PostMessage.ToCarbonCopy.clear();
        PostMessage.ToBlindCarbonCopy.clear();
        PostMessage.Attachments.clear();
    }
    m_busy = false;
    emit success();
    return {};
}

SmtpResult TNMSMTP::disconnectFromServer()
{
    if (m_busy)
        return SmtpResult::failed(busyText);
    m_socket.resetCancel();
    m_replyCode = 0;
    m_replyText.clear();
    // A server that does not answer "QUIT" properly is no reason to keep
    // the connection: it is closed in any case.
    if (isConnected() && writeAll("QUIT\r\n").isNull())
        (void)readReply();
    m_socket.close();
    if (m_replyCode > 339)
        return SmtpResult::failed(m_replyText);
    return {};
}

} // namespace tlv
