#include "mail/PowerSock.h"

#include <QEventLoop>
#include <QHostInfo>
#include <QSslConfiguration>
#include <QTimer>
#include <chrono>

namespace tlv {

TPowersock::TPowersock(QObject *parent) : QObject(parent)
{
    // Every socket event ends the wait under way, which then looks at the
    // socket again to see whether what it waits for has come.
    connect(&m_socket, &QTcpSocket::readyRead, this, &TPowersock::wake);
    connect(&m_socket, &QSslSocket::encrypted, this, &TPowersock::wake);
    connect(&m_socket, &QSslSocket::sslErrors, this, [this](const QList<QSslError> &errors) {
        QStringList texts;
        for (const QSslError &e : errors)
            texts << e.errorString();
        m_sslErrors = texts.join(QStringLiteral("; "));
        wake();
    });
    connect(&m_socket, &QTcpSocket::bytesWritten, this, &TPowersock::wake);
    connect(&m_socket, &QTcpSocket::connected, this, &TPowersock::wake);
    connect(&m_socket, &QTcpSocket::disconnected, this, &TPowersock::wake);
    connect(&m_socket, &QTcpSocket::stateChanged, this, &TPowersock::wake);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        m_error = e;
        wake();
    });
}

TPowersock::~TPowersock()
{
    if (m_lookupId != -1)
        QHostInfo::abortHostLookup(m_lookupId);
    m_socket.disconnect(this);
    m_socket.abort();
}

void TPowersock::wake()
{
    if (m_loop)
        m_loop->quit();
}

void TPowersock::cancel()
{
    m_cancelled = true;
    wake();
}

template <typename Check> TPowersock::Result TPowersock::waitFor(QDeadlineTimer &deadline, Check check)
{
    for (;;) {
        if (std::optional<Result> r = check())
            return *r;
        if (m_cancelled)
            return {Status::Cancelled, {}};
        if (deadline.hasExpired())
            return {Status::TimedOut, {}};
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(std::chrono::milliseconds(qMax<qint64>(1, deadline.remainingTime())));
        QEventLoop *outer = m_loop;
        m_loop = &loop;
        loop.exec();
        m_loop = outer;
    }
}

TPowersock::Result TPowersock::lookup(const QString &host, QDeadlineTimer deadline,
                                      QList<QHostAddress> &addresses)
{
    addresses.clear();
    const QString name = host.trimmed();
    QHostAddress literal;
    if (literal.setAddress(name)) {
        addresses << literal;
        return {};
    }
    if (name.isEmpty())
        return {Status::Failed, QStringLiteral("Host Lookup Failed")};

    m_lookupDone = false;
    m_lookupAddresses.clear();
    // The result is always delivered through the event loop, never from
    // inside lookupHost(), so the id is known before it arrives.
    m_lookupId = QHostInfo::lookupHost(name, this, [this](const QHostInfo &info) {
        if (info.lookupId() != m_lookupId)
            return;
        m_lookupDone = true;
        if (info.error() == QHostInfo::NoError)
            m_lookupAddresses = info.addresses();
        wake();
    });
    Result r = waitFor(deadline, [this]() -> std::optional<Result> {
        if (m_lookupDone)
            return Result{};
        return std::nullopt;
    });
    if (!m_lookupDone)
        QHostInfo::abortHostLookup(m_lookupId);
    m_lookupId = -1;
    if (!r.ok())
        return r;
    if (m_lookupAddresses.isEmpty())
        return {Status::Failed, QStringLiteral("Host Lookup Failed")};
    addresses = m_lookupAddresses;
    return {};
}

TPowersock::Result TPowersock::connectTo(const QList<QHostAddress> &addresses, quint16 port,
                                         QDeadlineTimer deadline)
{
    Result last{Status::Failed, QStringLiteral("Connection Failed")};
    // A name often has several addresses (IPv6 and IPv4 for "localhost");
    // the server may listen on only one of them.
    for (const QHostAddress &address : addresses) {
        m_socket.abort();
        m_error.reset();
        m_socket.connectToHost(address, port);
        Result r = waitFor(deadline, [this]() -> std::optional<Result> {
            if (m_socket.state() == QAbstractSocket::ConnectedState)
                return Result{};
            if (m_error || m_socket.state() == QAbstractSocket::UnconnectedState)
                return Result{Status::Failed,
                              errorText(m_error.value_or(QAbstractSocket::UnknownSocketError))};
            return std::nullopt;
        });
        if (r.ok())
            return r;
        m_socket.abort();
        if (r.status != Status::Failed)
            return r;
        last = r;
    }
    return last;
}

TPowersock::Result TPowersock::write(const QByteArray &data, int idleLimit)
{
    if (!isConnected())
        return {Status::Closed, QStringLiteral("Not Connected")};
    m_error.reset();
    if (m_socket.write(data) != data.size())
        return {Status::Failed, errorText(m_socket.error())};
    QDeadlineTimer deadline(idleLimit);
    qint64 left = m_socket.bytesToWrite();
    Result r = waitFor(deadline, [this, &left, &deadline, idleLimit]() -> std::optional<Result> {
        const qint64 now = m_socket.bytesToWrite();
        if (now == 0)
            return Result{};
        if (now < left) {
            left = now;
            deadline.setRemainingTime(idleLimit);
        }
        return connectionLost();
    });
    if (r.status == Status::Cancelled)
        r.text = QStringLiteral("Socket send aborted");
    return r;
}

TPowersock::Result TPowersock::startTls(const QString &peerName,
                                        const QList<QSslCertificate> &extraAuthorities,
                                        QDeadlineTimer deadline)
{
    if (!isConnected())
        return {Status::Closed, QStringLiteral("Not Connected")};
    if (!QSslSocket::supportsSsl())
        return {Status::Failed, QStringLiteral("This system offers no TLS library for a secure connection")};
    QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
    if (!extraAuthorities.isEmpty())
        conf.addCaCertificates(extraAuthorities);
    m_socket.setSslConfiguration(conf);
    m_socket.setPeerVerifyName(peerName.trimmed());
    m_error.reset();
    m_sslErrors.clear();
    m_socket.startClientEncryption();
    Result r = waitFor(deadline, [this]() -> std::optional<Result> {
        if (m_socket.isEncrypted())
            return Result{};
        if (m_error || !m_sslErrors.isEmpty() || m_socket.state() != QAbstractSocket::ConnectedState) {
            QString why = m_sslErrors;
            if (why.isEmpty())
                why = m_socket.errorString();
            return Result{Status::Failed, QStringLiteral("The secure connection failed: ") + why};
        }
        return std::nullopt;
    });
    if (r.status == Status::Cancelled)
        r.text = QStringLiteral("Connection Canceled");
    return r;
}

TPowersock::Result TPowersock::readLine(QByteArray &line, QDeadlineTimer deadline)
{
    line.clear();
    m_error.reset();
    Result r = waitFor(deadline, [this, &line]() -> std::optional<Result> {
        // What the server sent before it closed is still in the buffer.
        if (m_socket.canReadLine()) {
            line = m_socket.readLine();
            if (line.size() > maxLineLength)
                return Result{Status::Failed, QStringLiteral("The mail server sent an overlong line")};
            return Result{};
        }
        if (m_socket.bytesAvailable() > maxLineLength)
            return Result{Status::Failed, QStringLiteral("The mail server sent an overlong line")};
        return connectionLost();
    });
    if (r.status == Status::Cancelled)
        r.text = QStringLiteral("Socket readln aborted");
    return r;
}

std::optional<TPowersock::Result> TPowersock::connectionLost() const
{
    if (m_socket.state() != QAbstractSocket::ConnectedState ||
        m_error == QAbstractSocket::RemoteHostClosedError)
        return Result{Status::Closed, QStringLiteral("The mail server closed the connection")};
    if (m_error)
        return Result{Status::Failed, errorText(*m_error)};
    return std::nullopt;
}

void TPowersock::close()
{
    // abort() drops the connection without waiting for unsent data.
    m_socket.abort();
    m_error.reset();
    m_sslErrors.clear();
}

bool TPowersock::isConnected() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

QString TPowersock::errorText(QAbstractSocket::SocketError error)
{
    // Numbered like the classic socket error table, so that a message
    // reported by a user can be looked up.
    struct Entry
    {
        QAbstractSocket::SocketError error;
        int number;
        const char *text;
    };
    static constexpr Entry table[] = {
        {QAbstractSocket::SocketAccessError, 10013, "Permission denied"},
        {QAbstractSocket::UnsupportedSocketOperationError, 10045, "Operation not supported"},
        {QAbstractSocket::AddressInUseError, 10048, "Address already in use"},
        {QAbstractSocket::SocketAddressNotAvailableError, 10049, "Cannot assign requested address"},
        {QAbstractSocket::NetworkError, 10050, "Network is down"},
        {QAbstractSocket::RemoteHostClosedError, 10054, "Connection reset by peer"},
        {QAbstractSocket::SocketResourceError, 10055, "No buffer space available"},
        {QAbstractSocket::SocketTimeoutError, 10060, "Connection timed out"},
        {QAbstractSocket::ConnectionRefusedError, 10061, "Connection refused"},
        {QAbstractSocket::HostNotFoundError, 11001, "Host not found"},
    };
    for (const Entry &e : table)
        if (e.error == error)
            return QStringLiteral("%1:%2").arg(e.number).arg(QLatin1String(e.text));
    return QStringLiteral("Unknown Error No. %1").arg(int(error));
}

} // namespace tlv
