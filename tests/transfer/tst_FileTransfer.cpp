#include "transfer/FileTransfer.h"

#include <QTest>

using Kind = FileTransfer::Step::Kind;
using Phase = FileTransfer::Phase;

namespace {

QByteArray sent(const FileTransfer::Steps &steps)
{
    QByteArray bytes;
    for (const FileTransfer::Step &step : steps)
        bytes += step.kind == Kind::Send ? step.bytes : QByteArray();
    return bytes;
}

bool ends(const FileTransfer::Steps &steps, Kind kind)
{
    return !steps.isEmpty() && steps.last().kind == kind;
}

// Sender and receiver joined by a wire that cuts content into pieces of a given size, as TCP
// may. The offer and the size go whole: like any text without an end mark, they are taken
// as they arrive.
struct Wire
{
    void run(const QByteArray &file, qsizetype piece)
    {
        sender.startSending(QStringLiteral("report.doc"));
        QByteArray toSender = sent(receiver.startReceiving());
        QByteArray toReceiver;
        while (!toSender.isEmpty() || !toReceiver.isEmpty()) {
            take(sender.feed(std::exchange(toSender, {})), toReceiver, file);
            const qsizetype size = receiver.phase() == Phase::Receiving ? piece : toReceiver.size();
            take(receiver.feed(toReceiver.left(size)), toSender, file);
            toReceiver.remove(0, size);
        }
    }

    void take(const FileTransfer::Steps &steps, QByteArray &back, const QByteArray &file)
    {
        for (const FileTransfer::Step &step : steps) {
            back += step.kind == Kind::Send ? step.bytes : QByteArray();
            content += step.kind == Kind::Content ? step.bytes : QByteArray();
            if (step.kind == Kind::AskUser)
                back += sent(receiver.accept());
            if (step.kind == Kind::LoadFile)
                take(sender.fileLoaded(file), back, file);
            if (step.kind == Kind::Send && step.bytes == "{NXT}")
                ++requests;
            if (step.kind >= Kind::Sent)
                endings << step.kind;
        }
    }

    FileTransfer sender;
    FileTransfer receiver;
    QByteArray content;
    int requests = 0;
    QList<Kind> endings;
};

} // namespace

// The protocol on its own, driven with the bytes a peer might send.
class tst_FileTransfer : public QObject
{
    Q_OBJECT

private slots:
    // Each chunk is asked for once however the bytes arrive, and the file is stored whole,
    // content that looks like a tag included.
    void honestTransferArrivesWhole_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qsizetype>("piece");
        QTest::newRow("empty") << QByteArray() << qsizetype(4096);
        QTest::newRow("byte by byte") << QByteArray(3000, 'b') << qsizetype(1);
        const QByteArray tags = "{CLOSE}{EOF}{NXT}{BOF} 9{FILE}x{SF}{NS}{ACCEPT}";
        QTest::newRow("tags, joined arrivals") << tags.repeated(60) << qsizetype(5000);
        QTest::newRow("tags, split arrivals") << tags.repeated(60) << qsizetype(7);
    }

    void honestTransferArrivesWhole()
    {
        QFETCH(QByteArray, file);
        QFETCH(qsizetype, piece);
        Wire wire;
        wire.run(file, piece);
        QCOMPARE(wire.content, file);
        QCOMPARE(wire.requests, (file.size() + 1023) / 1024 + 1);
        QCOMPARE(wire.endings, QList<Kind>({ Kind::Sent, Kind::Received }));
    }

    // What the receiver answers to an offer, a size and content: refusals end the transfer.
    // (Hostile names and a size of 3 GB are sent by a raw peer in the window tests.)
    void receiverChecksWhatComes_data()
    {
        QTest::addColumn<QByteArrayList>("arrivals");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("failed");
        const auto offer = [](const QByteArray &size) {
            return QByteArrayList { "{FILE}a.txt", size };
        };
        QTest::newRow("blanks in a name")
            << QByteArrayList { "{FILE} my file .txt" } << QByteArray("{SF}") << false;
        QTest::newRow("dot dot") << QByteArrayList { "{FILE}.." } << QByteArray("{NS}") << true;
        QTest::newRow("size, blanks") << offer("{BOF}   7") << QByteArray("{SF}{NXT}") << false;
        QTest::newRow("size rounded") << offer("{BOF} 9.6") << QByteArray("{SF}{NXT}") << false;
        QTest::newRow("largest") << offer("{BOF} 2097152") << QByteArray("{SF}{NXT}") << false;
        QTest::newRow("one more") << offer("{BOF} 2097153") << QByteArray("{SF}{CLOSE}") << true;
        QTest::newRow("negative") << offer("{BOF} -5") << QByteArray("{SF}{CLOSE}") << true;
        QTest::newRow("no number") << offer("{BOF} many") << QByteArray("{SF}{CLOSE}") << true;
        QTest::newRow("more than announced") << (offer("{BOF} 2000") << QByteArray(5000, 'x'))
                                             << QByteArray("{SF}{NXT}{NXT}{NXT}{CLOSE}") << true;
    }

    void receiverChecksWhatComes()
    {
        QFETCH(QByteArrayList, arrivals);
        QFETCH(QByteArray, answer);
        QFETCH(bool, failed);
        FileTransfer receiver;
        receiver.startReceiving();
        QByteArray out;
        qsizetype stored = 0;
        for (const QByteArray &arrival : arrivals) {
            const FileTransfer::Steps steps = receiver.feed(arrival);
            out += sent(steps)
                + (ends(steps, Kind::AskUser) ? sent(receiver.accept()) : QByteArray());
            for (const FileTransfer::Step &step : steps)
                stored += step.kind == Kind::Content ? step.bytes.size() : 0;
        }
        QCOMPARE(out, answer);
        QCOMPARE(receiver.busy(), !failed);
        QVERIFY(stored <= 2000);
    }

    void closeIsRecognisedWhereItCannotBeContent_data()
    {
        QTest::addColumn<qint32>("size");
        QTest::addColumn<QByteArray>("arrival");
        QTest::addColumn<bool>("interrupted");
        QTest::newRow("before a short chunk") << 3 << QByteArray("{CLOSE}") << true;
        QTest::newRow("after the last chunk") << 10 << QByteArray("0123456789{CLOSE}") << true;
        QTest::newRow("instead of the end") << 0 << QByteArray("{CLOSE}") << true;
        QTest::newRow("a chunk of its size") << 7 << QByteArray("{CLOSE}") << false;
        QTest::newRow("starting a long chunk") << 2000 << QByteArray("{CLOSE}") << false;
    }

    void closeIsRecognisedWhereItCannotBeContent()
    {
        QFETCH(qint32, size);
        QFETCH(QByteArray, arrival);
        QFETCH(bool, interrupted);
        FileTransfer receiver;
        receiver.startReceiving();
        receiver.feed("{FILE}a.txt");
        receiver.accept();
        receiver.feed("{BOF} " + QByteArray::number(size));
        QCOMPARE(ends(receiver.feed(arrival), Kind::Interrupted), interrupted);
        QCOMPARE(receiver.busy(), !interrupted);
    }

    // A message is the whole arrival: a split tag is waited for, a tag followed by a blank
    // is not the tag, "{NXT}" followed by more still is.
    void senderReadsTagsAsWholeMessages_data()
    {
        QTest::addColumn<QByteArrayList>("arrivals");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("split") << QByteArrayList { "{ACC", "EPT}" } << QByteArray("{FILE}a.txt");
        QTest::newRow("and a blank") << QByteArrayList { "{ACCEPT} " } << QByteArray();
        QTest::newRow("next with more") << QByteArrayList { "{ACCEPT}", "{SF}", "{NXT}more" }
                                        << QByteArray("{FILE}a.txt{BOF} 3abc");
    }

    void senderReadsTagsAsWholeMessages()
    {
        QFETCH(QByteArrayList, arrivals);
        QFETCH(QByteArray, sent);
        FileTransfer sender;
        sender.startSending(QStringLiteral("a.txt"));
        QByteArray out;
        for (const QByteArray &arrival : arrivals) {
            const FileTransfer::Steps steps = sender.feed(arrival);
            out += ::sent(steps)
                + (ends(steps, Kind::LoadFile) ? ::sent(sender.fileLoaded("abc")) : QByteArray());
        }
        QCOMPARE(out, sent);
    }

    // The connection's end interrupts a transfer under way, never one already over.
    void connectionLossInterruptsOnlyARunningTransfer_data()
    {
        QTest::addColumn<QByteArrayList>("arrivals");
        QTest::addColumn<bool>("interrupted");
        QTest::newRow("sending") << QByteArrayList { "{ACCEPT}", "{SF}", "{NXT}" } << true;
        QTest::newRow("sent") << QByteArrayList { "{ACCEPT}", "{SF}", "{NXT}", "{NXT}" } << false;
        QTest::newRow("refused") << QByteArrayList { "{ACCEPT}", "{NS}" } << false;
        QTest::newRow("cancelled") << QByteArrayList { "{ACCEPT}", "{CLOSE}" } << false;
    }

    void connectionLossInterruptsOnlyARunningTransfer()
    {
        QFETCH(QByteArrayList, arrivals);
        QFETCH(bool, interrupted);
        FileTransfer sender;
        sender.startSending(QStringLiteral("a.txt"));
        for (const QByteArray &arrival : arrivals) {
            if (ends(sender.feed(arrival), Kind::LoadFile))
                sender.fileLoaded("abc");
        }
        QCOMPARE(ends(sender.connectionClosed(), Kind::Interrupted), interrupted);
        QVERIFY(!sender.busy());
    }
};

QTEST_GUILESS_MAIN(tst_FileTransfer)
#include "tst_FileTransfer.moc"
