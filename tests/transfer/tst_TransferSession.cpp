#include "chat/ChatSession.h"
#include "net/SocketEndpoint.h"
#include "support/RawPeer.h"
#include "support/TestFiles.h"
#include "support/TestProgram.h"
#include "transfer/TransferSession.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <memory>

using State = TransferSession::State;

namespace {

const QString Partner = QStringLiteral("127.0.0.2");
const QByteArray Call("!call|>{ACCEPT}|");
const QByteArray Ask("bob wants to send a file.\r\n");
const QByteArray Accepting("\r\nDo you want to accept his request?|");
const QByteArray Older("a.txt=older content");

// Printable, and each chunk of a file begins differently, so a failure shows which bytes.
QByteArray contentOf(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char('a' + i % 26);
    return data;
}

} // namespace

// One copy without windows, sara on 127.0.0.1, in a chat session with bob, a raw partner on
// 127.0.0.2 that plays bob's side of the file connection byte by byte.
class tst_TransferSession : public QObject
{
    Q_OBJECT

private slots:
    // The script, split at "|", is what bob sends, each piece one arrival; what sara answers,
    // marked ">"; and, marked "!", what happens meanwhile (see act). The events are the texts
    // shown and the progress ("position/size percent") in order, then the sounds played.
    // The download folder, "name=content" each, held a.txt before.
    void transfers_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("events");
        QTest::addColumn<QByteArray>("folder");
        const QByteArray c = contentOf(2000);
        const QByteArray three("|>{SF}|{BOF} 3|>{NXT}|new|>{NXT}|");
        const QByteArray got3 = Accepting + "3/3 100|0/0 0|";
        const QByteArray received("File has been Received Successfully.|request.wav");
        const QByteArray interrupted("0/0 0|File Transfer Interrupted!");
        const QByteArray sent("0/0 0|File has been Sent Successfully.");
        const QByteArray question("Are you sure you want to Cancel?|");
        const QByteArray receiving2000
            = Call + "{FILE}in.bin|>{SF}|{BOF} 2000|>{NXT}|" + c.left(1024) + "|>{NXT}|";
        const QByteArray sending2000 = "!send 2000|{ACCEPT}|>{FILE}report.doc|{SF}|>{BOF} 2000|"
                                       "{NXT}|>"
            + c.left(1024) + '|';
        const QByteArray askedIn = Ask + "in.bin" + Accepting + "1024/2000 51|";
        QTest::newRow("a chunk and a byte")
            << Call + "{FILE}report.doc|>{SF}|{BOF} 1025|>{NXT}|" + c.left(1024) + "|>{NXT}|"
                + c.mid(1024, 1) + "|>{NXT}|{EOF}"
            << Ask + "report.doc" + Accepting + "1024/1025 99|1025/1025 100|0/0 0|" + received
            << Older + "|report.doc=" + c.left(1025);
        QTest::newRow("user says no to a 255-byte name")
            << "!no|" + Call + "{FILE}" + QByteArray(127, '\xe9') + "x|>{NS}"
            << Ask + QString(127, QChar(0xe9)).toUtf8() + "x" + Accepting + "0/0 0|request.wav"
            << Older;
        QTest::newRow("clash renamed, size after blanks rounded")
            << "!as b.txt|" + Call + "{FILE}a.txt|>{SF}|{BOF}   2.6|>{NXT}|new|>{NXT}|{EOF}"
            << Ask + "a.txt" + got3 + received << Older + "|b.txt=new";
        QTest::newRow("clash overwritten by an empty file, end split")
            << "!as a.txt|" + Call + "{FILE}a.txt|>{SF}|{BOF} 0|>{NXT}|{E|OF}"
            << Ask + "a.txt" + Accepting + "0/0 0|" + received << QByteArray("a.txt=");
        QTest::newRow("clash unsettled")
            << Call + "{FILE}a.txt|>{NS}" << Ask + "a.txt" + Accepting + "0/0 0|request.wav"
            << Older;
        QTest::newRow("cancel split after the content")
            << Call + "{FILE}c.txt" + three + "{CLO|SE}"
            << Ask + "c.txt" + got3 + "File Transfer Interrupted!|request.wav" << Older;
        QTest::newRow("cancel before the size")
            << Call + "{FILE}c.txt|>{SF}|{CLOSE}"
            << Ask + "c.txt" + Accepting + interrupted + "|request.wav" << Older;
        QTest::newRow("cancel before a short chunk")
            << Call + "{FILE}c.txt|>{SF}|{BOF} 3|>{NXT}|{CLOSE}"
            << Ask + "c.txt" + Accepting + interrupted + "|request.wav" << Older;
        QTest::newRow("cancel as content")
            << Call + "{FILE}c.txt|>{SF}|{BOF} 7|>{NXT}|{CLOSE}|>{NXT}|{EOF}"
            << Ask + "c.txt" + Accepting + "7/7 100|0/0 0|" + received << Older + "|c.txt={CLOSE}";
        QTest::newRow("largest, partner vanishes")
            << Call + "{FILE}c.txt|>{SF}|{BOF} 2097152|>{NXT}|!vanish"
            << Ask + "c.txt" + Accepting + interrupted + "|request.wav" << Older;
        QTest::newRow("a folder of that name") << "!folder|" + Call + "{FILE}sub" + three + "{EOF}"
                                               << Ask + "sub" + got3
                + "The file sub could not be saved.\r\nFilename refers to a directory|request.wav"
                                               << Older + "|sub=(missing)";
        QTest::newRow("leading colon stays inside")
            << Call + "{FILE}:x" + three + "{EOF}" << Ask + ":x" + got3 + received
            << ":x=new|" + Older;
        for (const auto &[rest, shown] :
            { std::array<QByteArray, 2> { "2097153|>{CLOSE}",
                  "0/0 0|The file was refused: it is larger than 2,097,152 bytes." },
                { "-5|>{CLOSE}", "0/0 0|The file was refused: its size was not given." },
                { "3|>{NXT}|abcdef|>{NXT}{CLOSE}",
                    "0/0 100|0/0 0|The file was refused: more came than the 3 bytes announced." } })
            QTest::newRow(rest.constData())
                << Call + "{FILE}c.txt|>{SF}|{BOF} " + rest
                << Ask + "c.txt" + Accepting + shown + "|request.wav" << Older;
        for (const auto &[name, shown, why] :
            { std::array<QByteArray, 3> { "../x", "../x", "holds a folder" },
                { "..\\x", "..\\x", "holds a folder" }, { "C:x", "C:x", "holds a drive" },
                { "..", "..", "stands for a folder" }, { ".", ".", "stands for a folder" },
                { "", "", "is empty" }, { "a\x01z", "a?z", "holds control characters" },
                { "a\x7fz", "a?z", "holds control characters" },
                { "a\x81z", "a?z", "holds control characters" },
                { QByteArray(128, '\xe9'), QString(128, QChar(0xe9)).toUtf8(), "is too long" } })
            QTest::newRow((shown.left(5) + ' ' + why).constData())
                << Call + "{FILE}" + name + "|>{NS}"
                << "0/0 0|A file offered as \"" + shown + "\" was refused.\r\nThe name " + why
                    + ".|request.wav"
                << Older;
        QTest::newRow("send, a chunk and a byte, split tag, next with more")
            << "!send 1025|{ACC|EPT}|>{FILE}report.doc|{SF}|>{BOF} 1025|{NXT}more|>" + c.left(1024)
                + "|{NXT}|>" + c.mid(1024, 1) + "|{NXT}|>{EOF}"
            << "1024/1025 99|1025/1025 100|" + sent << Older;
        QTest::newRow("send the largest, cancelled with a request") << QByteArray(
            "!send 2097152|{ACCEPT}|>{FILE}report.doc|{SF}|>{BOF} 2097152|"
            "{NXT}{CLOSE}") << interrupted << Older;
        QTest::newRow("send empty")
            << QByteArray("!send 0|{ACCEPT}|>{FILE}report.doc|{SF}|>{BOF} 0|{NXT}|>{EOF}") << sent
            << Older;
        QTest::newRow("send refused after a false start")
            << QByteArray("!send 3|{ACCEPT} |{SF}|{ACCEPT}|>{FILE}report.doc|{NS}")
            << QByteArray("0/0 0|bob refuse to take file!") << Older;
        QTest::newRow("send cancelled by the partner, split")
            << "!send 1025|{ACCEPT}|>{FILE}report.doc|{SF}|>{BOF} 1025|{NXT}|>" + c.left(1024)
                + "|{CLO|SE}"
            << "1024/1025 99|" + interrupted << Older;
        QTest::newRow("send a file gone")
            << QByteArray("!send -|{ACCEPT}|>{FILE}report.doc|{SF}|>{CLOSE}")
            << QByteArray("0/0 0|The file could not be read.\r\nNo such file or directory")
            << Older;
        QTest::newRow("send with nobody listening")
            << QByteArray("!dial") << QByteArray("0/0 0|Error Connecting Remote Computer!")
            << Older;
        QTest::newRow("receiver cancels")
            << receiving2000 + "!cancel|>{CLOSE}|!hungup"
            << askedIn + question + interrupted + "|request.wav" << Older;
        QTest::newRow("sender cancels") << sending2000 + "!cancel|>{CLOSE}|!hungup"
                                        << "1024/2000 51|" + question + interrupted << Older;
        QTest::newRow("sender thinks again")
            << sending2000 + "!no|!cancel|{NXT}|>" + c.mid(1024, 976) + "|{NXT}|>{EOF}"
            << "1024/2000 51|" + question + "2000/2000 100|" + sent << Older;
        QTest::newRow("partner leaves the chat")
            << receiving2000 + "!gone|!hungup" << askedIn + interrupted + "|request.wav|error.wav"
            << Older;
        QTest::newRow("we leave the chat")
            << receiving2000 + "!hangup|!hungup" << askedIn + "0/0 0|request.wav" << Older;
        QTest::newRow("a stranger calls")
            << "!no|!call 127.0.0.3|!hungup|" + Call + "{FILE}s.txt|>{NS}"
            << Ask + "s.txt" + Accepting + "0/0 0|request.wav" << Older;
        QTest::newRow("bob calls outside a session")
            << QByteArray("!gone|!call|!hungup") << QByteArray("0/0 0|error.wav") << Older;
    }

    void transfers()
    {
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, events);
        QFETCH(QByteArray, folder);
        m_ports = TestProgram::freePorts();
        m_us = std::make_unique<TestProgram>(QStringLiteral("127.0.0.1"), m_ports);
        m_us->startAs(QStringLiteral("sara"));
        m_dir = std::make_unique<QTemporaryDir>();
        const QString in = m_us->program->DownloadPath = m_dir->filePath(QStringLiteral("in"));
        m_chat = std::make_unique<RawPeer>();
        m_file = std::make_unique<RawPeer>();
        QVERIFY(m_chat->call(Partner, m_ports.chat) && m_chat->receives("/"));
        m_chat->send("{RECEV}bob/Bob Smith/bob@example.org/");
        QVERIFY(TestProgram::busyWaitFor([this] { return m_us->chat().sessionOpen(); }));
        m_us->desktop.sounds.clear();
        m_events.clear();
        m_settleAs = QString();
        m_us->desktop.onShow = [this](const QString &text) {
            m_events << text.toUtf8();
            if (text.startsWith(QStringLiteral("bob wants")))
                QVERIFY(transfer().state() == State::AskingUser && transfer().Transferring()
                    && !transfer().underWay());
        };
        connect(&transfer(), &TransferSession::progressChanged, this, [this](int percent) {
            m_events << QByteArray::number(transfer().TransferPos()) + '/'
                    + QByteArray::number(transfer().TransferSize()) + ' '
                    + QByteArray::number(percent);
        });
        connect(&transfer().WskFTP(), &SocketEndpoint::DataArrival, this, [this] { ++m_arrivals; });
        connect(&transfer(), &TransferSession::nameClash, this,
            [this](const QString &, QString *name, bool *settled) {
                *settled = !m_settleAs.isNull();
                *name = *settled ? m_settleAs : *name;
            });
        QVERIFY(QDir().mkpath(in));
        TestFiles::write(in + QStringLiteral("/a.txt"), "older content");
        QByteArray ours;
        for (const QByteArray &step : script.split('|')) {
            const int before = m_arrivals;
            if (step.startsWith('!'))
                act(step.mid(1));
            else if (step.startsWith('>'))
                QVERIFY2(m_file->receives(step.mid(1)), step.left(40).constData());
            else
                m_file->send(step);
            ours += step.startsWith('>') ? step.mid(1) : QByteArray();
            QVERIFY(step.startsWith('!') || step.startsWith('>')
                || TestProgram::busyWaitFor([&] { return m_arrivals > before; }));
        }
        QVERIFY(TestProgram::busyWaitFor([this] {
            return transfer().state() == State::Idle && !transfer().Transferring()
                && !transfer().underWay()
                && transfer().WskFTP().State() == SocketEndpoint::SocketState::Listening
                && transfer().WskFTP().LocalPort() == m_ports.file;
        }));
        for (const QString &sound : m_us->soundsPlayed())
            m_events << sound.toUtf8();
        QCOMPARE(m_file->received(), ours);
        QCOMPARE(m_events.join('|'), events);
        QByteArrayList files;
        for (const QString &name :
            QDir(in).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            files << name.toUtf8() + '=' + TestFiles::read(in + u'/' + name);
        QCOMPARE(files.join('|'), folder);
    }

private:
    TransferSession &transfer() const { return m_us->transfer(); }

    // call [address]: bob (or whoever is at the address) calls sara's file port; hungup: that
    // call is hung up on; send size: sara sends report.doc ("-": gone when bob says "{SF}");
    // dial: she does with nobody listening; no: the next question is answered No; as name: a
    // name clash is settled with that name; cancel: sara cancels; hangup: she leaves the chat;
    // gone: bob leaves it, noticed at the next status tick; vanish: he closes the file call.
    void act(const QByteArray &action)
    {
        const QByteArray argument = action.mid(action.indexOf(' ') + 1);
        if (action.startsWith("call")) {
            QVERIFY(m_file->call(
                action == "call" ? Partner : QString::fromLatin1(argument), m_ports.file));
        } else if (action == "hungup") {
            QVERIFY(m_file->hungUpOn());
        } else if (action.startsWith("send") || action == "dial") {
            const QString path = m_dir->filePath(QStringLiteral("report.doc"));
            if (argument != "-")
                TestFiles::write(path, contentOf(argument.toInt()));
            QVERIFY(action == "dial" || m_file->answerCalls(Partner, m_ports.file));
            const auto dialling = [this] {
                QVERIFY(transfer().state() == State::Dialling && !transfer().Transferring()
                    && transfer().underWay());
            };
            connect(
                &transfer(), &TransferSession::changed, this, dialling, Qt::SingleShotConnection);
            transfer().TransferFileName = path;
            transfer().FileRequest();
            QCOMPARE(transfer().state(), action == "dial" ? State::Idle : State::Offering);
            QCOMPARE(transfer().TransferFileName, path);
        } else if (action == "folder") {
            QVERIFY(QDir(m_us->program->DownloadPath).mkdir(QStringLiteral("sub")));
        } else if (action == "no") {
            m_us->desktop.answers = { Desktop::Answer::No };
        } else if (action.startsWith("as")) {
            m_settleAs = QString::fromUtf8(argument);
        } else if (action == "cancel") {
            transfer().cancelTransfer();
        } else if (action == "hangup") {
            m_us->chat().hangUp();
        } else if (action == "gone") {
            const State before = transfer().state();
            m_chat->hangUp();
            QVERIFY(TestProgram::busyWaitFor(
                [this] { return m_us->chat().state() == ChatSession::State::Closing; }));
            QCOMPARE(transfer().state(), before);
            m_us->chat().TmrState_Timer();
        } else {
            QCOMPARE(action, "vanish");
            m_file->hangUp();
        }
    }

    TestProgram::Ports m_ports {};
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestProgram> m_us;
    std::unique_ptr<RawPeer> m_chat;
    std::unique_ptr<RawPeer> m_file;
    QByteArrayList m_events;
    QString m_settleAs;
    int m_arrivals = 0;
};

QTEST_GUILESS_MAIN(tst_TransferSession)
#include "tst_TransferSession.moc"
