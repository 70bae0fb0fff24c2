#include "net/SocketEndpoint.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <vector>

using State = SocketEndpoint::SocketState;

namespace {

constexpr int Patience = 20000;

const QHostAddress Loopback1(QStringLiteral("127.0.0.1"));
const QHostAddress Loopback2(QStringLiteral("127.0.0.2"));

quint16 unusedPort()
{
    QTcpServer probe;
    probe.listen(Loopback1, 0);
    return probe.serverPort();
}

// Lets `server` take the next incoming call the way the chat window does: stop listening,
// then accept.
QMetaObject::Connection acceptCalls(SocketEndpoint &server)
{
    return QObject::connect(
        &server, &SocketEndpoint::ConnectionRequest, &server, [&server](qint32 id) {
            server.Close();
            server.Accept(id);
        });
}

bool connectPair(SocketEndpoint &server, SocketEndpoint &client, const QString &host)
{
    if (!server.Listen())
        return false;
    const auto accepting = acceptCalls(server);
    client.setRemoteHost(host);
    client.setRemotePort(server.LocalPort());
    client.Connect();
    const bool connected = QTest::qWaitFor(
        [&] { return server.State() == State::Connected && client.State() == State::Connected; },
        Patience);
    QObject::disconnect(accepting);
    return connected;
}

bool acceptRawPeer(SocketEndpoint &server, QTcpSocket &peer)
{
    if (!server.Listen())
        return false;
    const auto accepting = acceptCalls(server);
    peer.connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));
    const bool connected = QTest::qWaitFor(
        [&] {
            return server.State() == State::Connected
                && peer.state() == QAbstractSocket::ConnectedState;
        },
        Patience);
    QObject::disconnect(accepting);
    return connected;
}

// Everything that arrives on `endpoint`, taken as the owner is meant to take it.
struct Collector
{
    explicit Collector(SocketEndpoint &endpoint)
    {
        QObject::connect(
            &endpoint, &SocketEndpoint::DataArrival, &endpoint, [this, &endpoint](qint32 total) {
                events.append(QStringLiteral("data"));
                announced.append(total);
                received += endpoint.GetData();
            });
        QObject::connect(&endpoint, &SocketEndpoint::PeerClosed, &endpoint,
            [this] { events.append(QStringLiteral("closed")); });
    }
    QStringList events;
    QList<qint32> announced;
    QByteArray received;
};

QByteArray patternBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

// A hard reset instead of an orderly close: the partner's program was killed.
void resetConnection(QTcpSocket &socket)
{
    const linger immediate { 1, 0 };
    ::setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediate,
        sizeof immediate);
    socket.abort();
}

} // namespace

class tst_SocketEndpoint : public QObject
{
    Q_OBJECT

private slots:
    void listenOnTakenPortFails_data();
    void listenOnTakenPortFails();
    void changesRefusedUnlessClosed();
    void localIPWithoutConnection_data();
    void localIPWithoutConnection();
    void failedConnectEndsInError_data();
    void failedConnectEndsInError();
    void connectAndAcceptReportAddresses_data();
    void connectAndAcceptReportAddresses();
    void acceptedEndpointNoLongerListens();
    void dataTravelsBothWays_data();
    void dataTravelsBothWays();
    void peerCloseLeavesClosingUntilClose_data();
    void peerCloseLeavesClosingUntilClose();
    void closeStillSendsQueuedBytes_data();
    void closeStillSendsQueuedBytes();
    void closeInsideHandlersSilencesTheOldConnection_data();
    void closeInsideHandlersSilencesTheOldConnection();
    void unacceptedRequestIsDropped();
    void callerHangingUpBeforeAcceptIsReported();
    void bytesDuringNestedLoopAreAnnouncedAfterwards_data();
    void bytesDuringNestedLoopAreAnnouncedAfterwards();
    void fastPartnerIsHeldBack();
    void floodOfConnectionsIsSurvived_data();
    void floodOfConnectionsIsSurvived();
};

void tst_SocketEndpoint::listenOnTakenPortFails_data()
{
    QTest::addColumn<QHostAddress>("holderAddress");
    QTest::addColumn<QHostAddress>("secondAddress");
    QTest::newRow("same address") << Loopback1 << Loopback1;
    QTest::newRow("held on every address") << QHostAddress(QHostAddress::Any) << Loopback1;
    QTest::newRow("wanted on every address") << Loopback1 << QHostAddress(QHostAddress::Any);
}

void tst_SocketEndpoint::listenOnTakenPortFails()
{
    QFETCH(QHostAddress, holderAddress);
    QFETCH(QHostAddress, secondAddress);
    SocketEndpoint holder(nullptr, holderAddress);
    QVERIFY(holder.Listen());

    SocketEndpoint second(nullptr, secondAddress);
    QVERIFY(second.setLocalPort(holder.LocalPort()));
    QVERIFY(!second.Listen());
    QCOMPARE(second.State(), State::Closed);
    QCOMPARE(holder.State(), State::Listening);
}

void tst_SocketEndpoint::changesRefusedUnlessClosed()
{
    SocketEndpoint endpoint(nullptr, Loopback1);
    QVERIFY(!endpoint.setLocalPort(-1));
    QVERIFY(!endpoint.setLocalPort(65536));
    QCOMPARE(endpoint.LocalPort(), 0);

    QVERIFY(endpoint.Listen());
    QCOMPARE(endpoint.State(), State::Listening);
    const qint32 port = endpoint.LocalPort();
    QVERIFY(port > 0);
    QVERIFY(!endpoint.Listen());
    QVERIFY(!endpoint.setLocalPort(port + 1));
    endpoint.setRemoteHost(QStringLiteral("127.0.0.1"));
    endpoint.setRemotePort(port);
    endpoint.Connect();
    QCOMPARE(endpoint.State(), State::Listening);
    QCOMPARE(endpoint.LocalPort(), port);

    endpoint.Close();
    QCOMPARE(endpoint.State(), State::Closed);
    QVERIFY(endpoint.setLocalPort(port));
    QVERIFY(endpoint.Listen());
}

void tst_SocketEndpoint::localIPWithoutConnection_data()
{
    QTest::addColumn<QHostAddress>("bindAddress");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bound to 127.0.0.2") << Loopback2 << QStringLiteral("127.0.0.2");
    QTest::newRow("bound to an IPv4-mapped address")
        << QHostAddress(QStringLiteral("::ffff:127.0.0.1")) << QStringLiteral("127.0.0.1");
    QTest::newRow("every address") << QHostAddress(QHostAddress::Any) << QString();
    QTest::newRow("every IPv4 address") << QHostAddress(QHostAddress::AnyIPv4) << QString();
}

void tst_SocketEndpoint::localIPWithoutConnection()
{
    QFETCH(QHostAddress, bindAddress);
    QFETCH(QString, expected);
    SocketEndpoint endpoint(nullptr, bindAddress);
    const QString localIP = endpoint.LocalIP();
    if (!expected.isEmpty())
        QCOMPARE(localIP, expected);
    QHostAddress parsed;
    QVERIFY2(parsed.setAddress(localIP), qPrintable(localIP));
    QCOMPARE(parsed.protocol(), QAbstractSocket::IPv4Protocol);
    QVERIFY(localIP != QStringLiteral("0.0.0.0"));
}

void tst_SocketEndpoint::failedConnectEndsInError_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<qint32>("port");
    QTest::addColumn<bool>("resolves");
    QTest::newRow("nobody listening")
        << QStringLiteral("127.0.0.1") << qint32(unusedPort()) << true;
    QTest::newRow("unknown host name")
        << QStringLiteral("no-such-host.invalid") << qint32(4000) << false;
    QTest::newRow("empty host") << QString() << qint32(4000) << false;
    QTest::newRow("port 0") << QStringLiteral("127.0.0.1") << qint32(0) << false;
    QTest::newRow("port above 65535") << QStringLiteral("127.0.0.1") << qint32(65536 + 80) << false;
    QTest::newRow("negative port") << QStringLiteral("127.0.0.1") << qint32(-1) << false;
}

void tst_SocketEndpoint::failedConnectEndsInError()
{
    QFETCH(QString, host);
    QFETCH(qint32, port);
    QFETCH(bool, resolves);
    SocketEndpoint endpoint(nullptr, Loopback1);
    QSignalSpy connected(&endpoint, &SocketEndpoint::Connected);
    endpoint.setRemoteHost(host);
    endpoint.setRemotePort(port);

    endpoint.Connect();
    QList<State> seen { endpoint.State() };
    QTimer wakeUp;
    wakeUp.start(10);
    const QDeadlineTimer deadline(Patience);
    while (endpoint.State() != State::Error && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (seen.last() != endpoint.State())
            seen.append(endpoint.State());
    }

    QCOMPARE(seen.last(), State::Error);
    for (qsizetype i = 1; i < seen.size(); ++i)
        QVERIFY(seen.at(i - 1) < seen.at(i));
    if (port < 1 || port > 65535) {
        QCOMPARE(seen, QList<State> { State::Error });
    } else {
        QCOMPARE(seen.first(), State::ResolvingHost);
        QCOMPARE(seen.contains(State::Connected), false);
        // Reaching the connect stage depends on a resolvable host.
        QCOMPARE(seen.size() > 2, resolves);
    }
    QCOMPARE(connected.size(), 0);
}

void tst_SocketEndpoint::connectAndAcceptReportAddresses_data()
{
    QTest::addColumn<QHostAddress>("serverBind");
    QTest::addColumn<QHostAddress>("clientBind");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("serverIP");
    QTest::addColumn<QString>("clientIP");
    QTest::newRow("127.0.0.2 calls 127.0.0.1")
        << Loopback1 << Loopback2 << QStringLiteral("127.0.0.1") << QStringLiteral("127.0.0.1")
        << QStringLiteral("127.0.0.2");
    QTest::newRow("127.0.0.1 calls 127.0.0.2")
        << Loopback2 << Loopback1 << QStringLiteral("127.0.0.2") << QStringLiteral("127.0.0.2")
        << QStringLiteral("127.0.0.1");
    QTest::newRow("called by host name")
        << Loopback1 << Loopback2 << QStringLiteral("localhost") << QStringLiteral("127.0.0.1")
        << QStringLiteral("127.0.0.2");
    QTest::newRow("dual-stack listener")
        << QHostAddress(QHostAddress::Any) << Loopback2 << QStringLiteral("127.0.0.1")
        << QStringLiteral("127.0.0.1") << QStringLiteral("127.0.0.2");
}

void tst_SocketEndpoint::connectAndAcceptReportAddresses()
{
    QFETCH(QHostAddress, serverBind);
    QFETCH(QHostAddress, clientBind);
    QFETCH(QString, host);
    QFETCH(QString, serverIP);
    QFETCH(QString, clientIP);
    SocketEndpoint server(nullptr, serverBind);
    SocketEndpoint client(nullptr, clientBind);
    QSignalSpy connected(&client, &SocketEndpoint::Connected);
    QSignalSpy requests(&server, &SocketEndpoint::ConnectionRequest);

    QVERIFY(connectPair(server, client, host));
    QCOMPARE(connected.size(), 1);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(server.RemoteHostIP(), clientIP);
    QCOMPARE(server.LocalIP(), serverIP);
    QCOMPARE(client.RemoteHostIP(), serverIP);
    QCOMPARE(client.LocalIP(), clientIP);

    client.Close();
    QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Closing, Patience);
    QCOMPARE(client.RemoteHostIP(), serverIP);
    QCOMPARE(server.RemoteHostIP(), clientIP);
}

void tst_SocketEndpoint::acceptedEndpointNoLongerListens()
{
    SocketEndpoint server(nullptr, Loopback1);
    QVERIFY(server.Listen());
    const quint16 port = static_cast<quint16>(server.LocalPort());
    // Accepting without closing first must stop the listening all the same.
    connect(&server, &SocketEndpoint::ConnectionRequest, &server, [&server](qint32 id) {
        QVERIFY(!server.Accept(id + 1));
        QVERIFY(server.Accept(id));
        QVERIFY(!server.Accept(id));
    });
    QTcpSocket first;
    first.connectToHost(Loopback1, port);
    QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Connected, Patience);

    QTcpSocket second;
    QSignalSpy refused(&second, &QAbstractSocket::errorOccurred);
    second.connectToHost(Loopback1, port);
    QTRY_COMPARE_WITH_TIMEOUT(refused.size(), 1, Patience);
    QCOMPARE(second.error(), QAbstractSocket::ConnectionRefusedError);
    QCOMPARE(server.State(), State::Connected);
}

void tst_SocketEndpoint::dataTravelsBothWays_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("chat text") << QByteArray("{SEND}nick/Full Name/a@b.c/");
    QByteArray everyByte;
    for (int value = 0; value < 256; ++value)
        everyByte.append(static_cast<char>(value));
    QTest::newRow("every byte value") << everyByte;
    QTest::newRow("a large block") << patternBytes(3 * 1024 * 1024 + 17);
}

void tst_SocketEndpoint::dataTravelsBothWays()
{
    QFETCH(QByteArray, payload);
    SocketEndpoint server(nullptr, Loopback1);
    SocketEndpoint client(nullptr, Loopback2);
    QVERIFY(connectPair(server, client, QStringLiteral("127.0.0.1")));
    Collector atServer(server);
    Collector atClient(client);

    client.SendData(payload);
    server.SendData(payload);
    QTRY_COMPARE_WITH_TIMEOUT(atServer.received.size(), payload.size(), Patience);
    QTRY_COMPARE_WITH_TIMEOUT(atClient.received.size(), payload.size(), Patience);
    QCOMPARE(atServer.received, payload);
    QCOMPARE(atClient.received, payload);
    QVERIFY(!atServer.announced.contains(0));
}

void tst_SocketEndpoint::peerCloseLeavesClosingUntilClose_data()
{
    QTest::addColumn<QByteArray>("lastWords");
    QTest::addColumn<bool>("reset");
    QTest::newRow("orderly close") << QByteArray() << false;
    QTest::newRow("orderly close after bytes") << QByteArray("{NOT}") << false;
    QTest::newRow("reset") << QByteArray() << true;
}

void tst_SocketEndpoint::peerCloseLeavesClosingUntilClose()
{
    QFETCH(QByteArray, lastWords);
    QFETCH(bool, reset);
    SocketEndpoint server(nullptr, Loopback1);
    QTcpSocket peer;
    QVERIFY(acceptRawPeer(server, peer));
    const qint32 port = server.LocalPort();
    Collector collected(server);

    peer.write(lastWords);
    peer.flush();
    if (reset)
        resetConnection(peer);
    else
        peer.disconnectFromHost();

    QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Closing, Patience);
    const QStringList expected = lastWords.isEmpty()
        ? QStringList { QStringLiteral("closed") }
        : QStringList { QStringLiteral("data"), QStringLiteral("closed") };
    QCOMPARE(collected.events, expected);
    QCOMPARE(collected.received, lastWords);

    QVERIFY(!server.Listen());
    QVERIFY(!server.setLocalPort(port + 1));
    QCOMPARE(server.State(), State::Closing);
    QCOMPARE(server.LocalPort(), port);

    server.Close();
    QCOMPARE(server.State(), State::Closed);
    QVERIFY(server.setLocalPort(port));
    QVERIFY(server.Listen());
    QCOMPARE(server.State(), State::Listening);
    QCOMPARE(collected.events.size(), expected.size());
}

void tst_SocketEndpoint::closeStillSendsQueuedBytes_data()
{
    QTest::addColumn<qsizetype>("size");
    QTest::newRow("one message") << qsizetype(30);
    QTest::newRow("more than the socket buffers hold") << qsizetype(6 * 1024 * 1024);
}

void tst_SocketEndpoint::closeStillSendsQueuedBytes()
{
    QFETCH(qsizetype, size);
    SocketEndpoint server(nullptr, Loopback1);
    SocketEndpoint client(nullptr, Loopback2);
    QVERIFY(connectPair(server, client, QStringLiteral("127.0.0.1")));
    Collector atServer(server);
    QSignalSpy clientData(&client, &SocketEndpoint::DataArrival);
    QSignalSpy clientClosed(&client, &SocketEndpoint::PeerClosed);
    const QByteArray payload = patternBytes(size);

    client.SendData(payload);
    client.Close();
    QCOMPARE(client.State(), State::Closed);
    server.SendData("too late");

    QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Closing, Patience);
    QCOMPARE(atServer.received.size(), payload.size());
    QCOMPARE(atServer.received, payload);
    QCOMPARE(atServer.events.last(), QStringLiteral("closed"));
    QCOMPARE(clientData.size(), 0);
    QCOMPARE(clientClosed.size(), 0);
    // Once both sides have hung up, the closed connection is freed.
    QTRY_COMPARE_WITH_TIMEOUT(client.findChildren<QTcpSocket *>().size(), 0, Patience);
}

void tst_SocketEndpoint::closeInsideHandlersSilencesTheOldConnection_data()
{
    QTest::addColumn<QString>("handler");
    QTest::newRow("Connected") << QStringLiteral("Connected");
    QTest::newRow("DataArrival") << QStringLiteral("DataArrival");
    QTest::newRow("PeerClosed") << QStringLiteral("PeerClosed");
}

void tst_SocketEndpoint::closeInsideHandlersSilencesTheOldConnection()
{
    QFETCH(QString, handler);
    SocketEndpoint server(nullptr, Loopback1);
    QVERIFY(server.Listen());
    connect(&server, &SocketEndpoint::ConnectionRequest, &server, [&server](qint32 id) {
        server.Close();
        server.Accept(id);
        server.SendData("hello");
    });
    SocketEndpoint client(nullptr, Loopback2);
    QStringList seen;
    const auto closeWhen = [&](const QString &signal) {
        seen.append(signal);
        if (signal == handler)
            client.Close();
    };
    connect(&client, &SocketEndpoint::Connected, &client,
        [&] { closeWhen(QStringLiteral("Connected")); });
    connect(&client, &SocketEndpoint::DataArrival, &client,
        [&] { closeWhen(QStringLiteral("DataArrival")); });
    connect(&client, &SocketEndpoint::PeerClosed, &client,
        [&] { closeWhen(QStringLiteral("PeerClosed")); });
    client.setRemoteHost(QStringLiteral("127.0.0.1"));
    client.setRemotePort(server.LocalPort());
    client.Connect();

    if (handler == QStringLiteral("PeerClosed")) {
        QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Connected, Patience);
        server.Close();
    }
    QTRY_VERIFY_WITH_TIMEOUT(seen.contains(handler), Patience);
    if (handler != QStringLiteral("PeerClosed")) {
        server.SendData("more");
        QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Closing, Patience);
    }
    QCOMPARE(client.State(), State::Closed);
    QCOMPARE(seen.last(), handler);
    QCOMPARE(seen.count(handler), 1);
    QVERIFY(client.GetData().isEmpty());
}

void tst_SocketEndpoint::unacceptedRequestIsDropped()
{
    SocketEndpoint server(nullptr, Loopback1);
    QVERIFY(server.Listen());
    qint32 requestId = 0;
    connect(
        &server, &SocketEndpoint::ConnectionRequest, &server, [&](qint32 id) { requestId = id; });
    QTcpSocket caller;
    QSignalSpy callerClosed(&caller, &QAbstractSocket::disconnected);
    caller.connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));

    QTRY_COMPARE_WITH_TIMEOUT(callerClosed.size(), 1, Patience);
    QVERIFY(requestId != 0);
    QVERIFY(!server.Accept(requestId));
    QCOMPARE(server.State(), State::Listening);
    QTRY_COMPARE_WITH_TIMEOUT(server.findChildren<QTcpSocket *>().size(), 0, Patience);
}

void tst_SocketEndpoint::callerHangingUpBeforeAcceptIsReported()
{
    SocketEndpoint server(nullptr, Loopback1);
    QVERIFY(server.Listen());
    QTcpSocket caller;
    connect(&server, &SocketEndpoint::ConnectionRequest, &server, [&](qint32 id) {
        // The user is asked first, and the caller gives up meanwhile.
        caller.write("{FILE}a.txt");
        caller.disconnectFromHost();
        const QTcpSocket *request = server.findChild<QTcpSocket *>();
        QVERIFY(request);
        QTRY_COMPARE_WITH_TIMEOUT(request->state(), QAbstractSocket::UnconnectedState, Patience);
        server.Close();
        QVERIFY(server.Accept(id));
    });
    Collector collected(server);
    caller.connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));

    QTRY_COMPARE_WITH_TIMEOUT(server.State(), State::Closing, Patience);
    QCOMPARE(collected.events, (QStringList { QStringLiteral("data"), QStringLiteral("closed") }));
    QCOMPARE(collected.received, QByteArray("{FILE}a.txt"));
    QCOMPARE(server.RemoteHostIP(), QStringLiteral("127.0.0.1"));
}

void tst_SocketEndpoint::bytesDuringNestedLoopAreAnnouncedAfterwards_data()
{
    QTest::addColumn<bool>("takeInHandler");
    QTest::addColumn<qint32>("secondAnnounced");
    QTest::addColumn<QByteArray>("secondTaken");
    QTest::newRow("handler takes its bytes") << true << qint32(6) << QByteArray("second");
    QTest::newRow("handler leaves its bytes") << false << qint32(11) << QByteArray("firstsecond");
}

void tst_SocketEndpoint::bytesDuringNestedLoopAreAnnouncedAfterwards()
{
    QFETCH(bool, takeInHandler);
    QFETCH(qint32, secondAnnounced);
    QFETCH(QByteArray, secondTaken);
    SocketEndpoint server(nullptr, Loopback1);
    QTcpSocket peer;
    QVERIFY(acceptRawPeer(server, peer));

    QList<qint32> announced;
    QByteArray taken;
    int handlersRunning = 0;
    bool announcedInsideHandler = false;
    connect(&server, &SocketEndpoint::DataArrival, &server, [&](qint32 total) {
        announcedInsideHandler = announcedInsideHandler || handlersRunning > 0;
        announced.append(total);
        if (announced.size() > 1) {
            taken += server.GetData();
            return;
        }
        ++handlersRunning;
        if (takeInHandler)
            taken += server.GetData();
        // Like a message box shown from the handler: the partner's next bytes reach this
        // process while the handler is still running.
        peer.write("second");
        peer.flush();
        QEventLoop nested;
        int spins = 0;
        QTimer spin;
        connect(&spin, &QTimer::timeout, &nested, [&] {
            if (++spins == 50)
                nested.quit();
        });
        spin.start(0);
        nested.exec();
        --handlersRunning;
    });

    peer.write("first");
    QTRY_COMPARE_WITH_TIMEOUT(announced.size(), 2, Patience);
    QVERIFY(!announcedInsideHandler);
    QCOMPARE(announced.last(), secondAnnounced);
    QCOMPARE(taken.endsWith(secondTaken), true);

    // A round trip later, nothing has been announced twice or for nothing.
    server.SendData("ping");
    QTRY_COMPARE_WITH_TIMEOUT(peer.bytesAvailable(), qint64(4), Patience);
    peer.write("x");
    QTRY_COMPARE_WITH_TIMEOUT(announced.size(), 3, Patience);
    QCOMPARE(announced.last(), qint32(1));
    server.SendData("pong");
    QTRY_COMPARE_WITH_TIMEOUT(peer.bytesAvailable(), qint64(8), Patience);
    QCOMPARE(announced.size(), 3);
}

void tst_SocketEndpoint::fastPartnerIsHeldBack()
{
    SocketEndpoint server(nullptr, Loopback1);
    QTcpSocket peer;
    QVERIFY(acceptRawPeer(server, peer));
    bool taking = false;
    QList<qint32> announced;
    QByteArray received;
    connect(&server, &SocketEndpoint::DataArrival, &server, [&](qint32 total) {
        announced.append(total);
        if (taking)
            received += server.GetData();
    });
    const QByteArray flood = patternBytes(5 * SocketEndpoint::MaxHeldBytes + 3);

    peer.write(flood);
    QTRY_VERIFY_WITH_TIMEOUT(
        !announced.isEmpty() && announced.last() == SocketEndpoint::MaxHeldBytes, Patience);
    taking = true;
    received = server.GetData();
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), flood.size(), Patience);
    QCOMPARE(received, flood);
    QVERIFY(
        *std::max_element(announced.cbegin(), announced.cend()) <= SocketEndpoint::MaxHeldBytes);
}

void tst_SocketEndpoint::floodOfConnectionsIsSurvived_data()
{
    QTest::addColumn<bool>("acceptFirst");
    QTest::newRow("nothing accepted") << false;
    QTest::newRow("first call accepted") << true;
}

void tst_SocketEndpoint::floodOfConnectionsIsSurvived()
{
    QFETCH(bool, acceptFirst);
    constexpr int Callers = 150;
    SocketEndpoint server(nullptr, Loopback1);
    QVERIFY(server.Listen());
    int requests = 0;
    connect(&server, &SocketEndpoint::ConnectionRequest, &server, [&](qint32 id) {
        ++requests;
        if (acceptFirst && server.State() == State::Listening) {
            server.Close();
            server.Accept(id);
        }
    });

    std::vector<std::unique_ptr<QTcpSocket>> callers;
    for (int i = 0; i < Callers; ++i) {
        auto caller = std::make_unique<QTcpSocket>();
        QTcpSocket *raw = caller.get();
        connect(raw, &QAbstractSocket::connected, raw, [raw] { raw->write(QByteArray(512, 'x')); });
        raw->connectToHost(Loopback1, static_cast<quint16>(server.LocalPort()));
        callers.push_back(std::move(caller));
    }
    const auto openCallers = [&] {
        return std::count_if(callers.cbegin(), callers.cend(), [](const auto &caller) {
            return caller->state() != QAbstractSocket::UnconnectedState;
        });
    };

    QTRY_COMPARE_WITH_TIMEOUT(openCallers(), acceptFirst ? 1 : 0, Patience);
    QCOMPARE(server.State(), acceptFirst ? State::Connected : State::Listening);
    QVERIFY(requests >= 1);
    QTRY_COMPARE_WITH_TIMEOUT(
        server.findChildren<QTcpSocket *>().size(), acceptFirst ? 1 : 0, Patience);
    if (!acceptFirst)
        QCOMPARE(requests, Callers);
}

QTEST_MAIN(tst_SocketEndpoint)
#include "tst_SocketEndpoint.moc"
