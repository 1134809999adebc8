#pragma once
// A mail server in the test process, on 127.0.0.1, that answers each command
// from a script and records what it was sent. It runs inside the client's
// own waits (the client runs the event loop while it waits).
#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <optional>

namespace tlv::test {

struct ServerReply
{
    QByteArray text;    // empty: say nothing
    bool close = false; // close the connection after the text
    int delayMs = 0;    // answer this much later
    bool stall = false; // then stop reading, as a server that hangs would
};

class ScriptedServer
{
public:
    ScriptedServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] { accept(); });
    }

    quint16 port() const { return m_server.serverPort(); }

    // The greeting; a ServerReply so that it can be withheld or cut short.
    ServerReply greeting{"220 scripted.test ready\r\n"};
    // The answer to one command line (without CR LF; "." ends the text);
    // nullopt answers like an agreeable server.
    std::function<std::optional<ServerReply>(const QByteArray &command)> script;

    QList<QByteArray> commands; // every command line received, "." included
    QList<QByteArray> messages; // the text after each DATA, as received, without the "." line
    int connections = 0;
    int closedByClient = 0;

private:
    static ServerReply agreeable(const QByteArray &command)
    {
        const QByteArray verb = command.left(4).toUpper();
        if (verb == "HELO" || verb == "RSET" || verb == "MAIL" || verb == "RCPT")
            return {"250 OK\r\n"};
        if (verb == "DATA")
            return {"354 End data with <CR><LF>.<CR><LF>\r\n"};
        if (command == ".")
            return {"250 Message accepted\r\n"};
        if (verb == "QUIT")
            return {"221 Bye\r\n", true};
        return {"500 Unknown command\r\n"};
    }

    void accept()
    {
        while (QTcpSocket *s = m_server.nextPendingConnection()) {
            ++connections;
            m_conn = s;
            m_buffer.clear();
            m_inData = false;
            m_stalled = false;
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { readable(s); });
            QObject::connect(s, &QTcpSocket::disconnected, s, [this, s] {
                if (!s->property("closedByServer").toBool())
                    ++closedByClient;
                s->deleteLater();
            });
            answer(s, greeting);
        }
    }

    void answer(QTcpSocket *s, const ServerReply &r)
    {
        QPointer<QTcpSocket> conn(s);
        auto act = [this, conn, r] {
            if (!conn)
                return;
            if (r.text.startsWith("354"))
                m_inData = true;
            conn->write(r.text);
            if (r.stall) {
                m_stalled = true;
                conn->setReadBufferSize(1);
            }
            if (r.close) {
                conn->setProperty("closedByServer", true);
                conn->disconnectFromHost();
            }
        };
        if (r.delayMs > 0)
            QTimer::singleShot(r.delayMs, s, act);
        else
            act();
    }

    void readable(QTcpSocket *s)
    {
        if (s != m_conn)
            return;
        m_buffer += s->readAll();
        qsizetype eol;
        while ((eol = m_buffer.indexOf("\r\n")) >= 0) {
            const QByteArray line = m_buffer.left(eol);
            m_buffer.remove(0, eol + 2);
            if (m_inData && line != ".") {
                m_data += line + "\r\n";
                continue;
            }
            if (m_inData) {
                m_inData = false;
                messages << m_data;
                m_data.clear();
            }
            commands << line;
            std::optional<ServerReply> r = script ? script(line) : std::nullopt;
            answer(s, r ? *r : agreeable(line));
        }
    }

    QTcpServer m_server;
    QTcpSocket *m_conn = nullptr;
    QByteArray m_buffer;
    QByteArray m_data;
    bool m_inData = false;
    bool m_stalled = false;
};

} // namespace tlv::test
