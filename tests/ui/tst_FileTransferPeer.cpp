#include "net/SocketEndpoint.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString OurAddress = QStringLiteral("127.0.0.1");
const QString PeerAddress = QStringLiteral("127.0.0.3");
const QString Interrupted = QStringLiteral("File Transfer Interrupted!");

// A partner that is not Kalvex, on 127.0.0.3: it writes exactly the bytes a test gives it,
// cut or joined however the test likes, on its chat or its file connection.
class RawPeer
{
public:
    bool call(const QString &from, quint16 port)
    {
        m_socket = std::make_unique<QTcpSocket>();
        m_socket->bind(QHostAddress(from));
        m_socket->connectToHost(OurAddress, port);
        m_received.clear();
        return m_socket->waitForConnected(5000);
    }
    bool answerFileCalls(quint16 port)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            m_socket.reset(m_server.nextPendingConnection());
            m_socket->setParent(nullptr);
            m_received.clear();
        });
        return m_server.listen(QHostAddress(PeerAddress), port);
    }
    void send(const QByteArray &bytes)
    {
        TestMessenger::busyWaitFor([this] { return m_socket != nullptr; }, 5000);
        m_socket->write(bytes);
        m_socket->flush();
    }
    bool receives(const QByteArray &expected)
    {
        return TestMessenger::busyWaitFor([&] { return received().endsWith(expected); }, 5000);
    }
    QByteArray received()
    {
        if (m_socket)
            m_received += m_socket->readAll();
        return m_received;
    }
    bool hungUpOn()
    {
        return TestMessenger::busyWaitFor(
            [&] { return m_socket && m_socket->state() == QAbstractSocket::UnconnectedState; },
            5000);
    }
    void hangUp() { m_socket->disconnectFromHost(); }

private:
    QTcpServer m_server;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_received;
};

QStringList textsShown(const TestMessenger &messenger)
{
    QStringList texts;
    for (const ScriptedDesktop::Shown &shown : messenger.desktop.shown)
        texts << shown.text;
    return texts;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

// What a partner that is not Kalvex writes on the file connection, honest, old or hostile.
class tst_FileTransferPeer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void offeredNameMustBePlain_data();
    void offeredNameMustBePlain();
    void sizeBeyondTheLimitIsRefused();
    void contentIsCountedNotParsed_data();
    void contentIsCountedNotParsed();
    void onlyTheChatPartnerMayConnect_data();
    void onlyTheChatPartnerMayConnect();
    void oldReceiverGetsTheProtocolByteForByte();
    void refusalClosesTheFileConnection();
    void receiverVanishingMidTransferIsReported();
    void fileGoneBeforeItIsSentIsReported();

private:
    // The peer's file connection to us, up to our "{SF}" for the offered name.
    bool offer(const QByteArray &name);
    // Our copy offers the file at path to the peer, which takes the call: true once the
    // name has come.
    bool weOffer(const QString &path);
    QString sendingFile(const QByteArray &content);

    std::unique_ptr<TestMessenger> m_us;
    TestMessenger::Ports m_ports {};
    RawPeer m_chat;
    std::unique_ptr<RawPeer> m_file;
    std::unique_ptr<QTemporaryDir> m_root;
};

// The peer calls our chat port and we accept: a session with 127.0.0.3.
void tst_FileTransferPeer::init()
{
    m_ports = TestMessenger::freePorts();
    m_us = std::make_unique<TestMessenger>(OurAddress, m_ports);
    m_us->start();
    m_us->program->LocalNickname = QStringLiteral("sara");
    m_root = std::make_unique<QTemporaryDir>();
    m_us->program->DownloadPath = m_root->filePath(QStringLiteral("in"));
    m_file = std::make_unique<RawPeer>();
    QVERIFY(m_chat.call(PeerAddress, m_ports.chat));
    QVERIFY(m_chat.receives("/"));
    m_chat.send("{RECEV}bob/Bob Smith/bob@example.org/");
    QVERIFY(TestMessenger::busyWaitFor([this] { return m_us->window().sessionOpen(); }));
    m_us->desktop.shown.clear();
    m_us->desktop.sounds.clear();
}

void tst_FileTransferPeer::cleanup()
{
    m_file.reset();
    m_us.reset();
    m_root.reset();
}

bool tst_FileTransferPeer::offer(const QByteArray &name)
{
    if (!m_file->call(PeerAddress, m_ports.file) || !m_file->receives("{ACCEPT}"))
        return false;
    m_file->send("{FILE}" + name);
    return m_file->receives("{SF}");
}

bool tst_FileTransferPeer::weOffer(const QString &path)
{
    if (!m_file->answerFileCalls(m_ports.file))
        return false;
    m_us->sendFile(path);
    m_file->send("{ACCEPT}");
    return m_file->receives("{FILE}out.bin");
}

QString tst_FileTransferPeer::sendingFile(const QByteArray &content)
{
    const QString path = m_root->filePath(QStringLiteral("out.bin"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

void tst_FileTransferPeer::offeredNameMustBePlain_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("up a level") << QByteArray("../evil.txt");
    QTest::newRow("up a level, backslash") << QByteArray("..\\evil.txt");
    QTest::newRow("absolute") << QByteArray("/etc/evil.txt");
    QTest::newRow("drive") << QByteArray("C:evil.txt");
    QTest::newRow("control characters") << QByteArray("evil\r\n.txt");
    QTest::newRow("nothing") << QByteArray();
}

// A name that could leave the download folder is refused before the user is asked.
void tst_FileTransferPeer::offeredNameMustBePlain()
{
    QFETCH(QByteArray, name);
    QVERIFY(m_file->call(PeerAddress, m_ports.file));
    QVERIFY(m_file->receives("{ACCEPT}"));
    m_file->send("{FILE}" + name);
    QVERIFY(m_file->receives("{NS}"));
    QVERIFY(m_file->hungUpOn());
    QCOMPARE(m_us->desktop.shown.size(), 1);
    QVERIFY(m_us->desktop.shown.first().text.startsWith(u"A file offered as"_qs));
    QVERIFY(m_us->transferIdle());
    QCOMPARE(
        QDir(m_root->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

void tst_FileTransferPeer::sizeBeyondTheLimitIsRefused()
{
    QVERIFY(offer("big.iso"));
    m_file->send("{BOF} 3221225472");
    QVERIFY(m_file->receives("{CLOSE}"));
    QVERIFY(TestMessenger::busyWaitFor([this] { return m_us->transferIdle(); }));
    QCOMPARE(
        textsShown(*m_us).last(), u"The file was refused: it is larger than 2,097,152 bytes."_qs);
}

void tst_FileTransferPeer::contentIsCountedNotParsed_data()
{
    QTest::addColumn<QByteArray>("start");
    for (const char *tag :
        { "{ACCEPT}", "{FILE}x", "{SF}", "{NS}", "{BOF} 9", "{NXT}", "{EOF}", "{CLOSE}" })
        QTest::newRow(tag) << QByteArray(tag);
}

// Every chunk begins with a tag and arrives in three pieces; the last one comes joined with
// "{EOF}". Each chunk is asked for once, and the file is what was sent.
void tst_FileTransferPeer::contentIsCountedNotParsed()
{
    QFETCH(QByteArray, start);
    QVERIFY(offer("tags.bin"));
    QByteArray content;
    for (int i = 0; i < 3; ++i)
        content += (start + QByteArray(1024, char('a' + i))).left(1024);
    content += start;
    m_file->send("{BOF} " + QByteArray::number(content.size()));
    for (qsizetype at = 0; at < content.size(); at += 1024) {
        QVERIFY(TestMessenger::busyWaitFor(
            [&] { return m_file->received().count("{NXT}") == at / 1024 + 1; }));
        const QByteArray chunk = content.mid(at, 1024);
        m_file->send(chunk.left(3));
        QTest::qWait(5);
        m_file->send(chunk.mid(3, 500));
        QTest::qWait(5);
        m_file->send(at + 1024 >= content.size() ? chunk.mid(503) + "{EOF}" : chunk.mid(503));
    }
    QVERIFY(TestMessenger::busyWaitFor([this] { return m_us->transferIdle(); }));
    QCOMPARE(readFile(m_us->program->DownloadPath + u"/tags.bin"_qs), content);
    QVERIFY(m_file->receives("{NXT}{NXT}{NXT}{NXT}{NXT}"));
    QCOMPARE(m_file->received(), "{ACCEPT}{SF}{NXT}{NXT}{NXT}{NXT}{NXT}");
    QCOMPARE(textsShown(*m_us).last(), u"File has been Received Successfully."_qs);
}

void tst_FileTransferPeer::onlyTheChatPartnerMayConnect_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("inSession");
    QTest::newRow("another address") << u"127.0.0.4"_qs << true;
    QTest::newRow("no session") << PeerAddress << false;
}

// Anyone else is hung up on unheard: no sound, no question, still listening.
void tst_FileTransferPeer::onlyTheChatPartnerMayConnect()
{
    QFETCH(QString, from);
    QFETCH(bool, inSession);
    if (!inSession) {
        m_chat.hangUp();
        QVERIFY(TestMessenger::busyWaitFor([this] { return !m_us->window().sessionOpen(); }, 3000));
        m_us->desktop.sounds.clear();
    }
    QVERIFY(m_file->call(from, m_ports.file));
    QVERIFY(m_file->hungUpOn());
    QCOMPARE(m_file->received(), QByteArray());
    QCOMPARE(m_us->desktop.sounds, QStringList());
    QVERIFY(m_us->transferIdle());
}

// Our copy sends to a peer that follows the protocol byte for byte, with "{NXT}" followed by
// more characters still counting as "{NXT}".
void tst_FileTransferPeer::oldReceiverGetsTheProtocolByteForByte()
{
    const QByteArray content = QByteArray(1024, 'x') + "{EOF}";
    QVERIFY(weOffer(sendingFile(content)));
    m_file->send("{SF}");
    QVERIFY(m_file->receives("{BOF} 1029"));
    m_file->send("{NXT}");
    QVERIFY(m_file->receives(QByteArray(1024, 'x')));
    m_file->send("{NXT}extra");
    QVERIFY(m_file->receives("x{EOF}"));
    m_file->send("{NXT}");
    QVERIFY(m_file->receives("{EOF}{EOF}"));
    QVERIFY(m_file->hungUpOn());
    QCOMPARE(textsShown(*m_us), QStringList { u"File has been Sent Successfully."_qs });
    QVERIFY(m_us->transferIdle());
}

void tst_FileTransferPeer::refusalClosesTheFileConnection()
{
    QVERIFY(weOffer(sendingFile("abc")));
    m_file->send("{NS}");
    QVERIFY(m_file->hungUpOn());
    QCOMPARE(textsShown(*m_us), QStringList { u"bob refuse to take file!"_qs });
    QVERIFY(m_us->transferIdle());
}

void tst_FileTransferPeer::receiverVanishingMidTransferIsReported()
{
    QVERIFY(weOffer(sendingFile(QByteArray(5000, 'y'))));
    m_file->send("{SF}");
    QVERIFY(m_file->receives("{BOF} 5000"));
    m_file->send("{NXT}");
    QVERIFY(m_file->receives(QByteArray(1024, 'y')));
    m_file->hangUp();
    QVERIFY(TestMessenger::busyWaitFor([this] { return m_us->transferIdle(); }));
    QCOMPARE(textsShown(*m_us), QStringList { Interrupted });
    QVERIFY(m_us->window().sessionOpen());
}

void tst_FileTransferPeer::fileGoneBeforeItIsSentIsReported()
{
    const QString path = sendingFile("abc");
    QVERIFY(weOffer(path));
    QVERIFY(QFile::remove(path));
    m_file->send("{SF}");
    QVERIFY(m_file->receives("{CLOSE}"));
    QVERIFY(TestMessenger::busyWaitFor([this] { return m_us->transferIdle(); }));
    QVERIFY(textsShown(*m_us).last().startsWith(u"The file could not be read.\r\n"_qs));
}

QTEST_MAIN(tst_FileTransferPeer)
#include "tst_FileTransferPeer.moc"
