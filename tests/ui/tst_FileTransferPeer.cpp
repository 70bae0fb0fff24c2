#include "support/RawPeer.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString OurAddress = QStringLiteral("127.0.0.1");
const QString PeerAddress = QStringLiteral("127.0.0.3");

QString lastShown(const TestMessenger &messenger)
{
    return messenger.desktop.shown.isEmpty() ? QString() : messenger.desktop.shown.last().text;
}

} // namespace

// What a partner that is not Kalvex writes on the file connection, honest or hostile.
// The partner's chat comes from 127.0.0.3, and so does its file connection unless a test
// says otherwise.
class tst_FileTransferPeer : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_ports = TestMessenger::freePorts();
        m_us = std::make_unique<TestMessenger>(OurAddress, m_ports);
        m_us->startAs(QStringLiteral("sara"));
        m_root = std::make_unique<QTemporaryDir>();
        m_us->program->DownloadPath = m_root->filePath(QStringLiteral("in"));
        m_chat = std::make_unique<RawPeer>();
        m_file = std::make_unique<RawPeer>();
        QVERIFY(m_chat->call(PeerAddress, m_ports.chat));
        QVERIFY(m_chat->receives("/"));
        m_chat->send("{RECEV}bob/Bob Smith/bob@example.org/");
        QVERIFY(TestMessenger::busyWaitFor([this] { return m_us->window().chat().sessionOpen(); }));
        m_us->desktop.shown.clear();
        m_us->desktop.sounds.clear();
    }

    // A name that could lead out of the download folder is refused before the user is asked.
    void offeredNameMustBePlain_data()
    {
        QTest::addColumn<QByteArray>("name");
        for (const char *name : { "../evil.txt", "..\\evil.txt", "..", "/etc/evil.txt",
                 "C:evil.txt", "evil\r\n.txt", "" })
            QTest::newRow(name) << QByteArray(name);
    }

    void offeredNameMustBePlain()
    {
        QFETCH(QByteArray, name);
        QVERIFY(m_file->call(PeerAddress, m_ports.file));
        QVERIFY(m_file->receives("{ACCEPT}"));
        m_file->send("{FILE}" + name);
        QVERIFY(m_file->receives("{NS}"));
        QVERIFY(m_file->hungUpOn());
        QCOMPARE(m_us->desktop.shown.size(), 1);
        QVERIFY(lastShown(*m_us).startsWith(QStringLiteral("A file offered as")));
        QVERIFY(m_us->transferIdle());
        QCOMPARE(
            QDir(m_root->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void sizeBeyondTheLimitIsRefused()
    {
        QVERIFY(offer("big.iso"));
        m_file->send("{BOF} 3221225472");
        QVERIFY(m_file->receives("{CLOSE}"));
        QVERIFY(TestMessenger::busyWaitFor([this] { return m_us->transferIdle(); }));
        QCOMPARE(lastShown(*m_us),
            QStringLiteral("The file was refused: it is larger than 2,097,152 bytes."));
    }

    // Every chunk begins with a tag and comes in three pieces, the last joined with "{EOF}":
    // each is asked for once, and the file is what was sent.
    void contentIsCountedNotParsed_data()
    {
        QTest::addColumn<QByteArray>("start");
        for (const char *tag :
            { "{ACCEPT}", "{FILE}x", "{SF}", "{NS}", "{BOF} 9", "{NXT}", "{EOF}", "{CLOSE}" })
            QTest::newRow(tag) << QByteArray(tag);
    }

    void contentIsCountedNotParsed()
    {
        QFETCH(QByteArray, start);
        QVERIFY(offer("tags.bin"));
        QByteArray content;
        for (char fill : { 'a', 'b', 'c' })
            content += (start + QByteArray(1024, fill)).left(1024);
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
            m_file->send(chunk.mid(503) + (at + 1024 >= content.size() ? "{EOF}" : ""));
        }
        QVERIFY(TestMessenger::busyWaitFor([this] { return m_us->transferIdle(); }));
        QCOMPARE(
            TestFiles::read(m_us->program->DownloadPath + QStringLiteral("/tags.bin")), content);
        QVERIFY(m_file->receives("{NXT}{NXT}{NXT}{NXT}{NXT}"));
        QCOMPARE(m_file->received(), "{ACCEPT}{SF}{NXT}{NXT}{NXT}{NXT}{NXT}");
    }

    // Anyone but the partner in a session is hung up on unheard, and we go on listening.
    void onlyTheChatPartnerMayConnect_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("inSession");
        QTest::newRow("another address") << QStringLiteral("127.0.0.4") << true;
        QTest::newRow("no session") << PeerAddress << false;
    }

    void onlyTheChatPartnerMayConnect()
    {
        QFETCH(QString, from);
        QFETCH(bool, inSession);
        if (!inSession) {
            m_chat->hangUp();
            QVERIFY(TestMessenger::busyWaitFor(
                [this] { return !m_us->window().chat().sessionOpen(); }, 3000));
            m_us->desktop.sounds.clear();
        }
        QVERIFY(m_file->call(from, m_ports.file));
        QVERIFY(m_file->hungUpOn());
        QCOMPARE(m_file->received(), QByteArray());
        QCOMPARE(m_us->desktop.sounds, QStringList());
        QVERIFY(m_us->transferIdle());
    }

    // We send, and the receiver hangs up after the first chunk or our file is gone when the
    // receiver says "{SF}": we stop at once and say why, and the chat stays.
    void sendingStopsWhenItCannotGoOn_data()
    {
        QTest::addColumn<bool>("fileGone");
        QTest::addColumn<QString>("shown");
        QTest::newRow("receiver vanishes") << false << QStringLiteral("File Transfer Interrupted!");
        QTest::newRow("file unreadable")
            << true << QStringLiteral("The file could not be read.\r\n");
    }

    void sendingStopsWhenItCannotGoOn()
    {
        QFETCH(bool, fileGone);
        QFETCH(QString, shown);
        const QString path = m_root->filePath(QStringLiteral("out.bin"));
        TestFiles::write(path, QByteArray(5000, 'y'));
        QVERIFY(m_file->answerCalls(PeerAddress, m_ports.file));
        m_us->sendFile(path);
        m_file->send("{ACCEPT}");
        QVERIFY(m_file->receives("{FILE}out.bin"));
        if (fileGone)
            QVERIFY(QFile::remove(path));
        m_file->send("{SF}");
        if (fileGone) {
            QVERIFY(m_file->receives("{CLOSE}"));
        } else {
            QVERIFY(m_file->receives("{BOF} 5000"));
            m_file->send("{NXT}");
            QVERIFY(m_file->receives(QByteArray(1024, 'y')));
            m_file->hangUp();
        }
        QVERIFY(TestMessenger::busyWaitFor([this] { return m_us->transferIdle(); }));
        QVERIFY(lastShown(*m_us).startsWith(shown));
        QVERIFY(m_us->window().chat().sessionOpen());
    }

private:
    // The peer offers a file of that name to us; true once we have accepted it.
    bool offer(const QByteArray &name)
    {
        if (!m_file->call(PeerAddress, m_ports.file) || !m_file->receives("{ACCEPT}"))
            return false;
        m_file->send("{FILE}" + name);
        return m_file->receives("{SF}");
    }

    TestMessenger::Ports m_ports {};
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<TestMessenger> m_us;
    std::unique_ptr<RawPeer> m_chat;
    std::unique_ptr<RawPeer> m_file;
};

QTEST_MAIN(tst_FileTransferPeer)
#include "tst_FileTransferPeer.moc"
