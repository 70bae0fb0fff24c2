#include "net/SocketEndpoint.h"

#include <QCoreApplication>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <limits>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

// How long a closed connection may take to hand its last bytes to a partner that reads
// slowly or not at all before it is cut.
constexpr int LingerMilliseconds = 30 * 1000;

constexpr qint32 HighestPort = 65535;

bool isAnyAddress(const QHostAddress &address)
{
    return address.isNull() || address == QHostAddress::Any || address == QHostAddress::AnyIPv4
        || address == QHostAddress::AnyIPv6;
}

// Partners and the status texts speak dotted IPv4, also where a dual-stack socket reports
// an IPv4 peer as ::ffff:a.b.c.d.
QString dottedAddress(const QHostAddress &address)
{
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ipv4).toString() : address.toString();
}

QString firstExternalIPv4()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = interface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback())
                return ip.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

// A socket bound to an IPv4 address can only reach IPv4 partners, and the other way round;
// without a bind address IPv4 comes first because partners know each other by IPv4.
QHostAddress preferredAddress(const QList<QHostAddress> &addresses, const QHostAddress &bindAddress)
{
    const bool bound = !isAnyAddress(bindAddress);
    const auto wanted = bound ? bindAddress.protocol() : QAbstractSocket::IPv4Protocol;
    for (const QHostAddress &address : addresses) {
        if (address.protocol() == wanted)
            return address;
    }
    if (bound || addresses.isEmpty())
        return {};
    return addresses.first();
}

// Sends what is queued, then tells the partner that nothing more comes and lets the socket
// go once the partner has hung up too. Until then the partner's bytes are read and thrown
// away: a socket closed with unread bytes is reset by the system, which discards what it
// still had to send.
void closeGracefully(QTcpSocket *socket)
{
    QObject::connect(socket, &QIODevice::readyRead, socket, [socket] { socket->readAll(); });
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(LingerMilliseconds, socket, &QObject::deleteLater);
    const auto endSendingWhenFlushed = [socket] {
        if (socket->bytesToWrite() == 0)
            ::shutdown(static_cast<int>(socket->socketDescriptor()), SHUT_WR);
    };
    QObject::connect(socket, &QIODevice::bytesWritten, socket, endSendingWhenFlushed);
    socket->readAll();
    // What reaches the system now goes out even if this process ends right after Close.
    socket->flush();
    endSendingWhenFlushed();
}

void setTcpOption(QTcpSocket *socket, int option, int value)
{
    ::setsockopt(
        static_cast<int>(socket->socketDescriptor()), IPPROTO_TCP, option, &value, sizeof value);
}

// A partner whose machine vanishes (cable pulled, power cut) never sends a FIN. The system
// probes a connection idle for KeepAliveIdleSeconds and gives it up after KeepAliveProbes
// unanswered probes. Probes stop while our own bytes wait for an answer (a message typed to
// a partner who has gone), so the user timeout gives such a connection up after as long.
// Either way the end shows as a socket error.
void watchForVanishedPartner(QTcpSocket *socket)
{
    constexpr int giveUpSeconds = SocketEndpoint::KeepAliveIdleSeconds
        + SocketEndpoint::KeepAliveProbes * SocketEndpoint::KeepAliveIntervalSeconds;
    if (socket->socketDescriptor() == -1)
        return;
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    setTcpOption(socket, TCP_KEEPIDLE, SocketEndpoint::KeepAliveIdleSeconds);
    setTcpOption(socket, TCP_KEEPINTVL, SocketEndpoint::KeepAliveIntervalSeconds);
    setTcpOption(socket, TCP_KEEPCNT, SocketEndpoint::KeepAliveProbes);
    setTcpOption(socket, TCP_USER_TIMEOUT, giveUpSeconds * 1000);
}

void dropRequest(QTcpSocket *socket)
{
    socket->abort();
    socket->deleteLater();
}

} // namespace

SocketEndpoint::SocketEndpoint(QObject *parent, const QHostAddress &bindAddress)
    : QObject(parent)
    , m_bindAddress(bindAddress)
    , m_server(new QTcpServer(this))
    , m_dialTimer(new QTimer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SocketEndpoint::onNewConnection);
    m_dialTimer->setSingleShot(true);
    m_dialTimer->setInterval(0);
    connect(m_dialTimer, &QTimer::timeout, this, &SocketEndpoint::startConnecting);
}

SocketEndpoint::~SocketEndpoint()
{
    abortDialling();
}

bool SocketEndpoint::setLocalPort(qint32 port)
{
    if (m_state != SocketState::Closed || port < 0 || port > HighestPort)
        return false;
    m_localPort = port;
    return true;
}

QString SocketEndpoint::LocalIP() const
{
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState)
        return dottedAddress(m_socket->localAddress());
    if (!isAnyAddress(m_bindAddress))
        return dottedAddress(m_bindAddress);
    return firstExternalIPv4();
}

bool SocketEndpoint::Listen()
{
    if (m_state != SocketState::Closed)
        return false;
    if (!m_server->listen(m_bindAddress, static_cast<quint16>(m_localPort)))
        return false;
    if (m_localPort == 0)
        m_localPort = m_server->serverPort();
    setState(SocketState::Listening);
    return true;
}

void SocketEndpoint::Connect()
{
    if (m_state != SocketState::Closed)
        return;
    if (m_remotePort < 1 || m_remotePort > HighestPort) {
        setState(SocketState::Error);
        return;
    }
    setState(SocketState::ResolvingHost);
    // The answer always comes through the event loop, even for a literal address, so
    // Connect returns before anything else happens.
    m_lookupId = QHostInfo::lookupHost(m_remoteHost, this, &SocketEndpoint::onHostResolved);
}

bool SocketEndpoint::Accept(qint32 requestId)
{
    const PendingRequest request = m_pendingRequests.take(requestId);
    if (!request.socket)
        return false;
    Close();
    request.socket->setParent(this);
    attachSocket(request.socket);
    watchForVanishedPartner(request.socket);
    m_remoteHostIP = request.peerIP;
    setState(SocketState::Connected);
    // The partner may have written, or hung up, while the request was being decided.
    drainSocket();
    if (request.socket->state() != QAbstractSocket::ConnectedState)
        onSocketGone(request.socket);
    else if (!m_received.isEmpty())
        scheduleDelivery();
    return true;
}

void SocketEndpoint::SendData(const QByteArray &data)
{
    if (m_state == SocketState::Connected && m_socket)
        m_socket->write(data);
}

QByteArray SocketEndpoint::GetData()
{
    QByteArray data;
    data.swap(m_received);
    m_announced = 0;
    // Bytes the socket held back while our buffer was full are announced afresh.
    drainSocket();
    if (!m_received.isEmpty())
        scheduleDelivery();
    return data;
}

void SocketEndpoint::Close()
{
    abortDialling();
    m_server->close();
    releaseSocket();
    m_received.clear();
    m_announced = 0;
    m_peerGone = false;
    setState(SocketState::Closed);
}

void SocketEndpoint::setState(SocketState state)
{
    m_state = state;
    if (state == SocketState::Error)
        emit Failed();
}

void SocketEndpoint::waitWhileDialling() const
{
    while (m_state == SocketState::ResolvingHost || m_state == SocketState::HostResolved
        || m_state == SocketState::Connecting)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void SocketEndpoint::onNewConnection()
{
    while (m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        socket->setReadBufferSize(MaxHeldBytes);
        const qint32 requestId = m_nextRequestId;
        m_nextRequestId
            = m_nextRequestId == std::numeric_limits<qint32>::max() ? 1 : m_nextRequestId + 1;
        m_pendingRequests.insert(requestId, { socket, dottedAddress(socket->peerAddress()) });

        const QPointer<SocketEndpoint> self(this);
        emit ConnectionRequest(requestId);
        if (!self)
            return;
        // Whatever the handler did not take is refused now, so that a partner opening
        // connections in a loop costs nothing that lasts.
        const PendingRequest unanswered = m_pendingRequests.take(requestId);
        if (unanswered.socket)
            dropRequest(unanswered.socket);
    }
}

// Forgets a lookup still running and an address resolved but not dialled yet. The lookup is
// left to finish and its answer is ignored: aborting it loses the answer's receiver without
// freeing it.
void SocketEndpoint::abortDialling()
{
    m_dialTimer->stop();
    m_lookupId = -1;
}

void SocketEndpoint::onHostResolved(const QHostInfo &info)
{
    if (info.lookupId() != m_lookupId || m_state != SocketState::ResolvingHost)
        return;
    m_lookupId = -1;
    const QHostAddress address = preferredAddress(info.addresses(), m_bindAddress);
    if (info.error() != QHostInfo::NoError || address.isNull()) {
        setState(SocketState::Error);
        return;
    }
    m_resolvedAddress = address;
    setState(SocketState::HostResolved);
    m_dialTimer->start();
}

void SocketEndpoint::startConnecting()
{
    auto *socket = new QTcpSocket(this);
    attachSocket(socket);
    setState(SocketState::Connecting);
    // The outgoing connection leaves from our own address, so the partner sees the same
    // address that we listen on.
    if (!isAnyAddress(m_bindAddress) || m_localPort != 0) {
        if (!socket->bind(m_bindAddress, static_cast<quint16>(m_localPort))) {
            if (m_socket == socket)
                failConnecting();
            return;
        }
    }
    socket->connectToHost(m_resolvedAddress, static_cast<quint16>(m_remotePort));
}

void SocketEndpoint::failConnecting()
{
    detachSocket();
    setState(SocketState::Error);
}

void SocketEndpoint::attachSocket(QTcpSocket *socket)
{
    socket->setReadBufferSize(MaxHeldBytes);
    connect(
        socket, &QAbstractSocket::connected, this, [this, socket] { onSocketConnected(socket); });
    connect(socket, &QIODevice::readyRead, this, [this, socket] { onSocketReadyRead(socket); });
    connect(
        socket, &QAbstractSocket::errorOccurred, this, [this, socket] { onSocketError(socket); });
    connect(socket, &QAbstractSocket::disconnected, this, [this, socket] { onSocketGone(socket); });
    m_socket = socket;
}

void SocketEndpoint::onSocketConnected(QTcpSocket *socket)
{
    if (socket != m_socket || m_state != SocketState::Connecting)
        return;
    m_remoteHostIP = dottedAddress(socket->peerAddress());
    watchForVanishedPartner(socket);
    setState(SocketState::Connected);
    emit Connected();
}

void SocketEndpoint::onSocketReadyRead(QTcpSocket *socket)
{
    if (socket != m_socket)
        return;
    drainSocket();
    // Announced from the event loop rather than from inside readyRead: the socket stays
    // silent about bytes that arrive while its own readyRead is still running, which a
    // handler showing a message box would otherwise cause.
    if (m_received.size() > m_announced)
        scheduleDelivery();
}

// A connection that breaks (reset by the partner, or given up because the partner no longer
// answers) ends the way a partner's hang-up does.
void SocketEndpoint::onSocketError(QTcpSocket *socket)
{
    if (socket != m_socket)
        return;
    if (m_state == SocketState::Connected)
        onSocketGone(socket);
    else
        failConnecting();
}

void SocketEndpoint::onSocketGone(QTcpSocket *socket)
{
    if (socket != m_socket || m_state != SocketState::Connected)
        return;
    drainSocket();
    detachSocket();
    m_peerGone = true;
    scheduleDelivery();
}

// For a socket whose connection failed or ended: nothing of it is wanted any more.
void SocketEndpoint::detachSocket()
{
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    if (!socket)
        return;
    socket->disconnect(this);
    socket->deleteLater();
}

// For a socket we close ourselves: what is queued still goes out, then it goes away.
void SocketEndpoint::releaseSocket()
{
    QTcpSocket *socket = m_socket;
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) {
        detachSocket();
        return;
    }
    m_socket = nullptr;
    socket->disconnect(this);
    closeGracefully(socket);
}

// The socket buffers no more than MaxHeldBytes either, so a partner that sends faster than
// the owner reads fills neither buffer beyond that.
void SocketEndpoint::drainSocket()
{
    if (!m_socket)
        return;
    while (m_received.size() < MaxHeldBytes && m_socket->bytesAvailable() > 0)
        m_received.append(m_socket->read(MaxHeldBytes - m_received.size()));
}

void SocketEndpoint::scheduleDelivery()
{
    if (m_deliveryQueued)
        return;
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(this, &SocketEndpoint::deliver, Qt::QueuedConnection);
}

// The one place DataArrival and PeerClosed are emitted from, always from the event loop and
// never inside a running DataArrival handler: what comes in meanwhile is announced once that
// handler has returned, and the partner's hang-up only after the bytes it sent before.
void SocketEndpoint::deliver()
{
    m_deliveryQueued = false;
    if (m_inDataArrival || m_state != SocketState::Connected)
        return;
    if (m_received.size() > m_announced) {
        m_announced = m_received.size();
        const QPointer<SocketEndpoint> self(this);
        m_inDataArrival = true;
        emit DataArrival(
            static_cast<qint32>(qMin<qsizetype>(m_announced, std::numeric_limits<qint32>::max())));
        if (!self)
            return;
        m_inDataArrival = false;
        if (m_received.size() > m_announced || m_peerGone)
            scheduleDelivery();
        return;
    }
    if (m_peerGone) {
        m_peerGone = false;
        setState(SocketState::Closing);
        emit PeerClosed();
    }
}
