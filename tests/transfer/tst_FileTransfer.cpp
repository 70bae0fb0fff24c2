#include "transfer/FileTransfer.h"

#include <QTest>

using Kind = FileTransfer::Step::Kind;

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

} // namespace

// The protocol on its own, fed what a peer might send; whole transfers, hostile names, a size
// of 3 GB and content that looks like tags are sent by real peers in the window tests.
class tst_FileTransfer : public QObject
{
    Q_OBJECT

private slots:
    // What the receiver answers to an offer, a size and content: refusals and a cancel end
    // the transfer, and no more is stored than was announced.
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
        QTest::newRow("size, blanks") << offer("{BOF}   7") << QByteArray("{SF}{NXT}") << false;
        QTest::newRow("size rounded") << offer("{BOF} 9.6") << QByteArray("{SF}{NXT}") << false;
        QTest::newRow("one over") << offer("{BOF} 2097153") << QByteArray("{SF}{CLOSE}") << true;
        QTest::newRow("negative") << offer("{BOF} -5") << QByteArray("{SF}{CLOSE}") << true;
        QTest::newRow("no number") << offer("{BOF} many") << QByteArray("{SF}{CLOSE}") << true;
        // "{CLOSE}" cancels only where it cannot be the next chunk's content.
        QTest::newRow("close before a short chunk")
            << (offer("{BOF} 3") << "{CLOSE}") << QByteArray("{SF}{NXT}") << true;
        QTest::newRow("close after the last chunk")
            << (offer("{BOF} 10") << "0123456789{CLOSE}") << QByteArray("{SF}{NXT}{NXT}") << true;
        QTest::newRow("close instead of the end")
            << (offer("{BOF} 0") << "{CLOSE}") << QByteArray("{SF}{NXT}") << true;
        QTest::newRow("close as a chunk of its size")
            << (offer("{BOF} 7") << "{CLOSE}") << QByteArray("{SF}{NXT}{NXT}") << false;
        QTest::newRow("close starting a long chunk")
            << (offer("{BOF} 2000") << "{CLOSE}") << QByteArray("{SF}{NXT}") << false;
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

    // A message is the whole arrival: a split tag is waited for, a tag followed by a blank
    // is not the tag, "{NXT}" followed by more still is (an old receiver may send that).
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
        sender.connected();
        QByteArray out;
        for (const QByteArray &arrival : arrivals) {
            const FileTransfer::Steps steps = sender.feed(arrival);
            out += ::sent(steps)
                + (ends(steps, Kind::LoadFile) ? ::sent(sender.fileLoaded("abc")) : QByteArray());
        }
        QCOMPARE(out, sent);
    }
};

QTEST_GUILESS_MAIN(tst_FileTransfer)
#include "tst_FileTransfer.moc"
