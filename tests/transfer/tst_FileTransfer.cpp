#include "transfer/FileTransfer.h"

#include <QTest>

using Kind = FileTransfer::Step::Kind;
using Phase = FileTransfer::Phase;

namespace {

QByteArray bytesOf(qsizetype size, const QByteArray &start = {})
{
    QByteArray data = start;
    for (qsizetype i = data.size(); i < size; ++i)
        data += char(i * 7 % 251);
    return data.left(size);
}

QByteArray sent(const FileTransfer::Steps &steps)
{
    QByteArray bytes;
    for (const FileTransfer::Step &step : steps) {
        if (step.kind == Kind::Send)
            bytes += step.bytes;
    }
    return bytes;
}

QList<Kind> kinds(const FileTransfer::Steps &steps)
{
    QList<Kind> list;
    for (const FileTransfer::Step &step : steps)
        list << step.kind;
    return list;
}

// Two ends of one transfer joined by a wire that cuts what each sends into pieces of a
// given size, so that arrivals split and join however TCP might deliver them. The offer and
// the size go whole: like any text without an end mark, they are taken as they arrive.
class Wire
{
public:
    explicit Wire(qsizetype piece)
        : m_piece(piece)
    {
    }

    void run(const QByteArray &file)
    {
        m_file = file;
        sender.startSending(QStringLiteral("report.doc"));
        take(receiver.startReceiving(), m_toSender);
        while (!m_toSender.isEmpty() || !m_toReceiver.isEmpty()) {
            deliver(m_toSender, sender, m_toReceiver);
            deliver(m_toReceiver, receiver, m_toSender);
        }
    }

    FileTransfer sender;
    FileTransfer receiver;
    QByteArray content;
    QByteArray receiverSent;
    QList<int> senderProgress;
    QList<Kind> endings;
    QString offered;

private:
    void deliver(QByteArray &wire, FileTransfer &to, QByteArray &back)
    {
        if (wire.isEmpty())
            return;
        const bool whole = &to == &receiver && to.phase() != Phase::Receiving;
        const QByteArray piece = whole ? wire : wire.left(m_piece);
        wire.remove(0, piece.size());
        take(to.feed(piece), back, &to == &sender);
    }

    void take(const FileTransfer::Steps &steps, QByteArray &back, bool bySender = false)
    {
        for (const FileTransfer::Step &step : steps) {
            switch (step.kind) {
            case Kind::Send:
                (&back == &m_toSender ? receiverSent : m_ignored) += step.bytes;
                back += step.bytes;
                break;
            case Kind::AskUser:
                offered = step.text;
                take(receiver.accept(), m_toSender);
                break;
            case Kind::LoadFile:
                take(sender.fileLoaded(m_file), m_toReceiver, true);
                break;
            case Kind::Content:
                content += step.bytes;
                break;
            case Kind::Progress:
                if (bySender)
                    senderProgress << step.value;
                break;
            default:
                endings << step.kind;
                break;
            }
        }
    }

    qsizetype m_piece;
    QByteArray m_file;
    QByteArray m_toSender;
    QByteArray m_toReceiver;
    QByteArray m_ignored;
};

} // namespace

class tst_FileTransfer : public QObject
{
    Q_OBJECT

private slots:
    void honestTransferArrivesWhole_data();
    void honestTransferArrivesWhole();
    void senderProgressCountsChunks();
    void offeredNameIsChecked_data();
    void offeredNameIsChecked();
    void announcedSizeIsChecked_data();
    void announcedSizeIsChecked();
    void contentBeyondTheSizeIsNeverStored();
    void closeIsRecognisedWhereItCannotBeContent_data();
    void closeIsRecognisedWhereItCannotBeContent();
    void senderReadsTagsAsWholeMessages_data();
    void senderReadsTagsAsWholeMessages();
    void connectionLossInterruptsOnlyARunningTransfer_data();
    void connectionLossInterruptsOnlyARunningTransfer();
    void unreadableFileEndsTheTransfer();
    void refusalReturnsBothSidesToIdle();
};

void tst_FileTransfer::honestTransferArrivesWhole_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<qsizetype>("piece");
    QTest::newRow("empty") << QByteArray() << qsizetype(4096);
    QTest::newRow("one chunk and one byte") << bytesOf(1025) << qsizetype(4096);
    QTest::newRow("largest, whole arrivals")
        << bytesOf(FileTransfer::MaxFileSize) << qsizetype(65536);
    QTest::newRow("byte by byte") << bytesOf(3000) << qsizetype(1);
    QTest::newRow("split pieces") << bytesOf(5000) << qsizetype(700);
    for (const char *tag :
        { "{ACCEPT}", "{FILE}", "{SF}", "{NS}", "{BOF} 12", "{NXT}", "{EOF}", "{CLOSE}" }) {
        QTest::addRow("chunks begin with %s", tag) << bytesOf(5, tag) << qsizetype(4096);
        QByteArray file
            = bytesOf(1024, tag) + QByteArray(tag) + bytesOf(1024 - qstrlen(tag), tag) + tag;
        QTest::addRow("chunks of %s split", tag) << file << qsizetype(3);
    }
}

// The receiver asks once per chunk however the bytes arrive, and stores exactly the file.
void tst_FileTransfer::honestTransferArrivesWhole()
{
    QFETCH(QByteArray, file);
    QFETCH(qsizetype, piece);
    Wire wire(piece);
    wire.run(file);
    QCOMPARE(wire.content, file);
    QCOMPARE(wire.offered, QStringLiteral("report.doc"));
    QCOMPARE(wire.endings, QList<Kind>({ Kind::Sent, Kind::Received }));
    const qsizetype chunks = (file.size() + FileTransfer::ChunkSize - 1) / FileTransfer::ChunkSize;
    QCOMPARE(wire.receiverSent.count("{NXT}"), chunks + 1);
    QVERIFY(!wire.sender.busy());
    QVERIFY(!wire.receiver.busy());
}

void tst_FileTransfer::senderProgressCountsChunks()
{
    Wire wire(4096);
    wire.run(bytesOf(1025));
    QCOMPARE(wire.senderProgress, QList<int>({ 99, 100 }));
}

void tst_FileTransfer::offeredNameIsChecked_data()
{
    QTest::addColumn<QByteArray>("offer");
    QTest::addColumn<bool>("asked");
    QTest::newRow("plain") << QByteArray("{FILE}report.doc") << true;
    QTest::newRow("blanks kept") << QByteArray("{FILE} my file .txt") << true;
    QTest::newRow("windows text") << QByteArray("{FILE}caf\xe9.txt") << true;
    QTest::newRow("up a level") << QByteArray("{FILE}../x") << false;
    QTest::newRow("up a level, backslash") << QByteArray("{FILE}..\\x") << false;
    QTest::newRow("absolute") << QByteArray("{FILE}/etc/passwd") << false;
    QTest::newRow("drive") << QByteArray("{FILE}C:evil.exe") << false;
    QTest::newRow("dot") << QByteArray("{FILE}.") << false;
    QTest::newRow("dot dot") << QByteArray("{FILE}..") << false;
    QTest::newRow("control character") << QByteArray("{FILE}a\nb.txt") << false;
    QTest::newRow("nothing") << QByteArray("{FILE}") << false;
    QTest::newRow("too long") << QByteArray("{FILE}") + QByteArray(300, 'a') << false;
}

void tst_FileTransfer::offeredNameIsChecked()
{
    QFETCH(QByteArray, offer);
    QFETCH(bool, asked);
    FileTransfer receiver;
    receiver.startReceiving();
    const FileTransfer::Steps steps = receiver.feed(offer.left(3));
    QVERIFY(steps.isEmpty());
    const FileTransfer::Steps answer = receiver.feed(offer.mid(3));
    if (asked) {
        QCOMPARE(kinds(answer), QList<Kind>({ Kind::AskUser }));
        QCOMPARE(receiver.phase(), Phase::AskingUser);
        return;
    }
    QCOMPARE(kinds(answer), QList<Kind>({ Kind::Send, Kind::Failed }));
    QCOMPARE(sent(answer), QByteArray("{NS}"));
    QVERIFY(answer.last().text.startsWith(u"A file offered as"));
    QVERIFY(!answer.last().text.contains(u'\n' + QStringLiteral("b.txt")));
    QVERIFY(!receiver.busy());
}

void tst_FileTransfer::announcedSizeIsChecked_data()
{
    QTest::addColumn<QByteArray>("announcement");
    QTest::addColumn<qint32>("size");
    QTest::newRow("as sent") << QByteArray("{BOF} 1536") << 1536;
    QTest::newRow("no blank") << QByteArray("{BOF}1536") << 1536;
    QTest::newRow("blanks") << QByteArray("{BOF}   7") << 7;
    QTest::newRow("rounded") << QByteArray("{BOF} 9.6") << 10;
    QTest::newRow("zero") << QByteArray("{BOF} 0") << 0;
    QTest::newRow("largest") << QByteArray("{BOF} 2097152") << FileTransfer::MaxFileSize;
    QTest::newRow("one more") << QByteArray("{BOF} 2097153") << -1;
    QTest::newRow("3 GB") << QByteArray("{BOF} 3221225472") << -1;
    QTest::newRow("huge") << QByteArray("{BOF} ") + QByteArray(400, '9') << -1;
    QTest::newRow("negative") << QByteArray("{BOF} -5") << -1;
    QTest::newRow("no number") << QByteArray("{BOF} many") << -1;
    QTest::newRow("nothing") << QByteArray("{BOF}") << -1;
}

void tst_FileTransfer::announcedSizeIsChecked()
{
    QFETCH(QByteArray, announcement);
    QFETCH(qint32, size);
    FileTransfer receiver;
    receiver.startReceiving();
    receiver.feed("{FILE}a.txt");
    receiver.accept();
    const FileTransfer::Steps steps = receiver.feed(announcement);
    if (size >= 0) {
        QCOMPARE(sent(steps), QByteArray("{NXT}"));
        QCOMPARE(receiver.size(), size);
        return;
    }
    QCOMPARE(kinds(steps), QList<Kind>({ Kind::Send, Kind::Failed }));
    QCOMPARE(sent(steps), QByteArray("{CLOSE}"));
    QVERIFY(!receiver.busy());
}

// A peer that goes on sending after the announced size gets the transfer refused, and
// nothing beyond the size is handed out as content.
void tst_FileTransfer::contentBeyondTheSizeIsNeverStored()
{
    FileTransfer receiver;
    receiver.startReceiving();
    receiver.feed("{FILE}a.txt");
    receiver.accept();
    receiver.feed("{BOF} 2000");
    const FileTransfer::Steps steps = receiver.feed(QByteArray(5000, 'x'));
    qsizetype stored = 0;
    for (const FileTransfer::Step &step : steps)
        stored += step.kind == Kind::Content ? step.bytes.size() : 0;
    QCOMPARE(stored, 2000);
    QCOMPARE(steps.last().kind, Kind::Failed);
    QVERIFY(sent(steps).endsWith("{CLOSE}"));
    QVERIFY(!receiver.busy());
}

void tst_FileTransfer::closeIsRecognisedWhereItCannotBeContent_data()
{
    QTest::addColumn<qint32>("size");
    QTest::addColumn<QByteArray>("arrival");
    QTest::addColumn<bool>("interrupted");
    QTest::newRow("before the first chunk") << 3 << QByteArray("{CLOSE}") << true;
    QTest::newRow("after the last chunk") << 10 << QByteArray("0123456789{CLOSE}") << true;
    QTest::newRow("instead of the end") << 0 << QByteArray("{CLOSE}") << true;
    QTest::newRow("as content of a chunk") << 7 << QByteArray("{CLOSE}") << false;
    QTest::newRow("starting a long chunk") << 2000 << QByteArray("{CLOSE}") << false;
}

void tst_FileTransfer::closeIsRecognisedWhereItCannotBeContent()
{
    QFETCH(qint32, size);
    QFETCH(QByteArray, arrival);
    QFETCH(bool, interrupted);
    FileTransfer receiver;
    receiver.startReceiving();
    receiver.feed("{FILE}a.txt");
    receiver.accept();
    receiver.feed("{BOF} " + QByteArray::number(size));
    const FileTransfer::Steps steps = receiver.feed(arrival);
    QCOMPARE(steps.contains(FileTransfer::Step { Kind::Interrupted }), interrupted);
    QCOMPARE(receiver.busy(), !interrupted);
}

void tst_FileTransfer::senderReadsTagsAsWholeMessages_data()
{
    QTest::addColumn<QByteArrayList>("arrivals");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("accept") << QByteArrayList { "{ACCEPT}" } << QByteArray("{FILE}a.txt");
    QTest::newRow("accept split") << QByteArrayList { "{ACC", "EPT}" } << QByteArray("{FILE}a.txt");
    QTest::newRow("accept and a blank") << QByteArrayList { "{ACCEPT} " } << QByteArray();
    QTest::newRow("next with more") << QByteArrayList { "{ACCEPT}", "{SF}", "{NXT}more" }
                                    << QByteArray("{FILE}a.txt{BOF} 3abc");
}

void tst_FileTransfer::senderReadsTagsAsWholeMessages()
{
    QFETCH(QByteArrayList, arrivals);
    QFETCH(QByteArray, sent);
    FileTransfer sender;
    sender.startSending(QStringLiteral("a.txt"));
    QByteArray out;
    for (const QByteArray &arrival : arrivals) {
        const FileTransfer::Steps steps = sender.feed(arrival);
        out += ::sent(steps);
        if (steps.contains(FileTransfer::Step { Kind::LoadFile }))
            out += ::sent(sender.fileLoaded("abc"));
    }
    QCOMPARE(out, sent);
}

void tst_FileTransfer::connectionLossInterruptsOnlyARunningTransfer_data()
{
    QTest::addColumn<QByteArrayList>("arrivals");
    QTest::addColumn<bool>("interrupted");
    QTest::newRow("offering") << QByteArrayList {} << true;
    QTest::newRow("sending") << QByteArrayList { "{ACCEPT}", "{SF}", "{NXT}" } << true;
    QTest::newRow("sent") << QByteArrayList { "{ACCEPT}", "{SF}", "{NXT}", "{NXT}" } << false;
    QTest::newRow("refused") << QByteArrayList { "{ACCEPT}", "{NS}" } << false;
    QTest::newRow("cancelled") << QByteArrayList { "{ACCEPT}", "{CLOSE}" } << false;
}

void tst_FileTransfer::connectionLossInterruptsOnlyARunningTransfer()
{
    QFETCH(QByteArrayList, arrivals);
    QFETCH(bool, interrupted);
    FileTransfer sender;
    sender.startSending(QStringLiteral("a.txt"));
    for (const QByteArray &arrival : arrivals) {
        if (sender.feed(arrival).contains(FileTransfer::Step { Kind::LoadFile }))
            sender.fileLoaded("abc");
    }
    QCOMPARE(kinds(sender.connectionClosed()),
        interrupted ? QList<Kind>({ Kind::Interrupted }) : QList<Kind>());
    QVERIFY(!sender.busy());
}

void tst_FileTransfer::unreadableFileEndsTheTransfer()
{
    FileTransfer sender;
    sender.startSending(QStringLiteral("a.txt"));
    sender.feed("{ACCEPT}");
    sender.feed("{SF}");
    const FileTransfer::Steps steps = sender.fileUnreadable(QStringLiteral("Permission denied"));
    QCOMPARE(sent(steps), QByteArray("{CLOSE}"));
    QCOMPARE(steps.last().kind, Kind::Failed);
    QVERIFY(steps.last().text.contains(u"Permission denied"));
    QVERIFY(!sender.busy());
}

void tst_FileTransfer::refusalReturnsBothSidesToIdle()
{
    FileTransfer sender;
    FileTransfer receiver;
    sender.startSending(QStringLiteral("a.txt"));
    const FileTransfer::Steps offer = sender.feed(sent(receiver.startReceiving()));
    receiver.feed(sent(offer));
    const FileTransfer::Steps refusal = receiver.refuse();
    QCOMPARE(kinds(refusal), QList<Kind>({ Kind::Send, Kind::Declined }));
    QCOMPARE(kinds(sender.feed(sent(refusal))), QList<Kind>({ Kind::Refused }));
    QVERIFY(!sender.busy());
    QVERIFY(!receiver.busy());
}

QTEST_GUILESS_MAIN(tst_FileTransfer)
#include "tst_FileTransfer.moc"
