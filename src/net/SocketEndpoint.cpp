#include "net/SocketEndpoint.h"

#include <QTcpServer>
#include <QTcpSocket>

// Placeholder: the endpoint is being built.
SocketEndpoint::SocketEndpoint(QObject *parent, const QHostAddress &bindAddress)
    : QObject(parent)
    , m_bindAddress(bindAddress)
{
}

SocketEndpoint::~SocketEndpoint() = default;

bool SocketEndpoint::setLocalPort(qint32 port)
{
    if (m_state != SocketState::Closed)
        return false;
    m_localPort = port;
    return true;
}

QString SocketEndpoint::LocalIP() const { return QStringLiteral("127.0.0.1"); }
bool SocketEndpoint::Listen() { return false; }
void SocketEndpoint::Connect() { }
bool SocketEndpoint::Accept(qint32) { return false; }
void SocketEndpoint::SendData(const QByteArray &) { }
QByteArray SocketEndpoint::GetData() { return {}; }
void SocketEndpoint::Close() { setState(SocketState::Closed); }
void SocketEndpoint::setState(SocketState state) { m_state = state; }
