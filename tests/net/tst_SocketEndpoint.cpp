#include "net/SocketEndpoint.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using State = SocketEndpoint::SocketState;

namespace {

constexpr int Patience = 20000;
const QHostAddress Loopback1(QStringLiteral("127.0.0.1"));
const QHostAddress Loopback2(QStringLiteral("127.0.0.2"));

// Listens on `server`, has `client` call it at `host` and accepts the call.
bool connectPair(SocketEndpoint &server, SocketEndpoint &client,
    const QString &host = QStringLiteral("127.0.0.1"))
{
    if (!server.Listen())
        return false;
    QObject::connect(&server, &SocketEndpoint::ConnectionRequest, &server,
        [&server](qint32 id) { server.Accept(id); });
    client.setRemoteHost(host);
    client.setRemotePort(server.LocalPort());
    client.Connect();
    return QTest::qWaitFor(
        [&] { return server.State() == State::Connected && client.State() == State::Connected; },
        Patience);
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
    // can show each of them; an attempt closed in any of them leaves no connection behind.
    void dialStatesAreEachSeen_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<State>("closeIn");
        QTest::addColumn<QList<State>>("expected");
        QTest::newRow("nobody listens") << false << State::Closed
                                        << QList<State> { State::ResolvingHost, State::HostResolved,
                                               State::Connecting, State::Error };
        QTest::newRow("closed while resolving")
            << true << State::ResolvingHost << QList<State> { State::ResolvingHost, State::Closed };
        QTest::newRow("closed once resolved")
            << true << State::HostResolved
            << QList<State> { State::ResolvingHost, State::HostResolved, State::Closed };
    }
    void dialStatesAreEachSeen()
    {
        QFETCH(bool, listening);
        QFETCH(State, closeIn);
        QFETCH(QList<State>, expected);
        QTcpServer probe;
        QVERIFY(probe.listen(Loopback1));
        SocketEndpoint endpoint(nullptr, Loopback1);
        endpoint.setRemoteHost(QStringLiteral("127.0.0.1"));
        endpoint.setRemotePort(probe.serverPort());
        if (!listening)
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
        QTest::qWait(200);
        QCOMPARE(seen, expected);
        QVERIFY(!probe.hasPendingConnections());
    }

    // One call from connecting to hanging up. The caller's Close still sends what it queued;
    // the called side announces those bytes, then the hang-up, and refuses to listen or
    // change its port until its owner closes it too; then its port is its own again.
    void callFromConnectToHangUp_data()
    {
        QTest::addColumn<QHostAddress>("serverBind");
        QTest::addColumn<QString>("host");
        QTest::addColumn<qsizetype>("lastWords");
        QTest::newRow("silent hang-up") << Loopback1 << QStringLiteral("127.0.0.1") << qsizetype(0);
        QTest::newRow("by name") << Loopback1 << QStringLiteral("localhost") << qsizetype(30);
        // The listener sees ::ffff:127.0.0.2, which must be shown as plain IPv4.
        QTest::newRow("dual-stack listener, more than the socket buffers hold") << QHostAddress(
            QHostAddress::Any) << QStringLiteral("127.0.0.1") << qsizetype(6 * 1024 * 1024);
    }
    void callFromConnectToHangUp()
    {
        QFETCH(QHostAddress, serverBind);
        QFETCH(QString, host);
        QFETCH(qsizetype, lastWords);
        SocketEndpoint server(nullptr, serverBind);
        SocketEndpoint client(nullptr, Loopback2);
        QVERIFY(connectPair(server, client, host));
        QCOMPARE(server.LocalIP(), QStringLiteral("127.0.0.1"));
        QCOMPARE(server.RemoteHostIP(), QStringLiteral("127.0.0.2"));
        QCOMPARE(client.LocalIP(), QStringLiteral("127.0.0.2"));
        QCOMPARE(client.RemoteHostIP(), QStringLiteral("127.0.0.1"));
        const QByteArray everyByte = patternBytes(256);
        Collector atServer(server);
        Collector atClient(client);
        client.SendData(everyByte);
        server.SendData(everyByte);
        QTRY_COMPARE_WITH_TIMEOUT(atServer.received, everyByte, Patience);
        QTRY_COMPARE_WITH_TIMEOUT(atClient.received, everyByte, Patience);

        const QByteArray last = patternBytes(lastWords);
        client.SendData(last);
        client.Close();
        QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Closing, Patience);
        QCOMPARE(atServer.received, everyByte + last);
        QCOMPARE(atServer.closedAfter, QList<qsizetype> { everyByte.size() + last.size() });
        const qint32 port = server.LocalPort();
        QVERIFY(!server.Listen());
        QVERIFY(!server.setLocalPort(port + 1));
        server.Close();
        QVERIFY(server.setLocalPort(port));
        QVERIFY(server.Listen());
        QCOMPARE(server.State(), State::Listening);
        SocketEndpoint second(nullptr, serverBind);
        QVERIFY(second.setLocalPort(port));
        QVERIFY(!second.Listen());
        QCOMPARE(second.State(), State::Closed);
        // Once both sides have hung up, the closed connection is freed.
        QTRY_COMPARE_WITH_TIMEOUT(client.findChildren<QTcpSocket *>().size(), 0, Patience);
    }

    void closeInsideHandlersSilencesTheOldConnection_data()
    {
        QTest::addColumn<QString>("handler");
        for (const char *signal : { "Connected", "DataArrival", "PeerClosed" })
            QTest::newRow(signal) << QString::fromLatin1(signal);
    }
    void closeInsideHandlersSilencesTheOldConnection()
    {
        QFETCH(QString, handler);
        SocketEndpoint server(nullptr, Loopback1);
        QVERIFY(server.Listen());
        // The partner answers at once and hangs up, so each of the caller's signals is due.
        connect(&server, &SocketEndpoint::ConnectionRequest, &server, [&server](qint32 id) {
            server.Accept(id);
            server.SendData("hello");
            server.Close();
        });
        SocketEndpoint client(nullptr, Loopback2);
        QStringList seen;
        const auto closeOn = [&](auto signal, const QString &name) {
            connect(&client, signal, &client, [&, name] {
                seen.append(name);
                if (name == handler)
                    client.Close();
            });
        };
        closeOn(&SocketEndpoint::Connected, QStringLiteral("Connected"));
        closeOn(&SocketEndpoint::DataArrival, QStringLiteral("DataArrival"));
        closeOn(&SocketEndpoint::PeerClosed, QStringLiteral("PeerClosed"));
        client.setRemoteHost(QStringLiteral("127.0.0.1"));
        client.setRemotePort(server.LocalPort());
        client.Connect();
        QTRY_VERIFY_WITH_TIMEOUT(seen.contains(handler), Patience);
        // The old socket goes once the partner has hung up; nothing of it is announced.
        QTRY_COMPARE_WITH_TIMEOUT(client.findChildren<QTcpSocket *>().size(), 0, Patience);
        QCOMPARE(seen.last(), handler);
        QCOMPARE(client.State(), State::Closed);
        QVERIFY(client.GetData().isEmpty());
    }

    // The user is asked before accepting, and the caller writes and gives up meanwhile.
    void callerHangingUpBeforeAcceptIsReported()
    {
        SocketEndpoint server(nullptr, Loopback1);
        QVERIFY(server.Listen());
        QTcpSocket caller;
        connect(&server, &SocketEndpoint::ConnectionRequest, &server, [&](qint32 id) {
            caller.write("{FILE}a.txt");
            caller.disconnectFromHost();
            QTRY_COMPARE_WITH_TIMEOUT(server.findChild<QTcpSocket *>()->state(),
                QAbstractSocket::UnconnectedState, Patience);
            QVERIFY(server.Accept(id));
        });
        Collector collected(server);
        caller.connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));
        QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Closing, Patience);
        QCOMPARE(collected.closedAfter, QList<qsizetype> { 11 });
        QCOMPARE(collected.received, QByteArray("{FILE}a.txt"));
        QCOMPARE(server.RemoteHostIP(), QStringLiteral("127.0.0.1"));
    }

    // A handler that shows a message box runs a nested event loop, in which the partner's
    // next bytes come in: they are announced after it returns, counted with the untaken ones.
    void bytesDuringNestedLoopAreAnnouncedAfterwards()
    {
        SocketEndpoint server(nullptr, Loopback1);
        SocketEndpoint client(nullptr, Loopback2);
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
    }

    // An owner that does not take its bytes holds MaxHeldBytes at most; TCP holds back the rest.
    void fastPartnerIsHeldBack()
    {
        SocketEndpoint server(nullptr, Loopback1);
        SocketEndpoint client(nullptr, Loopback2);
        QVERIFY(connectPair(server, client));
        qint32 mostAnnounced = 0;
        connect(&server, &SocketEndpoint::DataArrival, &server,
            [&](qint32 total) { mostAnnounced = qMax(mostAnnounced, total); });
        const QByteArray flood = patternBytes(5 * SocketEndpoint::MaxHeldBytes + 3);
        client.SendData(flood);
        QTRY_COMPARE_WITH_TIMEOUT(mostAnnounced, qint32(SocketEndpoint::MaxHeldBytes), Patience);
        QByteArray received = server.GetData();
        connect(
            &server, &SocketEndpoint::DataArrival, &server, [&] { received += server.GetData(); });
        QTRY_COMPARE_WITH_TIMEOUT(received, flood, Patience);
        QCOMPARE(mostAnnounced, qint32(SocketEndpoint::MaxHeldBytes));
    }

    void floodOfConnectionsIsSurvived_data()
    {
        QTest::addColumn<bool>("acceptFirst");
        QTest::newRow("nothing accepted") << false;
        QTest::newRow("first call accepted") << true;
    }
    // Every request the handler leaves unaccepted is hung up and freed at once.
    void floodOfConnectionsIsSurvived()
    {
        QFETCH(bool, acceptFirst);
        constexpr int Callers = 150;
        SocketEndpoint server(nullptr, Loopback1);
        QVERIFY(server.Listen());
        QList<qint32> requests;
        connect(&server, &SocketEndpoint::ConnectionRequest, &server, [&](qint32 id) {
            requests.append(id);
            if (acceptFirst && server.State() == State::Listening)
                QVERIFY(server.Accept(id));
        });
        QObject callers;
        int hungUp = 0;
        for (int i = 0; i < Callers; ++i) {
            auto *caller = new QTcpSocket(&callers);
            // A caller whose handshake the full accept queue dropped learns of it by writing.
            connect(caller, &QAbstractSocket::connected, caller,
                [caller] { caller->write(QByteArray(512, 'x')); });
            connect(caller, &QAbstractSocket::stateChanged, caller,
                [&](auto state) { hungUp += state == QAbstractSocket::UnconnectedState; });
            caller->connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));
        }
        QTRY_COMPARE_WITH_TIMEOUT(hungUp, acceptFirst ? Callers - 1 : Callers, Patience);
        QCOMPARE(server.State(), acceptFirst ? State::Connected : State::Listening);
        QCOMPARE(requests.size() == Callers, !acceptFirst);
        QVERIFY(!server.Accept(requests.last()));
        QTRY_COMPARE_WITH_TIMEOUT(
            server.findChildren<QTcpSocket *>().size(), acceptFirst ? 1 : 0, Patience);
    }
};

QTEST_MAIN(tst_SocketEndpoint)
#include "tst_SocketEndpoint.moc"
