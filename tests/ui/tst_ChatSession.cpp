#include "app/basMain.h"
#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "support/TestMessenger.h"
#include "support/TranscriptRuns.h"
#include "ui/Transcript.h"
#include "ui/frmMain.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/basUrdu.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

using State = SocketEndpoint::SocketState;

namespace {

const QString CallerAddress = QStringLiteral("127.0.0.1");
const QString CalleeAddress = QStringLiteral("127.0.0.2");

QAction *action(const frmMain &window, const QString &name)
{
    return window.findChild<QAction *>(name);
}

QTextDocument &transcriptOf(const TestMessenger &messenger)
{
    return *messenger.window().findChild<QTextEdit *>(QStringLiteral("rtbMain"))->document();
}

QString plainTranscript(const TestMessenger &messenger)
{
    return messenger.window().transcript().plainText();
}

// Ali's copy on 127.0.0.1 and Sara's on 127.0.0.2, both started and listening.
struct AliAndSara
{
    AliAndSara()
    {
        caller.startAs(QStringLiteral("ali"));
        callee.startAs(QStringLiteral("sara"));
    }
    TestMessenger::Ports ports = TestMessenger::freePorts();
    TestMessenger caller { CallerAddress, ports };
    TestMessenger callee { CalleeAddress, ports };
};

} // namespace

// Two complete messengers on 127.0.0.1 and 127.0.0.2 connect, talk and part, and raw
// sockets play partners that are not.
class tst_ChatSession : public QObject
{
    Q_OBJECT

private slots:
    // The callee hears the request sound on the call and again with the question, the
    // caller nothing until the session opens; then both hear the message sound and see
    // the opening banner and the partner's nickname. While the callee's user thinks, the
    // caller's status reads "Connecting...".
    void handshakeOpensSessionOnBothSides()
    {
        AliAndSara people;
        TestMessenger &caller = people.caller, &callee = people.callee;
        QString callerStatusDuringQuestion;
        callee.desktop.onShow = [&](const QString &) {
            QTest::qWait(1200);
            callerStatusDuringQuestion = caller.window().statusText(0);
        };

        QVERIFY(caller.openSessionWith(callee, CalleeAddress));
        QCOMPARE(callerStatusDuringQuestion, QStringLiteral("Connecting..."));

        QCOMPARE(callee.soundsPlayed(),
            (QStringList { QStringLiteral("request.wav"), QStringLiteral("request.wav"),
                QStringLiteral("message.wav") }));
        QCOMPARE(caller.soundsPlayed(), QStringList { QStringLiteral("message.wav") });
        QCOMPARE(callee.desktop.shown.size(), 1);
        QCOMPARE(callee.desktop.shown.first().text,
            QStringLiteral(
                "ali {127.0.0.1} wants to Chat you.\r\nDo you want to accept his/her request?"));
        QCOMPARE(caller.program->RemoteFullName, QStringLiteral("sara Khan"));
        QCOMPARE(callee.program->RemoteEmail, QStringLiteral("ali@example.org"));

        const QRegularExpression opened(QStringLiteral(
            R"(^\r\nChat Session Opened on \w+, \w+ \d\d, \d{4} at \d\d:\d\d:\d\d [AP]M\r\nRemote User Nick is (\w+)\r\n$)"));
        QCOMPARE(opened.match(plainTranscript(caller)).captured(1), QStringLiteral("sara"));
        QCOMPARE(opened.match(plainTranscript(callee)).captured(1), QStringLiteral("ali"));

        for (const TestMessenger *side : { &caller, &callee }) {
            const frmMain &window = side->window();
            QTRY_COMPARE(window.statusText(0), QStringLiteral("Connected."));
            QCOMPARE(action(window, QStringLiteral("mnuConnect"))->text(),
                QStringLiteral("&Disconnect"));
            QCOMPARE(action(window, QStringLiteral("mnuConnectT"))->text(),
                QStringLiteral("&Disconnect"));
            QVERIFY(window.findChild<UrduText *>(QStringLiteral("txtSend"))->isEnabled());
            QVERIFY(window.findChild<QPushButton *>(QStringLiteral("cmdSend"))->isEnabled());
            for (const QString &entry : { QStringLiteral("mnuSaveAs"), QStringLiteral("mnuPrint"),
                     QStringLiteral("mnuRemote"), QStringLiteral("mnuFont"),
                     QStringLiteral("mnuFontColor"), QStringLiteral("mnuSendFile"),
                     QStringLiteral("mnuSetLanguage") })
                QVERIFY2(action(window, entry)->isEnabled(), qPrintable(entry));
        }
    }

    // The callee says No: the caller is told, hears the error sound, and both listen again.
    void refusalLeavesBothListening()
    {
        AliAndSara people;
        TestMessenger &caller = people.caller, &callee = people.callee;
        callee.desktop.answers = { Desktop::Answer::No };

        caller.dial(CalleeAddress);

        QTRY_COMPARE(caller.desktop.shown.size(), 1);
        QCOMPARE(caller.desktop.shown.first().text,
            QStringLiteral("sara {127.0.0.2} didn't accept your request."));
        QTRY_COMPARE(caller.soundsPlayed(), QStringList { QStringLiteral("error.wav") });
        QTRY_COMPARE(caller.window().WskMain().State(), State::Listening);
        QTRY_COMPARE(callee.window().WskMain().State(), State::Listening);
        QTRY_COMPARE(caller.window().statusText(0), QStringLiteral("Listening..."));
        QCOMPARE(plainTranscript(callee), QString());
        QVERIFY(!caller.window().chat().sessionOpen());
        QVERIFY(!callee.window().chat().sessionOpen());
    }

    // Either side may end the session: the leaving side writes the reset line and the
    // closing banner at once, the other writes the line and hears the error sound, then
    // writes the banner at the next status tick. Both listen again.
    void disconnectEndsSessionOnBothSides()
    {
        AliAndSara people;
        TestMessenger &caller = people.caller, &callee = people.callee;
        QVERIFY(caller.openSessionWith(callee, CalleeAddress));
        caller.desktop.sounds.clear();
        callee.desktop.sounds.clear();

        action(callee.window(), QStringLiteral("mnuConnect"))->trigger();

        const QRegularExpression ended(QStringLiteral(
            R"(\r\nThe Connection with the (\w+) \{([\d.]+)\}is reset\.\r\nChat Session Closed on [^\r\n]+ at \d\d:\d\d:\d\d [AP]M$)"));
        const QRegularExpressionMatch calleeEnd = ended.match(plainTranscript(callee));
        QCOMPARE(calleeEnd.captured(1), QStringLiteral("ali"));
        QCOMPARE(calleeEnd.captured(2), CallerAddress);
        QCOMPARE(callee.soundsPlayed(), QStringList());
        QCOMPARE(callee.window().WskMain().State(), State::Listening);

        QTRY_VERIFY(ended.match(plainTranscript(caller)).hasMatch());
        QCOMPARE(ended.match(plainTranscript(caller)).captured(1), QStringLiteral("sara"));
        QCOMPARE(caller.soundsPlayed(), QStringList { QStringLiteral("error.wav") });
        QTRY_COMPARE(caller.window().statusText(0), QStringLiteral("Listening..."));
        QCOMPARE(caller.window().WskMain().State(), State::Listening);
        for (const TestMessenger *side : { &caller, &callee }) {
            QCOMPARE(action(side->window(), QStringLiteral("mnuConnect"))->text(),
                QStringLiteral("&Connect"));
            QCOMPARE(action(side->window(), QStringLiteral("mnuConnectT"))->text(),
                QStringLiteral("&Connect"));
            QVERIFY(!side->window().findChild<UrduText *>(QStringLiteral("txtSend"))->isEnabled());
            QVERIFY(
                !side->window().findChild<QPushButton *>(QStringLiteral("cmdSend"))->isEnabled());
            QVERIFY(action(side->window(), QStringLiteral("mnuSaveAs"))->isEnabled());
            QVERIFY(!action(side->window(), QStringLiteral("mnuRemote"))->isEnabled());
        }

        // A new call after the end reads "Connecting..." again until its handshake is done.
        QVERIFY(caller.openSessionWith(callee, CalleeAddress));
        QTRY_COMPARE(caller.window().statusText(0), QStringLiteral("Connected."));
    }

    // Each side sees its own message under a green header and the partner's under a purple
    // one, English indented by three blanks, Urdu right-aligned, in the writer's style.
    void messagesShowInWritersStyleOnBothSides()
    {
        AliAndSara people;
        TestMessenger &caller = people.caller, &callee = people.callee;
        QVERIFY(caller.openSessionWith(callee, CalleeAddress));
        caller.window().transcript().clear();
        callee.window().transcript().clear();

        // ali writes Urdu: "salam" in the Urdu composer, Enter sends.
        auto *urdu = caller.window().findChild<UrduText *>(QStringLiteral("txtSend"));
        urdu->txtMain()->setFocus();
        QTest::keyClicks(urdu->txtMain(), QStringLiteral("slam"));
        QTest::keyClick(urdu->txtMain(), Qt::Key_Return);
        QCOMPARE(urdu->Text(), QByteArray());
        QTRY_COMPARE(callee.soundsPlayed().count(QStringLiteral("message.wav")), 2);

        // sara switches to English, picks bold italic red, and writes.
        action(callee.window(), QStringLiteral("mnuEnglish"))->trigger();
        callee.desktop.dialogAnswers = { QColor(255, 0, 0) };
        action(callee.window(), QStringLiteral("mnuFontColor"))->trigger();
        auto *english = callee.window().findChild<QPlainTextEdit *>(QStringLiteral("txtSendEN"));
        QFont font = english->font();
        font.setBold(true);
        font.setItalic(true);
        english->setFont(font);
        english->setPlainText(QStringLiteral("caf\u00e9 <b>hi</b> \u2713"));
        callee.window().findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
        QVERIFY(english->toPlainText().isEmpty());

        const QString salam = UrduGlyphFont::toDisplay(ShapeUrdu("slam"));
        // A header starts its own paragraph; an Urdu body ends with its line's CR LF.
        const QString ownHeader = QStringLiteral("L Arial 10 #05984b B \"");
        const QString partnerHeader = QStringLiteral("L Arial 10 #714198 B \"");
        const QString urduBody = QStringLiteral("R Qirtas1 12 #000000 \"") + salam + u'"';
        // The tick has no Windows-1252 byte: it goes as "?", and the sender shows what it sent.
        const QString englishBody
            = QStringLiteral("L Arial 9 #ff0000 B I \"   caf\u00e9 <b>hi</b> ?\"");
        QTRY_COMPARE(TranscriptRuns::of(transcriptOf(caller)),
            (QStringList { QStringLiteral("|"), ownHeader + QStringLiteral("ali Says : \""),
                QStringLiteral("|"), urduBody, QStringLiteral("|"), QStringLiteral("|"),
                partnerHeader + QStringLiteral("sara Says : \""), QStringLiteral("|"),
                englishBody }));
        QTRY_COMPARE(TranscriptRuns::of(transcriptOf(callee)),
            (QStringList { QStringLiteral("|"), partnerHeader + QStringLiteral("ali Says : \""),
                QStringLiteral("|"), urduBody, QStringLiteral("|"), QStringLiteral("|"),
                ownHeader + QStringLiteral("sara Says : \""), QStringLiteral("|"), englishBody }));
    }

    // A call that comes in while the user is typing an address wins: the connect dialog
    // closes and no call goes out.
    void incomingCallClosesConnectDialog()
    {
        AliAndSara people;
        TestMessenger &caller = people.caller, &callee = people.callee;
        bool dialogWasOpen = false;
        QTimer::singleShot(0, &callee.window(), [&] {
            dialogWasOpen = QApplication::activeModalWidget() != nullptr;
            QVERIFY(caller.callChatSocketOf(callee, CalleeAddress));
        });
        action(callee.window(), QStringLiteral("mnuConnect"))->trigger();
        QVERIFY(dialogWasOpen);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(callee.window().WskMain().State(), State::Connected);
        QCOMPARE(callee.window().WskMain().RemoteHostIP(), CallerAddress);
        QVERIFY(action(callee.window(), QStringLiteral("mnuConnect"))->data().toString().isEmpty());
    }
};

QTEST_MAIN(tst_ChatSession)
#include "tst_ChatSession.moc"
