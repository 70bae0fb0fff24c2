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
#include <QTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

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
        QCOMPARE(callerStatusDuringQuestion, u"Connecting..."_qs);

        QCOMPARE(callee.soundsPlayed(), (QStringList { u"request.wav"_qs, u"request.wav"_qs, u"message.wav"_qs }));
        QCOMPARE(caller.soundsPlayed(), QStringList { u"message.wav"_qs });
        QCOMPARE(callee.desktop.shown.size(), 1);
        QCOMPARE(callee.desktop.shown.first().text,
                 u"ali {127.0.0.1} wants to Chat you.\r\nDo you want to accept his/her request?"_qs);
        QCOMPARE(caller.program->RemoteFullName, u"sara Khan"_qs);
        QCOMPARE(callee.program->RemoteEmail, u"ali@example.org"_qs);

        const QRegularExpression opened(
            uR"(^\r\nChat Session Opened on \w+, \w+ \d\d, \d{4} at \d\d:\d\d:\d\d [AP]M\r\nRemote User Nick is (\w+)\r\n$)"_qs);
        QCOMPARE(opened.match(plainTranscript(caller)).captured(1), u"sara"_qs);
        QCOMPARE(opened.match(plainTranscript(callee)).captured(1), u"ali"_qs);

        for (const TestMessenger *side : { &caller, &callee }) {
            const frmMain &window = side->window();
            QTRY_COMPARE(window.statusText(0), u"Connected."_qs);
            QCOMPARE(action(window, u"mnuConnect"_qs)->text(), u"&Disconnect"_qs);
            QCOMPARE(action(window, u"mnuConnectT"_qs)->text(), u"&Disconnect"_qs);
            QVERIFY(window.findChild<UrduText *>(u"txtSend"_qs)->isEnabled());
            QVERIFY(window.findChild<QPushButton *>(u"cmdSend"_qs)->isEnabled());
            for (const QString &entry : { u"mnuSaveAs"_qs, u"mnuPrint"_qs, u"mnuRemote"_qs, u"mnuFont"_qs,
                                          u"mnuFontColor"_qs, u"mnuSendFile"_qs, u"mnuSetLanguage"_qs })
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
        QCOMPARE(caller.desktop.shown.first().text, u"sara {127.0.0.2} didn't accept your request."_qs);
        QTRY_COMPARE(caller.soundsPlayed(), QStringList { u"error.wav"_qs });
        QTRY_COMPARE(caller.window().WskMain().State(), State::Listening);
        QTRY_COMPARE(callee.window().WskMain().State(), State::Listening);
        QTRY_COMPARE(caller.window().statusText(0), u"Listening..."_qs);
        QCOMPARE(plainTranscript(callee), QString());
        QVERIFY(!caller.window().sessionOpen());
        QVERIFY(!callee.window().sessionOpen());
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

        action(callee.window(), u"mnuConnect"_qs)->trigger();

        const QRegularExpression ended(
            uR"(\r\nThe Connection with the (\w+) \{([\d.]+)\}is reset\.\r\nChat Session Closed on [^\r\n]+ at \d\d:\d\d:\d\d [AP]M$)"_qs);
        const QRegularExpressionMatch calleeEnd = ended.match(plainTranscript(callee));
        QCOMPARE(calleeEnd.captured(1), u"ali"_qs);
        QCOMPARE(calleeEnd.captured(2), CallerAddress);
        QCOMPARE(callee.soundsPlayed(), QStringList());
        QCOMPARE(callee.window().WskMain().State(), State::Listening);

        QTRY_VERIFY(ended.match(plainTranscript(caller)).hasMatch());
        QCOMPARE(ended.match(plainTranscript(caller)).captured(1), u"sara"_qs);
        QCOMPARE(caller.soundsPlayed(), QStringList { u"error.wav"_qs });
        QTRY_COMPARE(caller.window().statusText(0), u"Listening..."_qs);
        QCOMPARE(caller.window().WskMain().State(), State::Listening);
        for (const TestMessenger *side : { &caller, &callee }) {
            QCOMPARE(action(side->window(), u"mnuConnect"_qs)->text(), u"&Connect"_qs);
            QCOMPARE(action(side->window(), u"mnuConnectT"_qs)->text(), u"&Connect"_qs);
            QVERIFY(!side->window().findChild<UrduText *>(u"txtSend"_qs)->isEnabled());
            QVERIFY(!side->window().findChild<QPushButton *>(u"cmdSend"_qs)->isEnabled());
            QVERIFY(action(side->window(), u"mnuSaveAs"_qs)->isEnabled());
            QVERIFY(!action(side->window(), u"mnuRemote"_qs)->isEnabled());
        }

        // A new call after the end reads "Connecting..." again until its handshake is done.
        QVERIFY(caller.openSessionWith(callee, CalleeAddress));
        QTRY_COMPARE(caller.window().statusText(0), u"Connected."_qs);
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
        auto *urdu = caller.window().findChild<UrduText *>(u"txtSend"_qs);
        urdu->txtMain()->setFocus();
        QTest::keyClicks(urdu->txtMain(), u"slam"_qs);
        QTest::keyClick(urdu->txtMain(), Qt::Key_Return);
        QCOMPARE(urdu->Text(), QByteArray());
        QTRY_COMPARE(callee.soundsPlayed().count(u"message.wav"_qs), 2);

        // sara switches to English, picks bold italic red, and writes.
        action(callee.window(), u"mnuEnglish"_qs)->trigger();
        callee.desktop.dialogAnswers = { QColor(255, 0, 0) };
        action(callee.window(), u"mnuFontColor"_qs)->trigger();
        auto *english = callee.window().findChild<QPlainTextEdit *>(u"txtSendEN"_qs);
        QFont font = english->font();
        font.setBold(true);
        font.setItalic(true);
        english->setFont(font);
        english->setPlainText(u"caf\u00e9 <b>hi</b> \u2713"_qs);
        callee.window().findChild<QPushButton *>(u"cmdSend"_qs)->click();
        QVERIFY(english->toPlainText().isEmpty());

        const QString salam = UrduGlyphFont::toDisplay(ShapeUrdu("slam"));
        // A header starts its own paragraph; an Urdu body ends with its line's CR LF.
        const QString ownHeader = u"L Arial 10 #05984b B \""_qs;
        const QString partnerHeader = u"L Arial 10 #714198 B \""_qs;
        const QString urduBody = u"R Qirtas1 12 #000000 \""_qs + salam + u'"';
        // The tick has no Windows-1252 byte: it goes as "?", and the sender shows what it sent.
        const QString englishBody = u"L Arial 9 #ff0000 B I \"   caf\u00e9 <b>hi</b> ?\""_qs;
        QTRY_COMPARE(TranscriptRuns::of(transcriptOf(caller)),
                     (QStringList { u"|"_qs, ownHeader + u"ali Says : \""_qs, u"|"_qs, urduBody, u"|"_qs, u"|"_qs,
                                    partnerHeader + u"sara Says : \""_qs, u"|"_qs, englishBody }));
        QTRY_COMPARE(TranscriptRuns::of(transcriptOf(callee)),
                     (QStringList { u"|"_qs, partnerHeader + u"ali Says : \""_qs, u"|"_qs, urduBody, u"|"_qs, u"|"_qs,
                                    ownHeader + u"sara Says : \""_qs, u"|"_qs, englishBody }));
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
        action(callee.window(), u"mnuConnect"_qs)->trigger();
        QVERIFY(dialogWasOpen);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(callee.window().WskMain().State(), State::Connected);
        QCOMPARE(callee.window().WskMain().RemoteHostIP(), CallerAddress);
        QVERIFY(action(callee.window(), u"mnuConnect"_qs)->data().toString().isEmpty());
    }
};

QTEST_MAIN(tst_ChatSession)
#include "tst_ChatSession.moc"
