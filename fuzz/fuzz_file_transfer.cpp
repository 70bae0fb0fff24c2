// The file protocol, both sides: a partner's byte stream cut at any points, interleaved with
// the user's answers, cancels, closed connections, resets and files of any content.
#include "FuzzCheck.h"
#include "FuzzSchedule.h"
#include "transfer/FileTransfer.h"
#include "transfer/PlainFileName.h"

#include <algorithm>

using Kind = FileTransfer::Step::Kind;
using Steps = FileTransfer::Steps;

namespace {

constexpr quint8 ActionBits = 0x0f;
constexpr int SizeShift = 4;

bool isEnding(Kind kind)
{
    return kind >= Kind::Sent;
}

// A length from the control's high bits: 1, 2, 4 ... 16384 bytes, or the rest for 0.
qsizetype lengthOf(quint8 control)
{
    const int power = control >> SizeShift;
    return power == 0 ? 0 : qsizetype(1) << (power - 1);
}

// Control characters in a message for the user are only its line breaks.
bool readable(const QString &text)
{
    return std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return (c.unicode() < 32 && c != u'\r' && c != u'\n') || c.unicode() == 127;
    });
}

// What one transfer has done so far, checked against what it announced after every call.
class TransferWatch
{
public:
    explicit TransferWatch(FileTransfer &transfer)
        : m_transfer(transfer)
    {
    }

    void restart()
    {
        m_announced = -1;
        m_received = 0;
        m_loaded.clear();
        m_sent = 0;
    }

    void loaded(const QByteArray &data) { m_loaded = data; }

    void check(const Steps &steps, FileTransfer::Phase before)
    {
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const FileTransfer::Step &step = steps[i];
            const bool last = i + 1 == steps.size();
            FUZZ_CHECK(!isEnding(step.kind) || last);
            checkStep(step, before, last ? nullptr : &steps[i + 1]);
        }
        if (!steps.isEmpty() && isEnding(steps.last().kind))
            FUZZ_CHECK(!m_transfer.busy());
        FUZZ_CHECK(m_transfer.size() >= 0 && m_transfer.size() <= FileTransfer::MaxFileSize);
        FUZZ_CHECK(m_transfer.done() >= 0 && m_transfer.done() <= m_transfer.size());
        if (m_transfer.phase() == FileTransfer::Phase::Receiving)
            m_announced = m_transfer.size();
    }

private:
    void checkStep(
        const FileTransfer::Step &step, FileTransfer::Phase before, const FileTransfer::Step *next)
    {
        switch (step.kind) {
        case Kind::Content:
            // Content comes only once a size was announced, and never beyond it.
            FUZZ_CHECK(before == FileTransfer::Phase::Receiving && m_announced >= 0);
            FUZZ_CHECK(step.bytes.size() <= FileTransfer::ChunkSize);
            m_received += step.bytes.size();
            FUZZ_CHECK(m_received <= m_announced);
            break;
        case Kind::Received:
            FUZZ_CHECK(m_received == m_announced);
            break;
        case Kind::Send:
            // A piece of the file is the one send followed by progress; the pieces are the
            // file's bytes in order.
            if (next && next->kind == Kind::Progress) {
                FUZZ_CHECK(m_sent + step.bytes.size() <= m_loaded.size());
                FUZZ_CHECK(
                    step.bytes == QByteArrayView(m_loaded).sliced(m_sent, step.bytes.size()));
                m_sent += step.bytes.size();
            }
            break;
        case Kind::Sent:
            FUZZ_CHECK(m_sent == m_loaded.size());
            break;
        case Kind::Progress:
            FUZZ_CHECK(step.value >= 0 && step.value <= 100);
            break;
        case Kind::AskUser:
            FUZZ_CHECK(PlainFileName::problem(step.text).isEmpty());
            break;
        case Kind::Failed:
            FUZZ_CHECK(!step.text.isEmpty() && readable(step.text));
            break;
        default:
            break;
        }
    }

    FileTransfer &m_transfer;
    qint64 m_announced = -1;
    qint64 m_received = 0;
    QByteArray m_loaded;
    qint64 m_sent = 0;
};

// A file the user picked: bytes of the stream, or one exactly at or just over the limit
// (made once and shared, so that large files cost no time per input).
QByteArray fileContent(FuzzSchedule &schedule, quint8 control)
{
    static const QByteArray largest(FileTransfer::MaxFileSize, '{');
    static const QByteArray tooLarge(FileTransfer::MaxFileSize + 1, 'x');
    switch (control >> SizeShift) {
    case 15:
        return tooLarge;
    case 14:
        return largest;
    default:
        return schedule.take(lengthOf(control));
    }
}

Steps act(FileTransfer &transfer, TransferWatch &watch, FuzzSchedule &schedule, quint8 control)
{
    switch (control & ActionBits) {
    case 7:
        return transfer.accept();
    case 8:
        return transfer.refuse();
    case 9:
        return transfer.cancel();
    case 10:
        return transfer.connectionClosed();
    case 11:
        transfer.reset();
        return {};
    case 12: {
        const QByteArray data = fileContent(schedule, control);
        if (transfer.phase() == FileTransfer::Phase::Loading)
            watch.loaded(data);
        return transfer.fileLoaded(data);
    }
    case 13:
        return transfer.fileUnreadable(QStringLiteral("Permission denied"));
    case 14:
        watch.restart();
        return transfer.startReceiving();
    case 15:
        watch.restart();
        transfer.startSending(QString::fromLatin1(schedule.take(lengthOf(control))));
        transfer.connected();
        return {};
    default:
        return transfer.feed(schedule.take(lengthOf(control)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSchedule schedule(data, size);
    FileTransfer transfer;
    TransferWatch watch(transfer);
    // The first control byte's low bit picks the side the transfer starts on.
    if (schedule.nextControl() & 1) {
        transfer.startSending(QStringLiteral("notes.txt"));
        transfer.connected();
    } else
        transfer.startReceiving();
    while (!schedule.done()) {
        const FileTransfer::Phase before = transfer.phase();
        const Steps steps = act(transfer, watch, schedule, schedule.nextControl());
        watch.check(steps, before);
    }
    return 0;
}
