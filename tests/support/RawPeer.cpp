#include "support/RawPeer.h"

#include "support/TestProgram.h"

#include <sys/socket.h>

bool RawPeer::call(const QString &from, quint16 port)
{
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->bind(QHostAddress(from));
    m_socket->connectToHost(QStringLiteral("127.0.0.1"), port);
    return m_socket->waitForConnected(5000);
}

bool RawPeer::answerCalls(const QString &at, quint16 port)
{
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        m_socket.reset(m_server.nextPendingConnection());
        m_socket->setParent(nullptr);
    });
    return m_server.listen(QHostAddress(at), port);
}

void RawPeer::send(const QByteArray &bytes)
{
    TestProgram::busyWaitFor([this] { return m_socket != nullptr; }, 5000);
    m_socket->write(bytes);
    m_socket->flush();
}

bool RawPeer::receives(const QByteArray &expected)
{
    return TestProgram::busyWaitFor([&] { return received().endsWith(expected); }, 5000);
}

QByteArray RawPeer::received()
{
    m_received += m_socket ? m_socket->readAll() : QByteArray();
    return m_received;
}

bool RawPeer::hungUpOn()
{
    return TestProgram::busyWaitFor(
        [&] { return m_socket && m_socket->state() == QAbstractSocket::UnconnectedState; }, 5000);
}

void RawPeer::hangUp()
{
    m_socket->disconnectFromHost();
}

void RawPeer::reset()
{
    const linger abortive { 1, 0 };
    ::setsockopt(static_cast<int>(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
        sizeof abortive);
    m_socket->abort();
}
