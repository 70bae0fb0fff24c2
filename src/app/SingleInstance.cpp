#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// Connecting to a live copy on the same machine completes at once; the limit only guards
// against a copy so busy that its pending connections fill up.
constexpr int ConnectTimeoutMs = 1000;

} // namespace

SingleInstance::SingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent)
    , m_serverName(serverName)
    , m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::server_NewConnection);
}

QString SingleInstance::userServerName()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return QStringLiteral("kalvex-%1").arg(::getuid());
    return QDir(runtime).filePath(QStringLiteral("kalvex.socket"));
}

// Listening first keeps two copies started together from both taking the name: the bind of
// the second fails while the first holds the socket file.
bool SingleInstance::claim()
{
    if (m_server->listen(m_serverName))
        return true;
    if (askRunningCopyToShow())
        return false;
    QLocalServer::removeServer(m_serverName);
    m_server->listen(m_serverName);
    return true;
}

bool SingleInstance::askRunningCopyToShow() const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    return socket.waitForConnected(ConnectTimeoutMs);
}

// The connection itself is the request; nothing is read from it.
void SingleInstance::server_NewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        socket->disconnectFromServer();
        socket->deleteLater();
    }
    emit showRequested();
}
