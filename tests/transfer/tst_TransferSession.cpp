#include "chat/ChatSession.h"
#include "net/SocketEndpoint.h"
#include "support/RawPeer.h"
#include "support/TestFiles.h"
#include "support/TestProgram.h"
#include "transfer/TransferSession.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <array>

using State = TransferSession::State;

namespace {

const QString Partner = QStringLiteral("127.0.0.2");
const QByteArray Older("a.txt=older content");

// Printable, and each chunk of a file begins differently, so a failure shows which bytes.
QByteArray contentOf(qsizetype size)
{
    return QByteArray("abcdefghijklmnopqrstuvwxyz").repeated(size / 26 + 1).left(size);
}

QByteArray asked(const QByteArray &name)
{
    return "bob wants to send a file.\r\n" + name + "\r\nDo you want to accept his request?|";
}

void row(const char *name, const QByteArray &script, const QByteArray &events,
    const QByteArray &folder = Older)
{
    QTest::newRow(name) << script << events << folder;
}

} // namespace

// One copy without windows, sara on 127.0.0.1, in a chat session with bob, a raw partner on
// 127.0.0.2 that plays bob's side of the file connection byte by byte.
class tst_TransferSession : public QObject
{
    Q_OBJECT

private slots:
    // The script, split at "|", is what bob sends, each piece one arrival; what sara answers,
    // marked ">"; and, marked "!", what happens meanwhile (see below); "@name" is bob calling
    // and offering that file. The events are the texts shown and the progress ("position/size
    // percent") in order, then the sounds played. The download folder, "name=content" each,
    // held a.txt before; "*" marks a file whose permissions a new file has not.
    void transfers_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("events");
        QTest::addColumn<QByteArray>("folder");
        const QByteArray c = contentOf(2000);
        const QByteArray three("|>{SF}|{BOF} 3|>{NXT}|new|>{NXT}|");
        const QByteArray got3("3/3 100|0/0 0|");
        const QByteArray received("File has been Received Successfully.|request.wav");
        const QByteArray interrupted("0/0 0|File Transfer Interrupted!");
        const QByteArray cut = interrupted + "|request.wav";
        const QByteArray sent("0/0 0|File has been Sent Successfully.");
        const QByteArray question("Are you sure you want to Cancel?|");
        const QByteArray in2000 = "@in.bin|>{SF}|{BOF} 2000|>{NXT}|" + c.left(1024) + "|>{NXT}|";
        const QByteArray inAsked = asked("in.bin") + "1024/2000 51|";
        const QByteArray out2000
            = "!send 2000|{ACCEPT}|>{FILE}report.doc|{SF}|>{BOF} 2000|{NXT}|>" + c.left(1024) + '|';
        row("a chunk and a byte",
            "@report.doc|>{SF}|{BOF} 1025|>{NXT}|" + c.left(1024) + "|>{NXT}|" + c.mid(1024, 1)
                + "|>{NXT}|{EOF}",
            asked("report.doc") + "1024/1025 99|1025/1025 100|0/0 0|" + received,
            Older + "|report.doc=" + c.left(1025));
        row("clash renamed, size after blanks rounded",
            "!as b.txt|@a.txt|>{SF}|{BOF}   2.6|>{NXT}|new|>{NXT}|{EOF}",
            asked("a.txt") + got3 + received, Older + "|b.txt=new");
        row("executable overwritten by an empty file, end split",
            "!exec|!as a.txt|@a.txt|>{SF}|{BOF} 0|>{NXT}|{E|OF}",
            asked("a.txt") + "0/0 0|" + received, "a.txt=");
        row("a dangling link is a clash", "!link t.txt|@l.txt|>{NS}",
            asked("l.txt") + "0/0 0|request.wav", Older + "|l.txt=(missing)");
        row("a link is replaced, not written through",
            "!link a.txt|!as l.txt|@l.txt" + three + "{EOF}", asked("l.txt") + got3 + received,
            Older + "|l.txt=new");
        row("clash unsettled", "@a.txt|>{NS}", asked("a.txt") + "0/0 0|request.wav");
        row("cancel split after the content", "@c.txt" + three + "{CLO|SE}",
            asked("c.txt") + got3 + "File Transfer Interrupted!|request.wav");
        row("cancel before the size", "@ab:c|>{SF}|{CLOSE}", asked("ab:c") + cut);
        row("cancel before a short chunk", "@c.txt|>{SF}|{BOF} 3|>{NXT}|{CLOSE}",
            asked("c.txt") + cut);
        row("cancel as content, name kept as offered",
            "@ c.txt|>{SF}|{BOF} 7|>{NXT}|{CLOSE}|>{NXT}|{EOF}",
            asked(" c.txt") + "7/7 100|0/0 0|" + received, " c.txt={CLOSE}|" + Older);
        row("largest, partner vanishes", "@c.txt|>{SF}|{BOF} 2097152|>{NXT}|!vanish",
            asked("c.txt") + cut);
        row("a folder of that name", "!folder|@sub" + three + "{EOF}",
            asked("sub") + got3 + "The file sub could not be saved.\r\nIs a directory|request.wav",
            Older + "|sub=(missing)");
        row("leading colon stays inside", "@:x" + three + "{EOF}", asked(":x") + got3 + received,
            ":x=new|" + Older);
        for (const auto &[rest, shown] :
            { std::array<QByteArray, 2> { "2097153|>{CLOSE}",
                  "0/0 0|The file was refused: it is larger than 2,097,152 bytes." },
                { "-5|>{CLOSE}", "0/0 0|The file was refused: its size was not given." },
                { "3|>{NXT}|abcd{EOF}|>{NXT}{CLOSE}",
                    "0/0 100|0/0 0|The file was refused: more came than the 3 bytes announced." } })
            row(rest.constData(), "@c.txt|>{SF}|{BOF} " + rest,
                asked("c.txt") + shown + "|request.wav");
        for (const auto &[name, shown, why] :
            { std::array<QByteArray, 3> { "../x", "../x", "holds a folder" },
                { "..\\x", "..\\x", "holds a folder" }, { "C:x", "C:x", "holds a drive" },
                { "..", "..", "stands for a folder" }, { ".", ".", "stands for a folder" },
                { "", "", "is empty" }, { "a\x01z", "a?z", "holds control characters" },
                { "a\x7fz", "a?z", "holds control characters" },
                { "a\x81z", "a?z", "holds control characters" },
                { QByteArray(128, '\xe9'), QString(128, QChar(0xe9)).toUtf8(), "is too long" } })
            row((shown.left(5) + ' ' + why).constData(), "@" + name + "|>{NS}",
                "0/0 0|A file offered as \"" + shown + "\" was refused.\r\nThe name " + why
                    + ".|request.wav");
        row("send, a chunk and a byte, split tag, next with more",
            "!send 1025|{ACC|EPT}|>{FILE}report.doc|{SF}|>{BOF} 1025|{NXT}more|>" + c.left(1024)
                + "|{NXT}|>" + c.mid(1024, 1) + "|{NXT}|>{EOF}",
            "1024/1025 99|1025/1025 100|" + sent);
        row("send the largest, cancelled with a request",
            "!send 2097152|{ACCEPT}|>{FILE}report.doc|{SF}|>{BOF} 2097152|{NXT}{CLOSE}",
            interrupted);
        row("send refused after a false start",
            "!send 3|{ACCEPT} |{SF}|{ACCEPT}|>{FILE}report.doc|{NS}",
            "0/0 0|bob refuse to take file!");
        row("send cancelled by the partner, split",
            "!send 1025|{ACCEPT}|>{FILE}report.doc|{SF}|>{BOF} 1025|{NXT}|>" + c.left(1024)
                + "|{CLO|SE}",
            "1024/1025 99|" + interrupted);
        row("send, partner vanishes", out2000 + "!vanish", "1024/2000 51|" + interrupted);
        row("send a file gone", "!send -|{ACCEPT}|>{FILE}report.doc|{SF}|>{CLOSE}",
            "0/0 0|The file could not be read.\r\nNo such file or directory");
        row("send with nobody listening", "!dial", "0/0 0|Error Connecting Remote Computer!");
        row("receiver cancels", in2000 + "!cancel|>{CLOSE}|!hungup", inAsked + question + cut);
        row("sender thinks again",
            out2000 + "!no|!cancel|{NXT}|>" + c.mid(1024, 976) + "|{NXT}|>{EOF}",
            "1024/2000 51|" + question + "2000/2000 100|" + sent);
        row("partner leaves the chat", in2000 + "!gone|!hungup", inAsked + cut + "|error.wav");
        row("we leave the chat", in2000 + "!hangup|!hungup", inAsked + "0/0 0|request.wav");
        row("a stranger calls first, a 255-byte name refused",
            "!no|!call 127.0.0.3|!hungup|@" + QByteArray(127, '\xe9') + "x|>{NS}",
            asked(QString(127, QChar(0xe9)).toUtf8() + "x") + "0/0 0|request.wav");
        row("bob calls outside a session", "!gone|!call|!hungup", "0/0 0|error.wav");
    }

    // act: call [address]: bob (or whoever is at the address) calls sara's file port; hungup:
    // that call is hung up on; send size: sara sends report.doc ("-": gone by "{SF}"); dial:
    // with nobody listening; no: the next question is answered No; as name: a clash is settled
    // so; cancel: sara cancels; hangup: she leaves the chat; gone: bob leaves it, noticed at the
    // next status tick; vanish: he closes the file call; exec: a.txt becomes executable; link
    // target: l.txt becomes a link to target.
    void transfers()
    {
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, events);
        QFETCH(QByteArray, folder);
        QByteArrayList shown;
        QString settleAs;
        int arrivals = 0;
        const TestProgram::Ports ports = TestProgram::freePorts();
        TestProgram us(QStringLiteral("127.0.0.1"), ports);
        us.startAs(QStringLiteral("sara"));
        TransferSession &transfer = us.transfer();
        const QTemporaryDir dir;
        const QString in = us.program->DownloadPath = dir.filePath(QStringLiteral("in"));
        RawPeer chat, file;
        QVERIFY(chat.call(Partner, ports.chat) && chat.receives("/"));
        chat.send("{RECEV}bob/Bob Smith/bob@example.org/");
        QVERIFY(TestProgram::busyWaitFor([&] { return us.chat().sessionOpen(); }));
        us.desktop.sounds.clear();
        // Each question about an offer and each ending is announced before its box shows.
        QString announced;
        connect(&transfer, &TransferSession::fileOffered, this,
            [&](const QString &nickname, const QString &name) {
                announced = nickname + QStringLiteral(" wants to send a file.\r\n") + name;
            });
        connect(
            &transfer, &TransferSession::transferEnded, this, [&](const QString &text, bool ok) {
                announced = text;
                QCOMPARE(ok, text.endsWith(QStringLiteral("Successfully.")));
            });
        us.desktop.onShow = [&](const QString &text) {
            shown << text.toUtf8();
            if (!text.startsWith(QStringLiteral("Are you sure")))
                QVERIFY2(!announced.isEmpty() && text.startsWith(announced), qPrintable(text));
            announced.clear();
            if (text.startsWith(QStringLiteral("bob wants")))
                QVERIFY(transfer.state() == State::AskingUser && transfer.Transferring()
                    && !transfer.underWay());
        };
        connect(&transfer, &TransferSession::progressChanged, this, [&](int percent) {
            shown << QByteArray::number(transfer.TransferPos()) + '/'
                    + QByteArray::number(transfer.TransferSize()) + ' '
                    + QByteArray::number(percent);
        });
        connect(&transfer.WskFTP(), &SocketEndpoint::DataArrival, this, [&] { ++arrivals; });
        connect(&transfer, &TransferSession::nameClash, this,
            [&](const QString &, QString *name, bool *settled) {
                *settled = *settled || !settleAs.isNull();
                *name = settleAs.isNull() ? *name : settleAs;
            });
        QVERIFY(QDir().mkpath(in));
        const QString a = TestFiles::write(in + QStringLiteral("/a.txt"), "older content");
        const QFile::Permissions fresh = QFile::permissions(a);
        const auto act = [&](const QByteArray &action) {
            const QByteArray argument = action.mid(action.indexOf(' ') + 1);
            if (action.startsWith("call")) {
                QVERIFY(file.call(
                    action == "call" ? Partner : QString::fromLatin1(argument), ports.file));
            } else if (action == "hungup") {
                QVERIFY(file.hungUpOn());
            } else if (action.startsWith("send") || action == "dial") {
                const QString path = dir.filePath(QStringLiteral("report.doc"));
                if (argument != "-")
                    TestFiles::write(path, contentOf(argument.toInt()));
                QVERIFY(action == "dial" || file.answerCalls(Partner, ports.file));
                connect(
                    &transfer, &TransferSession::changed, this,
                    [&] {
                        QVERIFY(transfer.state() == State::Dialling && !transfer.Transferring()
                            && transfer.underWay());
                    },
                    Qt::SingleShotConnection);
                transfer.TransferFileName = path;
                transfer.FileRequest();
                QCOMPARE(transfer.state(), action == "dial" ? State::Idle : State::Offering);
            } else if (action == "exec") {
                QVERIFY(QFile::setPermissions(a, fresh | QFile::ExeOwner | QFile::ExeOther));
            } else if (action.startsWith("link")) {
                QVERIFY(QFile::link(QString::fromUtf8(argument), in + QStringLiteral("/l.txt")));
            } else if (action == "folder") {
                QVERIFY(QDir(in).mkdir(QStringLiteral("sub")));
            } else if (action == "no") {
                us.desktop.answers = { Desktop::Answer::No };
            } else if (action.startsWith("as")) {
                settleAs = QString::fromUtf8(argument);
            } else if (action == "cancel") {
                transfer.cancelTransfer();
            } else if (action == "hangup") {
                us.chat().hangUp();
            } else if (action == "gone") {
                const State before = transfer.state();
                chat.hangUp();
                QVERIFY(TestProgram::busyWaitFor(
                    [&] { return us.chat().state() == ChatSession::State::Closing; }));
                QCOMPARE(transfer.state(), before);
                us.chat().TmrState_Timer();
            } else {
                QCOMPARE(action, "vanish");
                file.hangUp();
            }
        };
        QByteArray ours;
        for (const QByteArray &step : script.replace('@', "!call|>{ACCEPT}|{FILE}").split('|')) {
            const int before = arrivals;
            if (step.startsWith('!'))
                act(step.mid(1));
            else if (step.startsWith('>'))
                QVERIFY2(file.receives(step.mid(1)), step.left(40).constData());
            else
                file.send(step);
            ours += step.startsWith('>') ? step.mid(1) : QByteArray();
            QVERIFY(step.startsWith('!') || step.startsWith('>')
                || TestProgram::busyWaitFor([&] { return arrivals > before; }));
            QVERIFY(step != ">{ACCEPT}" || !transfer.underWay());
        }
        QVERIFY(TestProgram::busyWaitFor([&] {
            return transfer.state() == State::Idle && !transfer.Transferring()
                && !transfer.underWay()
                && transfer.WskFTP().State() == SocketEndpoint::SocketState::Listening
                && transfer.WskFTP().LocalPort() == ports.file;
        }));
        for (const QString &sound : us.desktop.sounds)
            shown << QFileInfo(sound).fileName().toUtf8();
        QCOMPARE(file.received(), ours);
        QCOMPARE(shown.join('|'), events);
        QByteArrayList files;
        for (const QFileInfo &entry : QDir(in).entryInfoList(
                 QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
            const bool marked = entry.isFile() && entry.permissions() != fresh;
            files << entry.fileName().toUtf8() + (marked ? "*=" : "=")
                    + TestFiles::read(entry.filePath());
        }
        QCOMPARE(files.join('|'), folder);
    }
};

QTEST_GUILESS_MAIN(tst_TransferSession)
#include "tst_TransferSession.moc"
