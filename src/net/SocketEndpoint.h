#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpServer;
class QTcpSocket;

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

    // Listening sockets and outgoing connections use bindAddress (any address by default).
    explicit SocketEndpoint(QObject *parent = nullptr, const QHostAddress &bindAddress = QHostAddress::Any);
    ~SocketEndpoint() override;

    SocketState State() const { return m_state; }

    qint32 LocalPort() const { return m_localPort; }
    // Refused (false, nothing changes) unless the endpoint is closed.
    bool setLocalPort(qint32 port);
    QString RemoteHost() const { return m_remoteHost; }
    void setRemoteHost(const QString &host) { m_remoteHost = host; }
    qint32 RemotePort() const { return m_remotePort; }
    void setRemotePort(qint32 port) { m_remotePort = port; }
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // The machine's IPv4 address as a partner would see it; never 0.0.0.0.
    QString LocalIP() const;
    // The partner's IPv4 address while connected, else the last one known.
    QString RemoteHostIP() const { return m_remoteHostIP; }

    // Waits for connections on LocalPort. False, and nothing changes, unless closed.
    bool Listen();
    // Starts connecting to RemoteHost:RemotePort and returns at once; the state passes
    // 4, 5 and 6 and ends at 7 (signal Connected) or 9.
    void Connect();
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
    // Bytes arrived; one signal per arrival, also for bytes that came in while an earlier
    // DataArrival handler was still running.
    void DataArrival(qint32 bytesTotal);
    // The peer closed the connection; the endpoint is in state 8.
    void PeerClosed();

private:
    // The implementation's members; see SocketEndpoint.cpp.
    void setState(SocketState state);

    QHostAddress m_bindAddress;
    SocketState m_state = SocketState::Closed;
    qint32 m_localPort = 0;
    QString m_remoteHost;
    qint32 m_remotePort = 0;
    QString m_tag;
    QString m_remoteHostIP;
    QTcpServer *m_server = nullptr;
    QPointer<QTcpSocket> m_socket;
    QHash<qint32, QTcpSocket *> m_pendingRequests;
    qint32 m_nextRequestId = 1;
};
