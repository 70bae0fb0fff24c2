#include "net/SocketEndpoint.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using State = SocketEndpoint::SocketState;

namespace {

constexpr int Patience = 20000;
const QHostAddress Loopback1(QStringLiteral("127.0.0.1"));
const QHostAddress Loopback2(QStringLiteral("127.0.0.2"));

// Has `client` dial the listening `server` at 127.0.0.1, which accepts the call.
bool connectPair(SocketEndpoint &server, SocketEndpoint &client)
{
    QObject::connect(&server, &SocketEndpoint::ConnectionRequest, &server,
        [&server](qint32 id) { server.Accept(id); });
    client.setRemoteHost(QStringLiteral("127.0.0.1"));
    client.setRemotePort(server.LocalPort());
    client.Connect();
    client.waitWhileDialling();
    return client.State() == State::Connected
        && QTest::qWaitFor([&] { return server.State() == State::Connected; }, Patience);
}

// Takes what arrives the way the owner is meant to: GetData inside DataArrival.
struct Collector
{
    explicit Collector(SocketEndpoint &endpoint)
    {
        QObject::connect(&endpoint, &SocketEndpoint::DataArrival, &endpoint,
            [this, &endpoint] { received += endpoint.GetData(); });
        QObject::connect(&endpoint, &SocketEndpoint::PeerClosed, &endpoint,
            [this] { closedAfter.append(received.size()); });
    }
    QByteArray received;
    QList<qsizetype> closedAfter; // bytes received when each PeerClosed came
};

// The first 256 bytes are every byte value once; after them no block repeats its neighbour.
QByteArray patternBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i + i / 256);
    return bytes;
}

} // namespace

class tst_SocketEndpoint : public QObject
{
    Q_OBJECT

private slots:
    // Every state of dialling lasts at least one turn of the event loop, so a status timer
    // can show each of them; an attempt closed in any of them leaves no connection behind,
    // and one that fails says so once.
    void dialStatesAreEachSeen_data()
    {
        QTest::addColumn<int>("port"); // 1: the probe's port, nobody listening on it
        QTest::addColumn<State>("closeIn");
        QTest::addColumn<QList<State>>("expected");
        using S = State;
        QTest::newRow("nobody listens")
            << 1 << S::Closed
            << QList<S> { S::ResolvingHost, S::HostResolved, S::Connecting, S::Error };
        QTest::newRow("closed while resolving")
            << 0 << S::ResolvingHost << QList<S> { S::ResolvingHost, S::Closed };
        QTest::newRow("closed once resolved")
            << 0 << S::HostResolved << QList<S> { S::ResolvingHost, S::HostResolved, S::Closed };
        QTest::newRow("port 65536") << 65536 << S::Closed << QList<S> { S::Error };
        QTest::newRow("port -1") << -1 << S::Closed << QList<S> { S::Error };
    }
    void dialStatesAreEachSeen()
    {
        QFETCH(int, port);
        QFETCH(State, closeIn);
        QFETCH(QList<State>, expected);
        QTcpServer probe;
        QVERIFY(probe.listen(Loopback1));
        SocketEndpoint endpoint(nullptr, Loopback1);
        QSignalSpy failed(&endpoint, &SocketEndpoint::Failed);
        endpoint.setRemoteHost(QStringLiteral("127.0.0.1"));
        endpoint.setRemotePort(port == 0 || port == 1 ? probe.serverPort() : port);
        if (port == 1)
            probe.close();
        QList<State> seen;
        const auto observe = [&] {
            if (seen.isEmpty() || seen.last() != endpoint.State())
                seen.append(endpoint.State());
            if (endpoint.State() == closeIn)
                endpoint.Close();
        };
        endpoint.Connect();
        observe();
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, observe);
        watch.start(0);
        QTRY_COMPARE_WITH_TIMEOUT(seen.last(), expected.last(), Patience);
        QTest::qWait(100);
        QCOMPARE(seen, expected);
        QCOMPARE(failed.size(), expected.last() == State::Error ? 1 : 0);
        QVERIFY(!probe.hasPendingConnections());
    }

    // One call from dialling to hanging up. The caller's Close still sends what it queued,
    // more than the socket buffers hold; the called side announces those bytes, then the
    // hang-up, and refuses to listen or change its port until its owner closes it too. The
    // dual-stack listener sees ::ffff:127.0.0.2, which is shown as plain IPv4.
    void callFromConnectToHangUp()
    {
        const QHostAddress serverBind(QHostAddress::Any);
        SocketEndpoint server(nullptr, serverBind);
        SocketEndpoint client(nullptr, Loopback2);
        QVERIFY(!server.setLocalPort(65536));
        QVERIFY(!server.setLocalPort(-1));
        QVERIFY(server.Listen());
        QVERIFY(connectPair(server, client));
        QCOMPARE(server.LocalIP() + server.RemoteHostIP(), QStringLiteral("127.0.0.1127.0.0.2"));
        QCOMPARE(client.LocalIP() + client.RemoteHostIP(), QStringLiteral("127.0.0.2127.0.0.1"));
        const QByteArray everyByte = patternBytes(256);
        Collector atServer(server);
        Collector atClient(client);
        client.SendData(everyByte);
        server.SendData(everyByte);
        QTRY_COMPARE_WITH_TIMEOUT(atClient.received, everyByte, Patience);

        const QByteArray last = patternBytes(6 * 1024 * 1024);
        client.SendData(last);
        client.Close();
        QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Closing, Patience);
        QCOMPARE(atServer.received, everyByte + last);
        QCOMPARE(atServer.closedAfter, QList<qsizetype> { everyByte.size() + last.size() });
        const qint32 port = server.LocalPort();
        QVERIFY(!server.Listen());
        QVERIFY(!server.setLocalPort(port + 1));
        server.Close();
        QVERIFY(server.setLocalPort(65535));
        QVERIFY(server.setLocalPort(port));
        QVERIFY(server.Listen());
        // Once both sides have hung up, the closed connection is freed.
        QTRY_COMPARE_WITH_TIMEOUT(client.findChildren<QTcpSocket *>().size(), 0, Patience);
    }

    // While the user is asked whether to take a call, the caller writes, and may give up:
    // the call taken afterwards still shows its bytes, then its end. Calls the handler
    // leaves untaken are hung up at once.
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
        Collector collected(server);
        caller.connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));
        QTRY_COMPARE_WITH_TIMEOUT(collected.received, QByteArray("{FILE}a.txt"), Patience);
        caller.disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Closing, Patience);
        QCOMPARE(collected.closedAfter, QList<qsizetype> { 11 });
        QCOMPARE(server.RemoteHostIP(), QStringLiteral("127.0.0.1"));
        server.Close();
        QVERIFY(server.Listen());
        connect(&untaken, &QAbstractSocket::connected, &untaken, [&] { untaken.write("x"); });
        untaken.connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));
        QTRY_COMPARE_WITH_TIMEOUT(untaken.state(), QAbstractSocket::UnconnectedState, Patience);
        QTRY_COMPARE_WITH_TIMEOUT(server.findChildren<QTcpSocket *>().size(), 0, Patience);
        QCOMPARE(server.State(), State::Listening);
    }

    // A handler that shows a message box runs a nested event loop, in which the partner's
    // next bytes come in: they are announced after it returns, counted with the untaken ones.
    void bytesDuringNestedLoopAreAnnouncedAfterwards()
    {
        SocketEndpoint server(nullptr, Loopback1);
        SocketEndpoint client(nullptr, Loopback2);
        QVERIFY(server.Listen());
        QVERIFY(connectPair(server, client));
        QList<qint32> announced;
        connect(&server, &SocketEndpoint::DataArrival, &server, [&](qint32 total) {
            announced.append(total);
            if (announced.size() > 1)
                return;
            client.SendData("second");
            QTest::qWait(100);
            QCOMPARE(announced.size(), 1);
        });
        client.SendData("first");
        QTRY_COMPARE_WITH_TIMEOUT(announced.size(), 2, Patience);
        QCOMPARE(announced.last(), qint32(11));
        QCOMPARE(server.GetData(), QByteArray("firstsecond"));
        client.SendData("third");
        QTRY_COMPARE_WITH_TIMEOUT(announced.size(), 3, Patience);
        server.Close();
        QCOMPARE(server.GetData(), QByteArray());
    }

    // An owner that does not take its bytes holds 4 MiB at most; TCP holds back the rest.
    void fastPartnerIsHeldBack()
    {
        SocketEndpoint server(nullptr, Loopback1);
        SocketEndpoint client(nullptr, Loopback2);
        QVERIFY(server.Listen());
        QVERIFY(connectPair(server, client));
        qint32 mostAnnounced = 0;
        connect(&server, &SocketEndpoint::DataArrival, &server,
            [&](qint32 total) { mostAnnounced = qMax(mostAnnounced, total); });
        const QByteArray flood = patternBytes(20 * 1024 * 1024 + 3);
        client.SendData(flood);
        QTRY_COMPARE_WITH_TIMEOUT(mostAnnounced, qint32(4 * 1024 * 1024), Patience);
        QByteArray received = server.GetData();
        connect(
            &server, &SocketEndpoint::DataArrival, &server, [&] { received += server.GetData(); });
        QTRY_COMPARE_WITH_TIMEOUT(received, flood, Patience);
        QCOMPARE(mostAnnounced, qint32(4 * 1024 * 1024));
    }
};

QTEST_MAIN(tst_SocketEndpoint)
#include "tst_SocketEndpoint.moc"
