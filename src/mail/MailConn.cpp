#include "mail/MailConn.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace tlv {

namespace {
// Only keeps the password from being read at a glance or found by a search
// of the disk: anyone with the program can recover it, as with every mail
// program that sends without asking.
const QByteArray scrambleKey = "Tarlvin mail password, not for the eyes";
const QLatin1String scrambledPrefix("x1:");

QByteArray scrambled(QByteArray bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(bytes.at(i) ^ scrambleKey.at(i % scrambleKey.size()) ^ char(i * 29));
    return bytes;
}
} // namespace

QString mailConnectionFileName()
{
    return QStringLiteral("TLVMAIL.INI");
}

QString securityName(TNMSMTP::Security security)
{
    switch (security) {
    case TNMSMTP::Security::StartTls:
        return QStringLiteral("starttls");
    case TNMSMTP::Security::SslTls:
        return QStringLiteral("ssl");
    case TNMSMTP::Security::None:
        break;
    }
    return QStringLiteral("none");
}

bool securityFromName(const QString &name, TNMSMTP::Security &security)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("none"))
        security = TNMSMTP::Security::None;
    else if (n == QLatin1String("starttls"))
        security = TNMSMTP::Security::StartTls;
    else if (n == QLatin1String("ssl") || n == QLatin1String("tls") || n == QLatin1String("ssl/tls"))
        security = TNMSMTP::Security::SslTls;
    else
        return false;
    return true;
}

QString scramblePassword(const QString &password)
{
    if (password.isEmpty())
        return {};
    return scrambledPrefix + QString::fromLatin1(scrambled(password.toUtf8()).toBase64());
}

QString unscramblePassword(const QString &stored)
{
    if (!stored.startsWith(scrambledPrefix))
        return {};
    return QString::fromUtf8(
        scrambled(QByteArray::fromBase64(stored.mid(scrambledPrefix.size()).toLatin1())));
}

MailConnection loadMailConnection(const QString &dir)
{
    MailConnection c;
    QFile f(QDir(dir).filePath(mailConnectionFileName()));
    if (!f.open(QIODevice::ReadOnly))
        return c;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || line.startsWith(QLatin1Char('[')) || line.startsWith(QLatin1Char(';')))
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("port")) {
            bool ok = false;
            const int p = value.toInt(&ok);
            if (ok && p >= 1 && p <= 65535)
                c.port = quint16(p);
        } else if (key == QLatin1String("security")) {
            securityFromName(value, c.security);
        } else if (key == QLatin1String("user")) {
            c.user = value;
        } else if (key == QLatin1String("password")) {
            c.password = unscramblePassword(value);
        } else if (key == QLatin1String("attachpdf")) {
            c.attachPdf = value.compare(QLatin1String("no"), Qt::CaseInsensitive) != 0;
        }
    }
    return c;
}

bool saveMailConnection(const MailConnection &c, const QString &dir, QString *error)
{
    QSaveFile f(QDir(dir).filePath(mailConnectionFileName()));
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QString text = QStringLiteral("[Connection]\r\n");
    text += QStringLiteral("Port=%1\r\n").arg(c.port);
    text += QStringLiteral("Security=%1\r\n").arg(securityName(c.security));
    // A line break in a value would start a line of its own.
    text += QStringLiteral("User=%1\r\n").arg(headerValue(c.user).trimmed());
    text += QStringLiteral("Password=%1\r\n").arg(scramblePassword(c.password));
    text +=
        QStringLiteral("AttachPdf=%1\r\n").arg(c.attachPdf ? QStringLiteral("yes") : QStringLiteral("no"));
    if (f.write(text.toUtf8()) < 0 || !f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace tlv
