#include "chat/ChatSession.h"
#include "net/SocketEndpoint.h"
#include "support/RawPeer.h"
#include "support/TestFiles.h"
#include "support/TestProgram.h"
#include "transfer/TransferSession.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using State = TransferSession::State;

namespace {

const QString Partner = QStringLiteral("127.0.0.2");
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
// 127.0.0.2 that plays bob's side of the file connection. A script lists, split by "|", what
// bob sends, each piece as one arrival, and, marked ">", what sara answers. The events are the
// texts shown and the progress ("position/size percent"), in order.
class tst_TransferSession : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_ports = TestProgram::freePorts();
        m_us = std::make_unique<TestProgram>(QStringLiteral("127.0.0.1"), m_ports);
        m_us->startAs(QStringLiteral("sara"));
        m_downloads = std::make_unique<QTemporaryDir>();
        m_us->program->DownloadPath = m_downloads->filePath(QStringLiteral("in"));
        m_chat = std::make_unique<RawPeer>();
        m_file = std::make_unique<RawPeer>();
        QVERIFY(m_chat->call(Partner, m_ports.chat));
        QVERIFY(m_chat->receives("/"));
        m_chat->send("{RECEV}bob/Bob Smith/bob@example.org/");
        QVERIFY(TestProgram::busyWaitFor([this] { return m_us->chat().sessionOpen(); }));
        m_us->desktop.sounds.clear();
        m_events.clear();
        m_us->desktop.onShow = [this](const QString &text) { m_events << text.toUtf8(); };
        connect(&transfer(), &TransferSession::progressChanged, this, [this](int percent) {
            m_events << QByteArray::number(transfer().TransferPos()) + '/'
                    + QByteArray::number(transfer().TransferSize()) + ' '
                    + QByteArray::number(percent);
        });
        connect(&transfer().WskFTP(), &SocketEndpoint::DataArrival, this, [this] { ++m_arrivals; });
    }

    void cleanup()
    {
        m_file.reset();
        m_chat.reset();
        m_us.reset();
    }

    // The download folder holds a.txt. The user says no, or accepts and settles a name clash
    // under the name given (leaves it unsettled when none is). Folder: "name=content" each.
    void receiving_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QByteArray>("events");
        QTest::addColumn<QByteArray>("folder");
        const QByteArray c = contentOf(1025);
        const QByteArray three("|>{SF}|{BOF} 3|>{NXT}|new|>{NXT}|");
        const QByteArray got3 = Accepting + "3/3 100|0/0 0|";
        const QByteArray received("File has been Received Successfully.");
        const QByteArray refusal("0/0 0|A file offered as \"");
        QTest::newRow("a chunk and a byte")
            << "{FILE}report.doc|>{SF}|{BOF} 1025|>{NXT}|" + c.left(1024) + "|>{NXT}|" + c.mid(1024)
                + "|>{NXT}|{EOF}"
            << QString()
            << Ask + "report.doc" + Accepting + "1024/1025 99|1025/1025 100|0/0 0|" + received
            << Older + "|report.doc=" + c;
        QTest::newRow("user says no") << QByteArray("{FILE}no.txt|>{NS}") << QStringLiteral("no")
                                      << Ask + "no.txt" + Accepting + "0/0 0" << Older;
        QTest::newRow("clash renamed") << "{FILE}a.txt" + three + "{EOF}" << QStringLiteral("b.txt")
                                       << Ask + "a.txt" + got3 + received << Older + "|b.txt=new";
        QTest::newRow("clash overwritten by an empty file, end split")
            << QByteArray("{FILE}a.txt|>{SF}|{BOF} 0|>{NXT}|{E|OF}") << QStringLiteral("a.txt")
            << Ask + "a.txt" + Accepting + "0/0 0|" + received << QByteArray("a.txt=");
        QTest::newRow("clash unsettled") << QByteArray("{FILE}a.txt|>{NS}") << QString()
                                         << Ask + "a.txt" + Accepting + "0/0 0" << Older;
        QTest::newRow("partner cancels at the end, split")
            << "{FILE}c.txt" + three + "{CLO|SE}" << QString()
            << Ask + "c.txt" + got3 + "File Transfer Interrupted!" << Older;
        QTest::newRow("over 2 MB")
            << QByteArray("{FILE}c.txt|>{SF}|{BOF} 2097153|>{CLOSE}") << QString()
            << Ask + "c.txt" + Accepting
                + "0/0 0|The file was refused: it is larger than 2,097,152 bytes."
            << Older;
        QTest::newRow("more than announced")
            << QByteArray("{FILE}c.txt|>{SF}|{BOF} 3|>{NXT}|abcdef|>{NXT}{CLOSE}") << QString()
            << Ask + "c.txt" + Accepting
                + "0/0 100|0/0 0|The file was refused: more came than the 3 bytes announced."
            << Older;
        QTest::newRow("leading colon stays inside")
            << "{FILE}:x" + three + "{EOF}" << QString() << Ask + ":x" + got3 + received
            << ":x=new|" + Older;
        QTest::newRow("folder") << QByteArray("{FILE}../x|>{NS}") << QString()
                                << refusal + "../x\" was refused.\r\nThe name holds a folder."
                                << Older;
        for (const char *control : { "\x01", "\x7f", "\x81" })
            QTest::newRow(control)
                << QByteArray("{FILE}a") + control + "z|>{NS}" << QString()
                << refusal + "a?z\" was refused.\r\nThe name holds control characters." << Older;
    }

    void receiving()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, user);
        QFETCH(QByteArray, events);
        QFETCH(QByteArray, folder);
        const QString in = m_us->program->DownloadPath;
        QVERIFY(QDir().mkpath(in));
        TestFiles::write(in + QStringLiteral("/a.txt"), "older content");
        m_us->desktop.answers = { user == u"no" ? Desktop::Answer::No : Desktop::Answer::Yes };
        connect(&transfer(), &TransferSession::nameClash, this,
            [&](const QString &, QString *name, bool *settled) {
                *settled = !user.isEmpty();
                *name = *settled ? user : *name;
            });
        bool askedWhileAsking = false;
        m_us->desktop.onShow = [&](const QString &text) {
            m_events << text.toUtf8();
            askedWhileAsking = askedWhileAsking
                || (text.startsWith(QStringLiteral("bob wants"))
                    && transfer().state() == State::AskingUser && transfer().Transferring()
                    && !transfer().underWay());
        };
        QVERIFY(m_file->call(Partner, m_ports.file));
        QVERIFY(m_file->receives("{ACCEPT}"));
        QCOMPARE(m_us->soundsPlayed(), QStringList { QStringLiteral("request.wav") });
        QVERIFY(transfer().Transferring() && !transfer().underWay());
        play(script);
        QCOMPARE(m_file->received(), "{ACCEPT}" + ours(script));
        QCOMPARE(m_events.join('|'), events);
        QCOMPARE(askedWhileAsking, events.startsWith(Ask));
        QCOMPARE(listing(in), folder);
    }

    // Sara sends report.doc; with no script nothing listens on bob's file port.
    void sending_data()
    {
        QTest::addColumn<qsizetype>("size"); // -1: the file is gone when bob says "{SF}"
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("events");
        const QByteArray c = contentOf(1025);
        const QByteArray start("{ACCEPT}|>{FILE}report.doc|{SF}|>{BOF} ");
        QTest::newRow("empty") << qsizetype(0) << start + "0|{NXT}|>{EOF}"
                               << QByteArray("0/0 0|File has been Sent Successfully.");
        QTest::newRow("a chunk and a byte")
            << qsizetype(1025)
            << start + "1025|{NXT}|>" + c.left(1024) + "|{NXT}|>" + c.mid(1024) + "|{NXT}|>{EOF}"
            << QByteArray("1024/1025 99|1025/1025 100|0/0 0|File has been Sent Successfully.");
        QTest::newRow("refused") << qsizetype(3) << QByteArray("{ACCEPT}|>{FILE}report.doc|{NS}")
                                 << QByteArray("0/0 0|bob refuse to take file!");
        QTest::newRow("partner cancels, split")
            << qsizetype(1025) << start + "1025|{NXT}|>" + c.left(1024) + "|{CLO|SE}"
            << QByteArray("1024/1025 99|0/0 0|File Transfer Interrupted!");
        QTest::newRow("file gone")
            << qsizetype(-1) << QByteArray("{ACCEPT}|>{FILE}report.doc|{SF}|>{CLOSE}")
            << QByteArray("0/0 0|The file could not be read.\r\nNo such file or directory");
        QTest::newRow("nobody listens") << qsizetype(3) << QByteArray()
                                        << QByteArray("0/0 0|Error Connecting Remote Computer!");
    }

    void sending()
    {
        QFETCH(qsizetype, size);
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, events);
        const QString path = m_downloads->filePath(QStringLiteral("report.doc"));
        if (size >= 0)
            TestFiles::write(path, contentOf(size));
        if (!script.isEmpty())
            QVERIFY(m_file->answerCalls(Partner, m_ports.file));
        QList<bool> dialling;
        connect(&transfer(), &TransferSession::changed, this, [&] {
            dialling << (transfer().state() == State::Dialling && !transfer().Transferring()
                && transfer().underWay());
        });
        transfer().TransferFileName = path;
        transfer().FileRequest();
        QVERIFY(dialling.first());
        QCOMPARE(transfer().state(), script.isEmpty() ? State::Idle : State::Offering);
        play(script);
        QCOMPARE(m_file->received(), ours(script));
        QCOMPARE(m_events.join('|'), events);
        QCOMPARE(m_us->soundsPlayed(), QStringList());
        QCOMPARE(transfer().TransferFileName, path);
    }

    // A transfer of 2000 bytes is past its first chunk when a user cancels (only Yes does) or
    // the chat ends: a partner gone is told at the chat's next status tick, our own hang-up
    // says nothing. Either way the partner hears "{CLOSE}" only when a user cancelled.
    void stopping_data()
    {
        QTest::addColumn<bool>("weSend");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("events");
        const QByteArray cancelled("Are you sure you want to Cancel?|0/0 0|"
                                   "File Transfer Interrupted!");
        QTest::newRow("receiver cancels") << false << QStringLiteral("cancel") << cancelled;
        QTest::newRow("sender cancels") << true << QStringLiteral("cancel") << cancelled;
        QTest::newRow("sender thinks again")
            << true << QStringLiteral("keep") << QByteArray("Are you sure you want to Cancel?");
        QTest::newRow("partner hangs up")
            << false << QStringLiteral("partner") << QByteArray("0/0 0|File Transfer Interrupted!");
        QTest::newRow("we hang up") << false << QStringLiteral("we") << QByteArray("0/0 0");
    }

    void stopping()
    {
        QFETCH(bool, weSend);
        QFETCH(QString, how);
        QFETCH(QByteArray, events);
        midway(weSend);
        const QByteArray before = m_file->received();
        m_us->desktop.answers = { how == u"keep" ? Desktop::Answer::No : Desktop::Answer::Yes };
        if (how == u"partner")
            partnerHangsUp(State::Receiving);
        else if (how == u"we")
            m_us->chat().hangUp();
        else
            transfer().cancelTransfer();
        QVERIFY(how != u"cancel" || m_file->receives("{CLOSE}"));
        QVERIFY(how == u"keep" || m_file->hungUpOn());
        QCOMPARE(m_file->received(), before + (how == u"cancel" ? "{CLOSE}" : ""));
        QCOMPARE(m_events.join('|'), events);
        QCOMPARE(idle(), how != u"keep");
        QVERIFY(how != u"keep" || transfer().state() == State::Sending);
    }

    // Anyone but the partner in a session is hung up on without a word or a sound; the file
    // socket goes on listening.
    void onlyThePartnerMayConnect_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("inSession");
        QTest::newRow("another address") << QStringLiteral("127.0.0.3") << true;
        QTest::newRow("no session") << Partner << false;
    }

    void onlyThePartnerMayConnect()
    {
        QFETCH(QString, from);
        QFETCH(bool, inSession);
        if (!inSession)
            partnerHangsUp(State::Idle);
        QVERIFY(m_file->call(from, m_ports.file));
        QVERIFY(m_file->hungUpOn());
        QCOMPARE(m_file->received(), QByteArray());
        QCOMPARE(m_us->soundsPlayed(),
            inSession ? QStringList() : QStringList { QStringLiteral("error.wav") });
        QVERIFY(TestProgram::busyWaitFor([this] { return idle(); }));
        QCOMPARE(m_events.join('|'), inSession ? QByteArray() : QByteArray("0/0 0"));
        if (!inSession)
            return;
        RawPeer partner;
        QVERIFY(partner.call(Partner, m_ports.file));
        QVERIFY(partner.receives("{ACCEPT}"));
    }

private:
    TransferSession &transfer() const { return m_us->transfer(); }

    // The transfer is idle and the file socket listens on the file port again.
    bool idle() const
    {
        return transfer().state() == State::Idle && !transfer().Transferring()
            && !transfer().underWay() && transfer().WskFTP().State() == Listening
            && transfer().WskFTP().LocalPort() == m_ports.file;
    }

    // The transfer stands as it was until the chat's status tick after bob has gone.
    void partnerHangsUp(State transferState)
    {
        m_chat->hangUp();
        QVERIFY(TestProgram::busyWaitFor(
            [this] { return m_us->chat().state() == ChatSession::State::Closing; }));
        QCOMPARE(transfer().state(), transferState);
        m_us->chat().TmrState_Timer();
    }

    // Plays bob's part of the script and checks sara's; then waits for the transfer's end.
    void play(const QByteArray &script, bool toTheEnd = true)
    {
        for (const QByteArray &step : script.split('|')) {
            const int before = m_arrivals;
            if (step.startsWith('>'))
                QVERIFY2(m_file->receives(step.mid(1)), step.constData());
            else if (!step.isEmpty())
                m_file->send(step);
            QVERIFY(step.isEmpty() || step.startsWith('>')
                || TestProgram::busyWaitFor([&] { return m_arrivals > before; }));
        }
        QVERIFY(!toTheEnd || TestProgram::busyWaitFor([this] { return idle(); }));
    }

    static QByteArray ours(const QByteArray &script)
    {
        QByteArray bytes;
        for (const QByteArray &step : script.split('|'))
            bytes += step.startsWith('>') ? step.mid(1) : QByteArray();
        return bytes;
    }

    // Up to the first chunk; the events start after it.
    void midway(bool weSend)
    {
        const QByteArray chunk = "|" + contentOf(1024) + "|";
        if (weSend) {
            QVERIFY(m_file->answerCalls(Partner, m_ports.file));
            transfer().TransferFileName = TestFiles::write(
                m_downloads->filePath(QStringLiteral("out.bin")), contentOf(2000));
            transfer().FileRequest();
            play("{ACCEPT}|>{FILE}out.bin|{SF}|>{BOF} 2000|{NXT}|>" + chunk.mid(1), false);
        } else {
            QVERIFY(m_file->call(Partner, m_ports.file));
            play(">{ACCEPT}|{FILE}in.bin|>{SF}|{BOF} 2000|>{NXT}" + chunk + ">{NXT}", false);
        }
        m_events.clear();
    }

    static QByteArray listing(const QString &path)
    {
        QByteArrayList entries;
        for (const QString &name :
            QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            entries << name.toUtf8() + '=' + TestFiles::read(path + u'/' + name);
        return entries.join('|');
    }

    static constexpr auto Listening = SocketEndpoint::SocketState::Listening;
    TestProgram::Ports m_ports {};
    std::unique_ptr<QTemporaryDir> m_downloads;
    std::unique_ptr<TestProgram> m_us;
    std::unique_ptr<RawPeer> m_chat;
    std::unique_ptr<RawPeer> m_file;
    QByteArrayList m_events;
    int m_arrivals = 0;
};

QTEST_GUILESS_MAIN(tst_TransferSession)
#include "tst_TransferSession.moc"
