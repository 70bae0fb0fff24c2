#include "app/basMain.h"
#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "support/RawPeer.h"
#include "support/TestMessenger.h"
#include "support/TranscriptRuns.h"
#include "ui/Transcript.h"
#include "ui/frmMain.h"
#include "urdu/basUrdu.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

using State = SocketEndpoint::SocketState;

namespace {

const QString OurAddress = QStringLiteral("127.0.0.1");
const QString PeerAddress = QStringLiteral("127.0.0.3");

QString plainTranscript(const TestMessenger &messenger)
{
    return messenger.window().transcript().plainText();
}

QStringList runsOf(const TestMessenger &messenger)
{
    return TranscriptRuns::of(
        *messenger.window().findChild<QTextEdit *>(QStringLiteral("rtbMain"))->document());
}

const QByteArray Hello = QByteArrayLiteral("\\F:Arial\\C: 255\\S: 10\\L:0\\{T:hello\\}");
const QByteArray Bold = QByteArrayLiteral("\\BLD\\F:Tahoma\\C: 16711680\\S: 12\\L:0\\{T:second\\}");

} // namespace

// What a peer writes on the chat connection, as raw bytes: an honest old peer whose sends
// TCP joins or splits, and a hostile one.
class tst_PeerOnTheWire : public QObject
{
    Q_OBJECT

private:
    // Our copy, started as "ali", calls a raw peer that answers as an old callee: its
    // identity at once, then `acceptance` once ours has come. True once the session is open.
    static bool openSessionWithRawCallee(
        TestMessenger &us, RawPeer &peer, const QByteArray &acceptance)
    {
        if (!peer.answerCalls(PeerAddress, us.ports().chat))
            return false;
        us.dial(PeerAddress);
        peer.send("{SEND}bob/Bob Smith/bob@example.org/");
        if (!peer.receives("{RECEV}ali/ali Khan/ali@example.org/"))
            return false;
        peer.send(acceptance);
        return QTest::qWaitFor([&] { return us.window().chat().sessionOpen(); });
    }

private slots:
    // However TCP cuts or joins the sends, from "{YES}" with the first message on, every
    // message shows once, whole, in its style.
    void joinedAndSplitSendsShowEachMessageOnce()
    {
        TestMessenger us(OurAddress, TestMessenger::freePorts());
        us.startAs(QStringLiteral("ali"));
        RawPeer peer;
        QVERIFY(openSessionWithRawCallee(us, peer, "{YES}" + Hello));
        QTRY_VERIFY(plainTranscript(us).endsWith(QStringLiteral("\r\nbob Says : \r\n   hello")));
        QCOMPARE(us.program->RemoteFullName, QStringLiteral("Bob Smith"));
        us.window().transcript().clear();

        peer.send(Hello + Bold);
        for (const QByteArray &piece :
            { Hello.left(3), Hello.mid(3, 14), Hello.mid(17, 13), Hello.mid(30) }) {
            QTest::qWait(50);
            peer.send(piece);
        }

        const QString header = QStringLiteral("\r\nbob Says : \r\n");
        QTRY_COMPARE(plainTranscript(us),
            header + QStringLiteral("   hello") + header + QStringLiteral("   second") + header
                + QStringLiteral("   hello"));
        QVERIFY(runsOf(us).contains(QStringLiteral("L Tahoma 12 #0000ff B \"   second\"")));
        QVERIFY(runsOf(us).contains(QStringLiteral("L Arial 10 #ff0000 \"   hello\"")));
    }

    // A message that never ends is shown as it stands after a short wait, as plain text
    // in the default style; nothing of it is taken for markup.
    void endlessMessageIsShownAsItStands()
    {
        TestMessenger us(OurAddress, TestMessenger::freePorts());
        us.startAs(QStringLiteral("ali"));
        RawPeer peer;
        QVERIFY(openSessionWithRawCallee(us, peer, "{YES}"));
        us.window().transcript().clear();

        peer.send("\\F:Arial\\C: 255\\S: 10\\L:0\\{T:no end <i>here</i>");
        QTRY_VERIFY_WITH_TIMEOUT(
            plainTranscript(us).contains(QStringLiteral("no end <i>here</i>")), 6000);
        QVERIFY(runsOf(us).last().startsWith(QStringLiteral("L Arial 10 ")));
    }

    // A caller the user has not accepted cannot write into the transcript, make a sound, or
    // open a session by answering for the user; its words are shown as they are.
    void callerCannotWriteBeforeAcceptance()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger us(OurAddress, ports);
        us.startAs(QStringLiteral("sara"));
        RawPeer peer;
        QVERIFY(peer.call(PeerAddress, ports.chat));
        QVERIFY(peer.receives("{SEND}sara/sara Khan/sara@example.org/"));

        peer.send(Hello);
        QTest::qWait(100);
        peer.send("{YES}");
        QTest::qWait(300);
        QCOMPARE(plainTranscript(us), QString());
        QVERIFY(!us.window().chat().sessionOpen());
        QCOMPARE(us.soundsPlayed(), QStringList { QStringLiteral("request.wav") });

        us.desktop.answers = { Desktop::Answer::Yes };
        peer.send("{RECEV}<b>eve<b>/Eve/eve@example.org/");
        QVERIFY(peer.receives("{YES}"));
        QCOMPARE(us.desktop.shown.first().text,
            QStringLiteral("<b>eve<b> {127.0.0.3} wants to Chat you.\r\nDo you want to accept "
                           "his/her request?"));
        QVERIFY(us.window().chat().sessionOpen());
        QVERIFY(plainTranscript(us).endsWith(QStringLiteral("Remote User Nick is <b>eve<b>\r\n")));
    }

    // The user answers after the caller has gone: nothing is sent and no session opens.
    void answerAfterCallerLeftDoesNothing()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger us(OurAddress, ports);
        us.startAs(QStringLiteral("sara"));
        RawPeer peer;
        QVERIFY(peer.call(PeerAddress, ports.chat));
        QVERIFY(peer.receives("/"));
        us.desktop.onShow = [&](const QString &) {
            peer.hangUp();
            QVERIFY(QTest::qWaitFor([&] { return us.window().WskMain().PeerHasClosed(); }));
        };
        peer.send("{RECEV}eve/Eve/eve@example.org/");
        QTRY_COMPARE(us.desktop.shown.size(), 1);
        QTest::qWait(100);
        QVERIFY(!us.window().chat().sessionOpen());
        QTRY_COMPARE(us.window().WskMain().State(), State::Listening);
        QCOMPARE(us.desktop.shown.size(), 1);
        QCOMPARE(us.soundsPlayed(),
            (QStringList { QStringLiteral("request.wav"), QStringLiteral("request.wav") }));
        QVERIFY(!plainTranscript(us).contains(QStringLiteral("Remote User Nick")));
    }

    // An Urdu message goes out as the lines of the layout box from last to first, each
    // ending in CR LF, so that the partner reads the beginning first.
    void urduLinesGoOutInReadingOrder()
    {
        TestMessenger us(OurAddress, TestMessenger::freePorts());
        us.startAs(QStringLiteral("ali"));
        RawPeer peer;
        QVERIFY(openSessionWithRawCallee(us, peer, "{YES}"));
        const QByteArray keys = "slam dost aap kaisE hyN mYN Thik hoN Shkriy bhut acha dn hE aj ka";
        us.window().findChild<UrduText *>(QStringLiteral("txtSend"))->setText(keys);
        us.window().findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();

        QVERIFY(peer.receives("\r\n\\}"));
        const QByteArray markup = peer.received().mid(peer.received().indexOf("\\F:"));
        const qsizetype start = markup.indexOf("\\{T:") + 4;
        const QByteArray text = markup.mid(start, markup.size() - start - 2);
        QList<QByteArray> lines = text.split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        QVERIFY(lines.size() > 1);
        QByteArray visualOrder;
        for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
            QVERIFY(line->endsWith('\r'));
            QVERIFY(!line->chopped(1).endsWith(' '));
            visualOrder += (visualOrder.isEmpty() ? "" : " ") + line->chopped(1);
        }
        QCOMPARE(visualOrder, ShapeUrdu(keys));
        QVERIFY(markup.startsWith("\\F:Qirtas1\\C:"));
        QVERIFY(markup.contains("\\S: 12\\L:1\\{T:"));
    }
};

QTEST_MAIN(tst_PeerOnTheWire)
#include "tst_PeerOnTheWire.moc"
