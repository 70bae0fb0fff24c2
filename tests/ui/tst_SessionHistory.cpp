#include "app/PrivateFiles.h"
#include "chat/ChatSession.h"
#include "chat/MessageMarkup.h"
#include "support/RawPeer.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/SessionHistory.h"
#include "ui/Transcript.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Zara = QStringLiteral("127.0.0.1");

// A partner that calls the messenger as "Ali", is accepted and says "salaam <n>".
struct CallingPartner
{
    RawPeer socket;

    bool openSession(TestMessenger &messenger)
    {
        return socket.call(QStringLiteral("127.0.0.2"), messenger.ports().chat)
            && socket.receives("zara@example.org/")
            && (socket.send("{RECEV}Ali/Ali Khan/ali@example.org/"), true)
            && QTest::qWaitFor([&] { return messenger.chat().sessionOpen(); });
    }
    void say(const QByteArray &text)
    {
        socket.send(MessageMarkup::EncodeMessage({ QStringLiteral("Arial"), 10 }, text, false));
    }
};

QStringList historyFiles()
{
    return QDir(SessionHistory::standardFolder()).entryList(QDir::Files);
}

} // namespace

class tst_SessionHistory : public QObject
{
    Q_OBJECT

    QTemporaryDir m_data;

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit()); }
    void cleanup() { QDir(SessionHistory::standardFolder()).removeRecursively(); }

    // Nothing in a partner's nickname makes the name reach elsewhere, hide it or grow it.
    void fileName_data()
    {
        QTest::addColumn<QString>("nickname");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("Ali") << QStringLiteral(" Ali.rtf");
        QTest::newRow("folders, drives, wildcards")
            << QStringLiteral("../a/b\\c:d*e?\"<>|") << QStringLiteral(" _a_b_c_d_e_____.rtf");
        QTest::newRow("hidden, trailing dot")
            << QStringLiteral(" .zoë. ") << QStringLiteral(" zoë.rtf");
        QTest::newRow("control characters")
            << QStringLiteral("a\tb\x7f") << QStringLiteral(" a_b_.rtf");
        QTest::newRow("no nickname") << QStringLiteral(" . ") << QStringLiteral(".rtf");
        QTest::newRow("long") << QString(300, u'x')
                              << u' ' + QString(64, u'x') + QStringLiteral(".rtf");
    }
    void fileName()
    {
        QFETCH(QString, nickname);
        QFETCH(QString, name);
        const QDateTime start(QDate(2026, 12, 6), QTime(14, 5, 31));
        QCOMPARE(SessionHistory::fileName(start, nickname),
            QStringLiteral("2026-12-06 14-05-31") + name);
    }

    // However a session ends, its transcript is in the history, the user's alone.
    void everyEnd_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("we hang up") << QStringLiteral("mnuConnect");
        QTest::newRow("partner hangs up") << QStringLiteral("close");
        QTest::newRow("partner vanishes") << QStringLiteral("reset");
        QTest::newRow("program exits") << QStringLiteral("mnuExit");
    }
    void everyEnd()
    {
        QFETCH(QString, end);
        TestMessenger zara(Zara, TestMessenger::freePorts());
        zara.startAs(QStringLiteral("zara"));
        CallingPartner ali;
        QVERIFY(ali.openSession(zara));
        ali.say("salaam 1");
        QTRY_VERIFY(zara.window().transcript().plainText().contains(u"salaam 1"));
        if (end == u"close")
            ali.socket.hangUp();
        else if (end == u"reset")
            ali.socket.reset();
        else
            zara.play(end);
        QTRY_COMPARE(historyFiles().size(), 1);
        const QString name = historyFiles().constFirst();
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\d{4}(-\\d\\d){2} \\d\\d(-\\d\\d){2} Ali\\.rtf$"))
                .match(name)
                .hasMatch(),
            qPrintable(name));
        const QString path = QDir(SessionHistory::standardFolder()).filePath(name);
        const QByteArray rtf = TestFiles::read(path);
        QVERIFY(rtf.startsWith("{\\rtf1") && rtf.contains("salaam 1"));
        QCOMPARE(rtf.contains("Chat Session Closed on"), end != u"mnuExit");
        QCOMPARE(QFile::permissions(path) & 0x7777, QFile::Permissions(0x6600)); // rw-------
        QCOMPARE(QFile::permissions(SessionHistory::standardFolder()) & 0x7777,
            QFile::Permissions(0x7700)); // rwx------
    }

    // Off, nothing is written; a failed write is told once, the text stays and goes into the
    // history with the next session once the folder can be written again.
    void keepingChoices()
    {
        TestMessenger zara(Zara, TestMessenger::freePorts());
        zara.startAs(QStringLiteral("zara"));
        zara.play(QStringLiteral("mnuKeepHistory"));
        QVERIFY(!zara.program->KeepHistory);
        for (int session = 1; session <= 4; ++session) {
            if (session == 2) {
                zara.play(QStringLiteral("mnuKeepHistory"));
                const QString folder = SessionHistory::standardFolder();
                QVERIFY(QDir().mkpath(QFileInfo(folder).path()));
                QVERIFY(QFileInfo(TestFiles::write(folder, "in the way")).isFile());
            }
            if (session == 4)
                QVERIFY(QFile::remove(SessionHistory::standardFolder()));
            CallingPartner ali;
            QVERIFY(ali.openSession(zara));
            ali.say("salaam " + QByteArray::number(session));
            QTRY_VERIFY(zara.window().transcript().plainText().contains(
                QStringLiteral("salaam %1").arg(session)));
            zara.play(QStringLiteral("mnuConnect"));
            QTRY_VERIFY(zara.listening());
        }
        const QStringList failures = zara.textsShown().filter(QStringLiteral("could not be kept"));
        QCOMPARE(failures.size(), 1);
        QVERIFY(
            failures.constFirst().startsWith(u"This chat could not be kept in your history:\n"));
        QCOMPARE(historyFiles().size(), 1);
        const QByteArray rtf = TestFiles::read(
            QDir(SessionHistory::standardFolder()).filePath(historyFiles().constFirst()));
        QVERIFY(!rtf.contains("salaam 1"));
        QVERIFY(rtf.contains("salaam 2") && rtf.contains("salaam 3") && rtf.contains("salaam 4"));

        zara.play(QStringLiteral("mnuOpenHistory"));
        QCOMPARE(
            zara.desktop.opened.value(0), QUrl::fromLocalFile(SessionHistory::standardFolder()));
    }
};

QTEST_MAIN(tst_SessionHistory)
#include "tst_SessionHistory.moc"
