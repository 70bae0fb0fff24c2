#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

class QHostInfo;
class QTcpServer;
class QTcpSocket;
class QTimer;

// One TCP endpoint that holds at most one listening socket or one connection at a time,
// reporting its progress as a small state number and its happenings as signals on the
// thread that owns it. Bytes in, bytes out: text conversion belongs to the callers.
class SocketEndpoint : public QObject
{
    Q_OBJECT

public:
    enum class SocketState : qint16 {
        Closed = 0,
        Open = 1,
        Listening = 2,
        ConnectionPending = 3,
        ResolvingHost = 4,
        HostResolved = 5,
        Connecting = 6,
        Connected = 7,
        Closing = 8, // the peer has closed; Listen and LocalPort are refused until Close
        Error = 9,
    };
    Q_ENUM(SocketState)

    // Unread bytes one connection holds for its owner; beyond them the partner is held back
    // by TCP until the owner takes what is waiting.
    static constexpr qsizetype MaxHeldBytes = 4 * 1024 * 1024;
    // A connection whose partner answers nothing, not even the system's probes, ends within
    // a minute, as if the partner had closed it (PeerClosed). Nothing is added to the stream.
    static constexpr int KeepAliveIdleSeconds = 30;
    static constexpr int KeepAliveIntervalSeconds = 10;
    static constexpr int KeepAliveProbes = 3;

    // Listening sockets and outgoing connections use bindAddress (any address by default).
    explicit SocketEndpoint(
        QObject *parent = nullptr, const QHostAddress &bindAddress = QHostAddress::Any);
    ~SocketEndpoint() override;

    SocketState State() const { return m_state; }

    qint32 LocalPort() const { return m_localPort; }
    // Refused (false, nothing changes) unless the endpoint is closed and port is 0 to 65535.
    bool setLocalPort(qint32 port);
    QString RemoteHost() const { return m_remoteHost; }
    void setRemoteHost(const QString &host) { m_remoteHost = host; }
    qint32 RemotePort() const { return m_remotePort; }
    void setRemotePort(qint32 port) { m_remotePort = port; }
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // True once the peer has closed a connection whose end is not announced yet, because
    // a DataArrival handler still runs (a modal box inside it, say).
    bool PeerHasClosed() const { return m_peerGone; }

    // The machine's IPv4 address as a partner would see it; never 0.0.0.0.
    QString LocalIP() const;
    // The partner's IPv4 address while connected, else the last one known.
    QString RemoteHostIP() const { return m_remoteHostIP; }

    // Waits for connections on LocalPort. False, and nothing changes, unless closed.
    bool Listen();
    // Starts connecting to RemoteHost:RemotePort and returns at once; the state passes
    // 4, 5 and 6 and ends at 7 (signal Connected) or 9 (signal Failed). Ignored unless the
    // endpoint is closed.
    void Connect();
    // Lets events run until the endpoint has stopped dialling, connected or not; whatever
    // the partner answers first may be handled inside. Returns at once when not dialling.
    void waitWhileDialling() const;
    // Takes the pending connection requestId announced by ConnectionRequest; the endpoint
    // then holds that connection and no longer listens. False for an unknown id.
    bool Accept(qint32 requestId);
    // Queues the bytes for sending; ignored unless connected.
    void SendData(const QByteArray &data);
    // Everything received and not yet taken.
    QByteArray GetData();
    // Ends listening or the connection (queued bytes still go out) and returns to state 0.
    void Close();

signals:
    // A partner asks to connect; accept it with Accept(requestId) before the handler returns.
    void ConnectionRequest(qint32 requestId);
    // The outgoing connection stands.
    void Connected();
    // The outgoing connection could not be made; the endpoint is in state 9. May come from
    // inside Connect, for a port no connection can go to.
    void Failed();
    // Bytes arrived; one signal per arrival, also for bytes that came in while an earlier
    // DataArrival handler was still running.
    void DataArrival(qint32 bytesTotal);
    // The peer closed the connection; the endpoint is in state 8.
    void PeerClosed();

private:
    struct PendingRequest
    {
        QTcpSocket *socket = nullptr;
        // Kept apart because the socket forgets its peer once the peer hangs up.
        QString peerIP;
    };

    void setState(SocketState state);
    void onNewConnection();
    void abortDialling();
    void onHostResolved(const QHostInfo &info);
    void startConnecting();
    void failConnecting();
    void attachSocket(QTcpSocket *socket);
    void onSocketConnected(QTcpSocket *socket);
    void onSocketReadyRead(QTcpSocket *socket);
    void onSocketError(QTcpSocket *socket);
    void onSocketGone(QTcpSocket *socket);
    void detachSocket();
    void releaseSocket();
    void drainSocket();
    void scheduleDelivery();
    void deliver();

    QHostAddress m_bindAddress;
    SocketState m_state = SocketState::Closed;
    qint32 m_localPort = 0;
    QString m_remoteHost;
    qint32 m_remotePort = 0;
    QString m_tag;
    QString m_remoteHostIP;
    QTcpServer *m_server = nullptr;
    QPointer<QTcpSocket> m_socket;
    // Requests live only while their ConnectionRequest is being handled.
    QHash<qint32, PendingRequest> m_pendingRequests;
    qint32 m_nextRequestId = 1;
    // The host lookup whose answer is still wanted; -1 for none.
    int m_lookupId = -1;
    // Dialling starts one event-loop turn after the host is resolved, so that state 5 can be
    // seen by a status timer like 4 and 6; stopped when the attempt is given up before.
    QTimer *m_dialTimer = nullptr;
    QHostAddress m_resolvedAddress;
    // Bytes taken off the socket that the owner has not fetched with GetData yet.
    QByteArray m_received;
    // How many of m_received the last DataArrival announced, so the same bytes are not
    // announced twice.
    qsizetype m_announced = 0;
    // The connection ended while bytes or the announcement of the end were still due.
    bool m_peerGone = false;
    bool m_inDataArrival = false;
    bool m_deliveryQueued = false;
};
