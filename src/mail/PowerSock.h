#pragma once
// Blocking-style socket operations (look up, connect, write, read a line,
// close) on top of Qt's event-driven QTcpSocket. Every wait runs a local event
// loop, so the windows keep painting and answering while the program talks to
// the mail server, and every wait ends at a deadline: a server that stops
// answering or drops the connection produces a failure, never a hang.
//
// The object must not be deleted while one of its waits runs (use
// deleteLater() from code that the wait may run).
#include <QByteArray>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslSocket>
#include <QString>
#include <optional>

class QEventLoop;

namespace tlv {

class TPowersock : public QObject
{
    Q_OBJECT
public:
    enum class Status {
        Ok,
        Failed,    // the operation failed; text says why
        TimedOut,  // the deadline passed first
        Cancelled, // cancel() was called during the wait
        Closed,    // the other side closed the connection
    };
    struct Result
    {
        Status status = Status::Ok;
        QString text; // empty when Ok
        bool ok() const { return status == Status::Ok; }
    };

    // A reply line longer than this without a line feed is refused, so a
    // misbehaving server cannot fill memory.
    static constexpr qsizetype maxLineLength = 64 * 1024;

    explicit TPowersock(QObject *parent = nullptr);
    ~TPowersock() override;

    // The addresses of a host: a dotted (or IPv6) address is used as it is,
    // anything else is looked up. Failed means the name is unknown.
    Result lookup(const QString &host, QDeadlineTimer deadline, QList<QHostAddress> &addresses);
    // Connects to the first of the addresses that accepts; Failed when none did.
    Result connectTo(const QList<QHostAddress> &addresses, quint16 port, QDeadlineTimer deadline);
    // Queues the bytes and waits until the system has taken all of them. The
    // wait ends as TimedOut when no byte has gone for idleLimit ms, so a
    // long text on a slow line is not cut off while it still moves.
    Result write(const QByteArray &data, int idleLimit);
    // Turns the connection into a TLS one: the server's certificate must
    // be valid for peerName and signed by a trusted authority (the system's
    // own, and the extra ones given). Nothing may be waiting to be read.
    Result startTls(const QString &peerName, const QList<QSslCertificate> &extraAuthorities,
                    QDeadlineTimer deadline);
    bool isEncrypted() const { return m_socket.isEncrypted(); }
    // The bytes up to and including the next line feed.
    Result readLine(QByteArray &line, QDeadlineTimer deadline);
    // Closes at once, dropping anything unsent or unread; never waits. The
    // socket is ready for the next connection afterwards.
    void close();

    bool isConnected() const;

    // Ends the running wait (and every later one until resetCancel()) as Cancelled.
    void cancel();
    void resetCancel() { m_cancelled = false; }
    bool isCancelled() const { return m_cancelled; }

    // "10061:Connection refused" and the like for a socket error.
    static QString errorText(QAbstractSocket::SocketError error);

private:
    // Runs the event loop until check() gives a result, the deadline passes
    // or the wait is cancelled.
    // check() may move the deadline.
    template <typename Check> Result waitFor(QDeadlineTimer &deadline, Check check);
    // Closed when the connection has gone, Failed after a socket error,
    // nothing while it stands.
    std::optional<Result> connectionLost() const;
    void wake();

    QSslSocket m_socket;
    QString m_sslErrors; // why the last handshake refused the server's certificate
    std::optional<QAbstractSocket::SocketError> m_error; // since the last operation began
    QEventLoop *m_loop = nullptr;                        // the wait under way
    bool m_cancelled = false;
    int m_lookupId = -1;
    bool m_lookupDone = false;
    QList<QHostAddress> m_lookupAddresses;
};

} // namespace tlv
