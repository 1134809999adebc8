#pragma once
// aiosmtpd, a real SMTP server, on a free loopback port for the test's
// lifetime, with a handler that saves every message and its envelope.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace tlv::test {

// Listens on 127.0.0.1 (the system picks the port, printed first), refuses
// recipients whose address starts with "refuse", writes messageN.eml (the
// text as received, dots already removed) and messageN.json (the envelope),
// logs the dialogue to server.log and ends when its standard input closes.
// With a mode of "starttls" or "ssl" and a certificate and key it offers
// STARTTLS or speaks TLS from the start, and takes AUTH (PLAIN, LOGIN) for
// the user "till" with the password "s3cret" only over TLS.
inline const char serverScript[] = R"PY(
import asyncio, json, logging, os, ssl, sys
from aiosmtpd.smtp import SMTP, AuthResult

out = sys.argv[1]
mode = sys.argv[2] if len(sys.argv) > 2 else 'plain'
context = None
if mode != 'plain':
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(sys.argv[3], sys.argv[4])

def authenticator(server, session, envelope, mechanism, auth_data):
    ok = auth_data.login == b'till' and auth_data.password == b's3cret'
    with open(os.path.join(out, 'auth.log'), 'a') as f:
        f.write('%s %s %s tls=%s\n' % (mechanism, auth_data.login.decode(), 'accepted' if ok else 'refused',
                                      server.transport.get_extra_info('ssl_object') is not None))
    return AuthResult(success=ok, handled=False)
logging.basicConfig(filename=os.path.join(out, 'server.log'), level=logging.DEBUG,
                    format='%(name)s %(message)s')

class Handler:
    count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith('refuse'):
            return '550 5.1.1 No such user here'
        envelope.rcpt_tos.append(address)
        return '250 OK'

    async def handle_DATA(self, server, session, envelope):
        Handler.count += 1
        base = os.path.join(out, 'message%d' % Handler.count)
        with open(base + '.eml', 'wb') as f:
            f.write(envelope.original_content)
        with open(base + '.json', 'w') as f:
            json.dump({'helo': session.host_name, 'mail_from': envelope.mail_from,
                       'rcpt_tos': envelope.rcpt_tos}, f)
        return '250 Message accepted for delivery'

async def main():
    loop = asyncio.get_running_loop()
    handler = Handler()
    if mode == 'plain':
        factory = lambda: SMTP(handler, hostname='aiosmtpd.test')
        server = await loop.create_server(factory, '127.0.0.1', 0)
    elif mode == 'starttls':
        factory = lambda: SMTP(handler, hostname='aiosmtpd.test', tls_context=context,
                               authenticator=authenticator)
        server = await loop.create_server(factory, '127.0.0.1', 0)
    else:
        # The whole connection is TLS: AUTH is offered from the first EHLO.
        factory = lambda: SMTP(handler, hostname='aiosmtpd.test', authenticator=authenticator,
                               auth_require_tls=False)
        server = await loop.create_server(factory, '127.0.0.1', 0, ssl=context)
    print('PORT', server.sockets[0].getsockname()[1], flush=True)
    await loop.run_in_executor(None, sys.stdin.read)
    server.close()
    await server.wait_closed()

asyncio.run(main())
)PY";

class Aiosmtpd
{
public:
    // mode: "plain", "starttls" or "ssl" (the last two with the test's own
    // certificate, tests/mail/tls).
    explicit Aiosmtpd(const QString &mode = QStringLiteral("plain"))
    {
        const QString script = m_dir.filePath("server.py");
        QFile f(script);
        if (!f.open(QIODevice::WriteOnly) || f.write(serverScript) < 0)
            return;
        f.close();
        const QString tls = QStringLiteral(TLV_SOURCE_DIR "/tests/mail/tls/");
        m_process.start("/usr/bin/python3",
                        {script, m_dir.path(), mode, tls + "server.pem", tls + "server.key"});
        if (!m_process.waitForStarted(10000))
            return;
        QByteArray first;
        for (int i = 0; i < 40 && !first.contains('\n'); ++i)
            if (m_process.waitForReadyRead(500) || m_process.bytesAvailable())
                first += m_process.readAllStandardOutput();
        if (first.startsWith("PORT "))
            m_port = first.mid(5).trimmed().toUShort();
    }
    ~Aiosmtpd()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
    quint16 port() const { return m_port; }
    QByteArray file(const QString &name) const
    {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    QString diagnostics() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace tlv::test
