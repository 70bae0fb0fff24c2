#pragma once

#include <QByteArray>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

// A partner that is not Kalvex: a raw socket that writes exactly the bytes a test gives it,
// however a sender might cut or join them, and keeps all it receives.
class RawPeer
{
public:
    // Calls 127.0.0.1 at port from the address `from`; true once connected.
    bool call(const QString &from, quint16 port);
    // Takes the next call to port on address `at`.
    bool answerCalls(const QString &at, quint16 port);
    void send(const QByteArray &bytes);
    // True once what came so far ends with expected.
    bool receives(const QByteArray &expected);
    QByteArray received();
    // True once the other side has hung up.
    bool hungUpOn();
    void hangUp();
    // Ends the connection as a system that gives it up does: with a reset.
    void reset();

private:
    QTcpServer m_server;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_received;
};
