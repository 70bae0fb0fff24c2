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

// "a|b" is the list { "a", "b" }; "<nick> asks" stands for the question about the partner
// at 127.0.0.2.
QStringList story(QString items)
{
    items.replace(QStringLiteral(" asks"),
        QStringLiteral(
            " {127.0.0.2} wants to Chat you.\r\nDo you want to accept his/her request?"));
    return items.isEmpty() ? QStringList() : items.split(u'|');
}

// Our copy "sara" on 127.0.0.1 and a raw partner on 127.0.0.2. The log holds, in order, what
// the session tells the transcript, the sounds it plays and the texts of its boxes.
struct Call
{
    Call()
    {
        us.startAs(QStringLiteral("sara"));
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
        QObject::connect(chat, &ChatSession::connectionEnded,
            [this](bool broken) { log << QString::fromLatin1(broken ? "ended broken" : "ended"); });
        QObject::connect(
            chat, &ChatSession::callArriving, [this] { log << QStringLiteral("call"); });
        QObject::connect(
            chat, &ChatSession::sessionClosed, [this] { log << QStringLiteral("closed"); });
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

class tst_ChatSession : public QObject
{
    Q_OBJECT

private slots:
    // We call: we hear nothing until the partner answers in its turn. The partner calls: we
    // hear the request sound on the call and with the question; until our user accepts, the
    // caller can neither chat nor answer for the user. "" as answer: it leaves meanwhile, or
    // never says who it is. A partner that has not said who it is within the time allowed
    // (here 300 ms or a minute), or sends more than 4,096 bytes before it has, is hung up on
    // without a sound or a box; once it has, each user's answer may take twice that time.
    void handshake_data()
    {
        QTest::addColumn<bool>("weCall");
        QTest::addColumn<QByteArray>("identity");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("identityWaitMs");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("log");
        const QByteArray yes("{YES}"), no("{NOT}"), none, flood(4097, 'x');
        const QByteArray early = Hello + "{YES}{SEND}eve/Eve/e/{NOT}" + AliRecev;
        const QString call = QStringLiteral("call|request.wav");
        const QString asked = call + QStringLiteral("|request.wav|ali asks");
        QTest::newRow("we call, accepted, tags and chat out of turn ignored, chat joined")
            << true << "{YES}{NOT}" + Hello + "{RECEV}eve/Eve/e/" + AliSends
            << "{SEND}eve/Eve/e/{RECEV}eve/Eve/e/" + Hello + yes + Hello << 300 << InSession
            << AliOpened + QStringLiteral("|message.wav|ali 1: hello");
        QTest::newRow("we call, refused")
            << true << AliSends << no << 300 << Listening
            << QStringLiteral("ali {127.0.0.2} didn't accept your request.|error.wav");
        QTest::newRow("they call, accepted, 4,096 bytes with chat and answers before it dropped")
            << false << QByteArray(4096 - early.size(), 'x') + early << yes << 300 << InSession
            << asked + u'|' + AliOpened;
        QTest::newRow("they call, refused") << false << AliRecev << no << 300 << Listening << asked;
        QTest::newRow("they call, and leave before the answer")
            << false << AliRecev << none << 300 << Closing << asked;
        QTest::newRow("they call, say nothing")
            << false << none << none << 300 << Listening << call;
        QTest::newRow("we call, they say nothing")
            << true << none << none << 300 << Listening << "";
        QTest::newRow("they call, flood") << false << flood << none << 60000 << Listening << call;
        QTest::newRow("we call, they flood")
            << true << flood + AliSends << none << 60000 << Listening << "";
    }
    void handshake()
    {
        QFETCH(bool, weCall);
        QFETCH(QByteArray, identity);
        QFETCH(QByteArray, answer);
        QFETCH(int, identityWaitMs);
        QFETCH(QString, where);
        QFETCH(QString, log);
        Call call;
        call.us.chat().setIdentityTimeout(identityWaitMs);
        if (weCall) {
            call.us.program->RemoteIP = Partner;
            QVERIFY(call.peer.answerCalls(Partner, call.us.ports().chat));
            call.us.chat().ConnectRemote();
            call.peer.send(identity);
            if (!answer.isEmpty()) {
                QVERIFY(call.peer.receives(OurRecev));
                QCOMPARE(call.where(), QStringLiteral("AwaitingAnswer, Connecting..., connected"));
                QCOMPARE(call.log, QStringList());
                QTest::qWait(2 * identityWaitMs);
                call.peer.send(answer);
            }
        } else {
            call.us.desktop.answers
                = { answer == "{NOT}" ? Desktop::Answer::No : Desktop::Answer::Yes };
            call.whileAsked = [&] {
                if (!answer.isEmpty())
                    return QTest::qWait(2 * identityWaitMs);
                call.peer.hangUp();
                TestProgram::busyWaitFor([&] { return call.us.chat().WskMain().PeerHasClosed(); });
            };
            QVERIFY(call.partnerCalls(call.peer));
            QCOMPARE(call.where(), QStringLiteral("Answering, Connecting..., connected"));
            call.peer.send(identity);
        }
        call.reaches(where);
        QCOMPARE(call.where(), where);
        QCOMPARE(call.log, story(log));
        const QByteArray wire = weCall ? (answer.isEmpty() ? "" : OurRecev) : OurSend + answer;
        QVERIFY(call.peer.receives(wire));
        QCOMPARE(call.peer.received(), wire);
        if (where == Listening)
            QVERIFY(call.peer.hungUpOn());
    }

    // The partner's hang-up, or a connection that breaks: the reset line and the error sound
    // at once, after its last words; the next tick ends the connection, forgets a message left
    // unfinished and listens. Ours: the reset line, the closing banner, listening again, and
    // not a byte nor a sound.
    void hangUps_data()
    {
        QTest::addColumn<bool>("breaks");
        QTest::newRow("the partner hangs up") << false;
        QTest::newRow("the connection breaks") << true;
    }
    void hangUps()
    {
        QFETCH(bool, breaks);
        Call call;
        QVERIFY(call.openSession());
        call.peer.send(Hello + Bold + Bold.left(20));
        breaks ? call.peer.reset() : call.peer.hangUp();
        QVERIFY(call.reaches(Closing));
        QCOMPARE(call.log.last(), QStringLiteral("error.wav"));
        QCOMPARE(call.us.chat().TmrState_Timer(), 109);
        RawPeer next;
        QVERIFY(call.partnerCalls(next));
        next.send(AliRecev);
        QVERIFY(call.reaches(InSession));
        call.us.chat().hangUp();
        QCOMPARE(call.log,
            story(QStringLiteral("message.wav|ali 1: hello|message.wav|ali 1: second|reset ali "
                                 "{127.0.0.2}|error.wav|ended broken|closed|call|request.wav|"
                                 "request.wav|ali asks|")
                + AliOpened + QStringLiteral("|reset ali {127.0.0.2}|closed|ended")));
        QCOMPARE(call.where(), Listening);
        QVERIFY(next.hungUpOn());
        QCOMPARE(next.received(), OurSend + "{YES}");
    }

    // However TCP joins or splits the partner's sends, each message shows once; one that
    // never ends shows after a wait. Ours goes out as it is and shows under our nickname; one
    // too long for the partner to read whole is refused, unsent.
    void messages()
    {
        Call call;
        QVERIFY(call.openSession());
        const QString unended = QStringLiteral("\\F:Arial\\C: 255\\S: 10\\L:0\\{T:no end <i>");
        auto *partial = call.us.chat().findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
        call.peer.send(Hello + Bold.left(20));
        QVERIFY(TestProgram::busyWaitFor([&] { return partial->isActive(); }));
        call.peer.send(Bold.mid(20) + unended.toLatin1());
        QVERIFY(TestProgram::busyWaitFor([&] { return call.log.size() == 6; }));
        const QByteArray longest
            = "\\F:A\\C: 0\\S: 9\\L:0\\{T:" + QByteArray(32767 - 24, 'x') + "\\}";
        QVERIFY(call.us.chat().sendMessage(longest));
        QVERIFY(!call.us.chat().sendMessage(longest + ' '));
        QVERIFY(call.us.chat().sendMessage(Hello));
        QVERIFY(call.peer.receives(Hello));
        QCOMPARE(call.peer.received(), OurSend + "{YES}" + longest + Hello);
        QCOMPARE(call.log,
            story(QStringLiteral("message.wav|ali 1: hello|message.wav|ali 1: second|message.wav|"
                                 "ali 1: %1|sara 0: %2|This message is too long to send; please "
                                 "shorten it.|sara 0: hello")
                      .arg(unended, QString(32767 - 24, u'x'))));
        QCOMPARE(call.where(), InSession);
    }

    // Dialling with no nickname asks for the settings first; each step of the dial shows, and
    // one nobody answers shows at the next tick, with the error sound, and listens again.
    void failedDial()
    {
        Call call;
        call.us.program->LocalNickname = QStringLiteral("");
        call.us.program->RemoteIP = Partner;
        const auto trace = [&] {
            if (call.log.isEmpty() || call.log.last() != call.where())
                call.log << call.where();
        };
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, trace);
        watch.start(0);
        call.us.chat().ConnectRemote();
        trace();
        QCOMPARE(call.us.chat().TmrState_Timer(), 110);
        // A lookup answered from the cache may end before the first trace.
        call.log.removeOne(QStringLiteral("Dialling, Resolving Host..."));
        QCOMPARE(call.log,
            story(QStringLiteral(
                "settings while Listening, Listening...|Dialling, Host Resolved."
                "|Dialling, Connecting...|Failed, Problem Connecting...|error.wav")));
        QCOMPARE(call.where(), Listening);
    }
};

QTEST_GUILESS_MAIN(tst_ChatSession)
#include "tst_ChatSession.moc"
