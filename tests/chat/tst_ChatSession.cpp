#include "chat/ChatSession.h"

#include "net/SocketEndpoint.h"
#include "resources/StringTable.h"
#include "support/RawPeer.h"
#include "support/TestProgram.h"

#include <QFileInfo>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

const QString Partner = QStringLiteral("127.0.0.2");
const QByteArray AliSends = "{SEND}ali/Ali Khan/ali@example.org/";
const QByteArray AliRecev = "{RECEV}ali/Ali Khan/ali@example.org/";
const QByteArray OurSend = "{SEND}sara/sara Khan/sara@example.org/";
const QByteArray OurRecev = "{RECEV}sara/sara Khan/sara@example.org/";
const QByteArray Hello = "\\F:Arial\\C: 255\\S: 10\\L:0\\{T:hello\\}";
const QByteArray Bold = "\\BLD\\F:Tahoma\\C: 16711680\\S: 12\\L:0\\{T:second\\}";
const QString InSession = QStringLiteral("InSession, Connected., connected, ACCEPT");
const QString Listening = QStringLiteral("Listening, Listening...");
const QString Closing = QStringLiteral("Closing, Remote is Closing the Connection.");
const QString AliOpened = QStringLiteral("opened ali (Ali Khan, ali@example.org)|message.wav");

// "a|b" is the list { "a", "b" }; "<nick> asks" and "<nick> refuses" stand for the texts of
// the question and of the refusal about the partner at 127.0.0.2.
QStringList story(QString items)
{
    items.replace(QStringLiteral(" asks"),
        QStringLiteral(
            " {127.0.0.2} wants to Chat you.\r\nDo you want to accept his/her request?"));
    items.replace(
        QStringLiteral(" refuses"), QStringLiteral(" {127.0.0.2} didn't accept your request."));
    return items.isEmpty() ? QStringList() : items.split(u'|');
}

// Our copy "sara" on 127.0.0.1 and a raw partner on 127.0.0.2. The log holds, in order, what
// the session tells the transcript, the sounds it plays and the texts of its boxes.
struct Call
{
    explicit Call(bool named = true)
    {
        named ? us.startAs(QStringLiteral("sara")) : us.start();
        us.desktop.onSound = [this](const QString &path) { log << QFileInfo(path).fileName(); };
        us.desktop.onShow = [this](const QString &text) {
            log << text;
            if (whileAsked)
                whileAsked();
        };
        const basMain &p = *us.program;
        ChatSession *chat = &us.chat();
        QObject::connect(chat, &ChatSession::settingsNeeded,
            [this] { log << QStringLiteral("settings while ") + where(); });
        QObject::connect(
            chat, &ChatSession::callArriving, [this] { log << QStringLiteral("call"); });
        QObject::connect(chat, &ChatSession::sessionOpened, [this, &p](const QString &nick) {
            log << QStringLiteral("opened %1 (%2, %3)").arg(nick, p.RemoteFullName, p.RemoteEmail);
        });
        QObject::connect(chat, &ChatSession::messageDecoded,
            [this](const QString &nick, int writer, const DecodedMessage &message) {
                log << QStringLiteral("%1 %2: ").arg(nick).arg(writer)
                        + QString::fromLatin1(message.MsgText);
            });
        QObject::connect(chat, &ChatSession::connectionReset,
            [this](const QString &partner) { log << QStringLiteral("reset ") + partner; });
        QObject::connect(
            chat, &ChatSession::sessionClosed, [this] { log << QStringLiteral("closed"); });
        QObject::connect(chat, &ChatSession::connectionEnded, [this](bool broken) {
            log << (broken ? QStringLiteral("ended broken") : QStringLiteral("ended"));
        });
    }

    // The state, its status text, whether the socket is connected, and the session marker.
    QString where() const
    {
        const ChatSession &chat = us.chat();
        const QString state = QString::fromLatin1(
            QMetaEnum::fromType<ChatSession::State>().valueToKey(int(chat.state())));
        return QStringList { state, StringTable::text(chat.statusTextId()),
            chat.IsConnected() ? QStringLiteral("connected") : QString(), chat.WskMain().Tag() }
            .join(QStringLiteral(", "))
            .remove(QRegularExpression(QStringLiteral("(, )+$")));
    }
    bool reaches(const QString &expected)
    {
        return TestProgram::busyWaitFor([&] { return where() == expected; }, 20000);
    }
    // We dial the partner, which says who it is; true once our answer is on the wire.
    bool weCall(const QByteArray &identity)
    {
        us.program->RemoteIP = Partner;
        if (!peer.answerCalls(Partner, us.ports().chat))
            return false;
        us.chat().ConnectRemote();
        peer.send(identity);
        return peer.receives(OurRecev);
    }
    bool partnerCalls(RawPeer &caller)
    {
        return caller.call(Partner, us.ports().chat) && caller.receives(OurSend);
    }
    // Ali calls and our user accepts; the log starts afresh.
    bool openSession()
    {
        const bool open = partnerCalls(peer) && (peer.send(AliRecev), reaches(InSession));
        log.clear();
        return open;
    }

    QStringList log;
    std::function<void()> whileAsked;
    TestProgram us { QStringLiteral("127.0.0.1"), TestProgram::freePorts() };
    RawPeer peer;
};

} // namespace

// One copy's chat connection against a raw partner, without windows; the status timer's
// ticks are the test's own.
class tst_ChatSession : public QObject
{
    Q_OBJECT

private slots:
    // We call: we hear nothing until the partner answers, and only an answer in its turn
    // counts. The partner calls: we hear the request sound on the call and again with the
    // question, and a caller our user has not accepted cannot chat, nor answer for the user.
    // `answer` is what the partner answers us, or what we answer it ("" when it leaves
    // while our user is asked).
    void handshake_data()
    {
        QTest::addColumn<bool>("weCall");
        QTest::addColumn<QByteArray>("identity");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("log");
        const QByteArray yes("{YES}"), no("{NOT}");
        QTest::newRow("we call, accepted") << true << AliSends << yes << InSession << AliOpened;
        QTest::newRow("we call, refused")
            << true << AliSends << no << Listening << QStringLiteral("ali refuses|error.wav");
        QTest::newRow("we call, first message joined to the acceptance")
            << true << AliSends << yes + Hello << InSession
            << AliOpened + QStringLiteral("|message.wav|ali 1: hello");
        QTest::newRow("we call, tags and chat out of turn are ignored")
            << true << "{YES}{NOT}" + Hello + "{RECEV}eve/Eve/e/" + AliSends
            << "{SEND}eve/Eve/e/{RECEV}eve/Eve/e/" + Hello + yes << InSession << AliOpened;
        QTest::newRow("we call, empty nickname shifts the fields")
            << true << QByteArray("{SEND}/Ali Khan/ali@example.org/") << yes << InSession
            << QStringLiteral("opened /Ali Khan (ali@example.org, )|message.wav");
        QTest::newRow("we call, slash inside a field")
            << true << QByteArray("{SEND}ali/Ali/Khan/ali@example.org/") << yes << InSession
            << QStringLiteral("opened ali (Ali, Khan)|message.wav");
        QTest::newRow("we call, endless identity")
            << true << "{SEND}" + QByteArray(40000, 'n') << yes << InSession
            << QStringLiteral("opened  (, )|message.wav");
        const QString asked = QStringLiteral("call|request.wav|request.wav|ali asks");
        QTest::newRow("they call, accepted")
            << false << AliRecev << yes << InSession << asked + u'|' + AliOpened;
        QTest::newRow("they call, refused") << false << AliRecev << no << Listening << asked;
        QTest::newRow("they call, chat and answers before the question are dropped")
            << false << Hello + "{YES}{SEND}eve/Eve/e/{NOT}" + AliRecev << yes << InSession
            << asked + u'|' + AliOpened;
        QTest::newRow("they call, empty nickname")
            << false << QByteArray("{RECEV}/Ali Khan/ali@example.org/") << no << Listening
            << QStringLiteral("call|request.wav|request.wav|/Ali Khan asks");
        QTest::newRow("they call, endless identity")
            << false << "{RECEV}" + QByteArray(40000, 'n') << no << Listening
            << QStringLiteral("call|request.wav|request.wav| asks");
        QTest::newRow("they call, and leave before the answer")
            << false << AliRecev << QByteArray() << Closing << asked;
    }
    void handshake()
    {
        QFETCH(bool, weCall);
        QFETCH(QByteArray, identity);
        QFETCH(QByteArray, answer);
        QFETCH(QString, where);
        QFETCH(QString, log);
        Call call;
        if (weCall) {
            QVERIFY(call.weCall(identity));
            QCOMPARE(call.where(), QStringLiteral("AwaitingAnswer, Connecting..., connected"));
            QCOMPARE(call.log, QStringList());
            call.peer.send(answer);
        } else {
            call.us.desktop.answers
                = { answer == "{NOT}" ? Desktop::Answer::No : Desktop::Answer::Yes };
            if (answer.isEmpty()) {
                call.whileAsked = [&] {
                    call.peer.hangUp();
                    TestProgram::busyWaitFor(
                        [&] { return call.us.chat().WskMain().PeerHasClosed(); });
                };
            }
            QVERIFY(call.partnerCalls(call.peer));
            QCOMPARE(call.where(), QStringLiteral("Answering, Connecting..., connected"));
            call.peer.send(identity);
        }
        call.reaches(where);
        QCOMPARE(call.where(), where);
        QCOMPARE(call.log, story(log));
        const QByteArray wire = weCall ? OurRecev : OurSend + answer;
        QVERIFY(call.peer.receives(wire));
        QCOMPARE(call.peer.received(), wire);
    }

    // The partner's hang-up: in a session the reset line and the error sound come at once,
    // after whatever it wrote last; the next tick ends the connection, forgets a message left
    // unfinished, and listens for the next call.
    void partnerHangsUp_data()
    {
        QTest::addColumn<bool>("inSession");
        QTest::addColumn<QByteArray>("lastWords");
        QTest::addColumn<QString>("log");
        QTest::newRow("in a session, last words first")
            << true << Hello + Bold + Bold.left(20)
            << QStringLiteral("message.wav|ali 1: hello|message.wav|ali 1: second|"
                              "reset ali {127.0.0.2}|error.wav");
        QTest::newRow("in a session")
            << true << QByteArray() << QStringLiteral("reset ali {127.0.0.2}|error.wav");
        QTest::newRow("during the handshake") << false << QByteArray() << QString();
    }
    void partnerHangsUp()
    {
        QFETCH(bool, inSession);
        QFETCH(QByteArray, lastWords);
        QFETCH(QString, log);
        Call call;
        QVERIFY(inSession ? call.openSession() : call.partnerCalls(call.peer));
        call.log.clear();
        call.peer.send(lastWords);
        call.peer.hangUp();
        QVERIFY(call.reaches(Closing));
        QCOMPARE(call.log, story(log));
        QCOMPARE(call.us.chat().TmrState_Timer(), 109);
        QCOMPARE(call.where(), Listening);
        QCOMPARE(
            call.log, story(log) << QStringLiteral("ended broken") << QStringLiteral("closed"));
        call.log.clear();
        RawPeer next;
        QVERIFY(call.partnerCalls(next));
        next.send(AliRecev);
        QVERIFY(call.reaches(InSession));
    }

    // Our user ends the session: the reset line, the closing banner, listening again, and
    // not a byte nor a sound.
    void weHangUp()
    {
        Call call;
        QVERIFY(call.openSession());
        call.us.chat().hangUp();
        QCOMPARE(call.log, story(QStringLiteral("reset ali {127.0.0.2}|closed|ended")));
        QCOMPARE(call.where(), Listening);
        QVERIFY(call.peer.hungUpOn());
        QCOMPARE(call.peer.received(), OurSend + "{YES}");
    }

    // However TCP joins or splits the partner's sends, each message shows once; one that
    // never ends shows as it stands after a wait.
    void messagesJoinedSplitAndUnended()
    {
        Call call;
        QVERIFY(call.openSession());
        const QString unended = QStringLiteral("\\F:Arial\\C: 255\\S: 10\\L:0\\{T:no end <i>");
        auto *partial = call.us.chat().findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
        call.peer.send(Hello + Bold.left(20));
        QVERIFY(TestProgram::busyWaitFor([&] { return partial->isActive(); }));
        call.peer.send(Bold.mid(20) + unended.toLatin1());
        QVERIFY(TestProgram::busyWaitFor([&] { return call.log.size() == 6; }));
        QCOMPARE(call.log,
            story(QStringLiteral("message.wav|ali 1: hello|message.wav|ali 1: second|message.wav|"
                                 "ali 1: ")
                + unended));
    }

    // Our own message goes out as it is and shows under our nickname; one that the partner
    // could not read whole is refused, with nothing sent.
    void sendMessage()
    {
        Call call;
        QVERIFY(call.openSession());
        const QByteArray header = "\\F:Arial\\C: 0\\S: 9\\L:0\\{T:";
        const QByteArray text(32767 - header.size() - 2, 'x');
        const QByteArray longest = header + text + "\\}";
        QVERIFY(call.us.chat().sendMessage(Hello));
        QVERIFY(call.us.chat().sendMessage(longest));
        QVERIFY(!call.us.chat().sendMessage(longest + ' '));
        QVERIFY(call.us.chat().sendMessage(Bold));
        QVERIFY(call.peer.receives(Bold));
        QCOMPARE(call.peer.received(), OurSend + "{YES}" + Hello + longest + Bold);
        QCOMPARE(call.log,
            story(QStringLiteral("sara 0: hello|sara 0: ") + QString::fromLatin1(text)
                + QStringLiteral(
                    "|This message is too long to send; please shorten it.|sara 0: second")));
        QCOMPARE(call.where(), InSession);
    }

    // Dialling with no nickname asks for the settings first; a dial nobody answers shows at
    // the next tick, with the error sound, and the socket listens again.
    void failedDial()
    {
        Call call(false);
        call.us.program->RemoteIP = Partner;
        call.us.chat().ConnectRemote();
        QCOMPARE(call.log, story(QStringLiteral("settings while Listening, Listening...")));
        QCOMPARE(call.where(), QStringLiteral("Failed, Problem Connecting..."));
        QCOMPARE(call.us.chat().TmrState_Timer(), 110);
        QCOMPARE(
            call.log, story(QStringLiteral("settings while Listening, Listening...|error.wav")));
        QCOMPARE(call.where(), Listening);
    }
};

QTEST_GUILESS_MAIN(tst_ChatSession)
#include "tst_ChatSession.moc"
