#include "net/SocketEndpoint.h"

#include <QTcpSocket>
#include <QTest>

#include <utility>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

using State = SocketEndpoint::SocketState;

namespace {

constexpr int Patience = 20000;
constexpr qint32 HeldBytes = 4 * 1024 * 1024;
const QHostAddress Loopback1(QStringLiteral("127.0.0.1"));
const QHostAddress Loopback2(QStringLiteral("127.0.0.2"));

// Every byte value, and no block of 256 the same as its neighbour.
QByteArray patternBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i + i / 256);
    return bytes;
}

// SO_KEEPALIVE, TCP_KEEPIDLE, TCP_KEEPINTVL, TCP_KEEPCNT and TCP_USER_TIMEOUT as the system
// reports them for the endpoint's connection.
QString keepAliveOptions(const SocketEndpoint &endpoint)
{
    const int socket = int(endpoint.findChild<QTcpSocket *>()->socketDescriptor());
    QStringList values;
    const std::pair<int, int> options[] = { { SOL_SOCKET, SO_KEEPALIVE },
        { IPPROTO_TCP, TCP_KEEPIDLE }, { IPPROTO_TCP, TCP_KEEPINTVL }, { IPPROTO_TCP, TCP_KEEPCNT },
        { IPPROTO_TCP, TCP_USER_TIMEOUT } };
    for (const auto &[level, name] : options) {
        int value = -1;
        socklen_t size = sizeof value;
        getsockopt(socket, level, name, &value, &size);
        values << QString::number(value);
    }
    return values.join(u' ');
}

} // namespace

class tst_SocketEndpoint : public QObject
{
    Q_OBJECT

private slots:
    // Two calls from dialling to hanging up; the dual-stack listener sees ::ffff:127.0.0.2,
    // shown as plain IPv4. Both ends give up a partner that stops answering within a minute. Bytes
    // and a hang-up that come while a DataArrival handler runs a nested event loop (a message box)
    // are announced after it returns, bytes first. The called side then refuses to listen or change
    // its port until its owner closes it too. An owner that does not take its bytes holds 4 MiB at
    // most; Close still sends all it queued.
    void callFromConnectToHangUp()
    {
        SocketEndpoint server(nullptr, QHostAddress::Any);
        SocketEndpoint client(nullptr, Loopback2);
        QVERIFY(!server.setLocalPort(65536));
        QVERIFY(server.Listen());
        int calls = 0;
        connect(&server, &SocketEndpoint::ConnectionRequest, &server, [&](qint32 id) {
            ++calls;
            server.Accept(id);
        });
        client.setRemoteHost(QStringLiteral("127.0.0.1"));
        for (const qint32 port : { 0, 65536, server.LocalPort() }) {
            client.setRemotePort(port);
            client.Connect();
            QCOMPARE(client.State() == State::Error, port != server.LocalPort());
            client.Close();
        }
        client.setRemotePort(server.LocalPort());
        client.Connect();
        client.waitWhileDialling();
        QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Connected, Patience);
        QCOMPARE(calls, 1);
        QCOMPARE(server.LocalIP() + server.RemoteHostIP(), QStringLiteral("127.0.0.1127.0.0.2"));
        QCOMPARE(client.LocalIP() + client.RemoteHostIP(), QStringLiteral("127.0.0.2127.0.0.1"));
        QCOMPARE(keepAliveOptions(server), QStringLiteral("1 30 10 3 60000"));
        QCOMPARE(keepAliveOptions(client), QStringLiteral("1 30 10 3 60000"));
        QList<qint32> announced; // -1 for the hang-up
        QByteArray received;
        bool nested = true, taking = false;
        connect(&server, &SocketEndpoint::DataArrival, &server, [&](qint32 total) {
            announced.append(total);
            QVERIFY(total <= HeldBytes);
            if (std::exchange(nested, false)) {
                client.SendData("second");
                client.Close();
                QTest::qWait(100);
                QCOMPARE(announced.size(), 1);
            }
            if (taking)
                received += server.GetData();
        });
        connect(&server, &SocketEndpoint::PeerClosed, &server, [&] { announced.append(-1); });
        client.SendData("first");
        QTRY_COMPARE_WITH_TIMEOUT(announced, (QList<qint32> { 5, 11, -1 }), Patience);
        QCOMPARE(server.GetData(), QByteArray("firstsecond"));
        const qint32 port = server.LocalPort();
        QVERIFY(!server.Listen());
        QVERIFY(!server.setLocalPort(port + 1));
        server.Close();
        QCOMPARE(server.GetData(), QByteArray());
        QVERIFY(server.setLocalPort(65535));
        QVERIFY(server.setLocalPort(port));
        QVERIFY(server.Listen());
        client.Connect();
        client.waitWhileDialling();
        const QByteArray flood = patternBytes(20 * 1024 * 1024 + 3);
        client.SendData(flood);
        client.Close();
        QTRY_COMPARE_WITH_TIMEOUT(announced.last(), HeldBytes, Patience);
        taking = true;
        received = server.GetData();
        QTRY_COMPARE_WITH_TIMEOUT(announced.last(), -1, Patience);
        QCOMPARE(received, flood);
        QTRY_COMPARE_WITH_TIMEOUT(client.findChildren<QTcpSocket *>().size(), 0, Patience);
    }

    // While the user is asked whether to take a call, the caller writes, and may give up:
    // the call taken afterwards still shows its bytes, then its end. Calls the handler leaves
    // untaken are hung up at once.
    void callsDecidedLate_data()
    {
        QTest::addColumn<bool>("hangsUp");
        QTest::newRow("the caller waits") << false;
        QTest::newRow("the caller gives up") << true;
    }
    void callsDecidedLate()
    {
        QFETCH(bool, hangsUp);
        SocketEndpoint server(nullptr, Loopback1);
        QVERIFY(server.Listen());
        QTcpSocket caller;
        QTcpSocket untaken;
        int calls = 0;
        connect(&server, &SocketEndpoint::ConnectionRequest, &server, [&](qint32 id) {
            if (++calls > 1)
                return;
            caller.write("{FILE}a.txt");
            if (hangsUp)
                caller.disconnectFromHost();
            auto *request = server.findChild<QTcpSocket *>();
            QTRY_VERIFY_WITH_TIMEOUT(request->bytesAvailable() == 11
                    && (request->state() == QAbstractSocket::UnconnectedState) == hangsUp,
                Patience);
            QVERIFY(server.Accept(id));
            QVERIFY(!server.Accept(id));
        });
        QByteArray got;
        connect(&server, &SocketEndpoint::DataArrival, &server, [&] { got += server.GetData(); });
        connect(&server, &SocketEndpoint::PeerClosed, &server, [&] { got += "<closed>"; });
        caller.connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));
        QTRY_VERIFY_WITH_TIMEOUT(got.startsWith("{FILE}a.txt"), Patience);
        caller.disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(got, QByteArray("{FILE}a.txt<closed>"), Patience);
        server.Close();
        QVERIFY(server.Listen());
        connect(&untaken, &QAbstractSocket::connected, &untaken, [&] { untaken.write("x"); });
        untaken.connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));
        QTRY_COMPARE_WITH_TIMEOUT(untaken.state(), QAbstractSocket::UnconnectedState, Patience);
    }
};

QTEST_MAIN(tst_SocketEndpoint)
#include "tst_SocketEndpoint.moc"
