#include "transfer/FileTransfer.h"

#include "net/WireText.h"
#include "transfer/PlainFileName.h"

#include <cctype>
#include <utility>

using Kind = FileTransfer::Step::Kind;

namespace {

const QByteArray AcceptTag("{ACCEPT}");
const QByteArray FileTag("{FILE}");
const QByteArray SendTag("{SF}");
const QByteArray NotSendTag("{NS}");
const QByteArray BeginTag("{BOF}");
const QByteArray NextTag("{NXT}");
const QByteArray EndTag("{EOF}");
const QByteArray CloseTag("{CLOSE}");

// What a partner's text looks like in a message box: control characters (C0, DEL and C1,
// the ones the name check refuses) made visible.
QString shownName(const QString &name)
{
    QString shown = name;
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = u'?';
    }
    return shown;
}

// The size written after "{BOF}": blanks first, then a decimal number, rounded to a whole
// one; what follows the number is not part of it. -1 when there is no such number; any size
// above the largest file reads as one byte more than it, so no count can overflow.
qint64 announcedSize(const QByteArray &text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == ' ')
        ++start;
    qsizetype end = start;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text.at(end))))
        ++end;
    if (end == start)
        return -1;
    if (end < text.size() && text.at(end) == '.') {
        ++end;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text.at(end))))
            ++end;
    }
    bool ok = false;
    const double value = text.mid(start, end - start).toDouble(&ok);
    if (!ok || value > double(FileTransfer::MaxFileSize) + 1)
        return FileTransfer::MaxFileSize + qint64(1);
    return qRound64(value);
}

} // namespace

FileTransfer::Step FileTransfer::send(const QByteArray &bytes)
{
    return { Kind::Send, bytes };
}

FileTransfer::Step FileTransfer::ending(Step::Kind kind, const QString &text)
{
    return { kind, {}, text };
}

FileTransfer::Steps FileTransfer::end(Steps steps)
{
    reset();
    return steps;
}

FileTransfer::Steps FileTransfer::refuseWith(const QByteArray &answer, const QString &reason)
{
    return end({ send(answer), ending(Kind::Failed, reason) });
}

int FileTransfer::progress() const
{
    return m_size > 0 ? int(qint64(m_done) * 100 / m_size) : 0;
}

void FileTransfer::reset()
{
    m_phase = Phase::Idle;
    m_name.clear();
    m_data.clear();
    m_size = 0;
    m_done = 0;
    m_pending.clear();
    ++m_serial;
}

void FileTransfer::startSending(const QString &name)
{
    reset();
    m_name = name;
    m_phase = Phase::Dialling;
}

void FileTransfer::connected()
{
    if (m_phase == Phase::Dialling)
        m_phase = Phase::Offering;
}

FileTransfer::Steps FileTransfer::fileLoaded(const QByteArray &data)
{
    if (m_phase != Phase::Loading)
        return {};
    if (data.size() > MaxFileSize)
        return refuseWith(
            CloseTag, QStringLiteral("The file has grown beyond 2 MB since it was chosen."));
    m_data = data;
    m_size = qint32(data.size());
    m_done = 0;
    m_phase = Phase::Sending;
    return { send(BeginTag + ' ' + QByteArray::number(m_size)) };
}

FileTransfer::Steps FileTransfer::fileUnreadable(const QString &reason)
{
    if (m_phase != Phase::Loading)
        return {};
    return refuseWith(CloseTag, QStringLiteral("The file could not be read.\r\n") + reason);
}

FileTransfer::Steps FileTransfer::startReceiving()
{
    reset();
    m_phase = Phase::AwaitingOffer;
    return { send(AcceptTag) };
}

FileTransfer::Steps FileTransfer::accept()
{
    if (m_phase != Phase::AskingUser)
        return {};
    m_phase = Phase::AwaitingSize;
    return { send(SendTag) };
}

FileTransfer::Steps FileTransfer::refuse()
{
    if (m_phase != Phase::AskingUser)
        return {};
    return end({ send(NotSendTag), ending(Kind::Declined) });
}

FileTransfer::Steps FileTransfer::cancel()
{
    if (!busy())
        return {};
    return end({ send(CloseTag) });
}

FileTransfer::Steps FileTransfer::connectionClosed()
{
    if (!busy())
        return {};
    return end({ ending(Kind::Interrupted) });
}

FileTransfer::Steps FileTransfer::feed(const QByteArray &bytes)
{
    if (!busy())
        return {};
    m_pending += bytes;
    const bool sender = m_phase == Phase::Dialling || m_phase == Phase::Offering
        || m_phase == Phase::AwaitingAnswer || m_phase == Phase::Loading
        || m_phase == Phase::Sending;
    Steps steps;
    while (busy() && (sender ? takeAsSender(steps) : takeAsReceiver(steps))) { }
    return steps;
}

QByteArray FileTransfer::takeTag(const QList<Expected> &expected)
{
    bool mayFollow = CloseTag.startsWith(m_pending);
    for (const Expected &candidate : expected) {
        if (candidate.exact ? m_pending == candidate.tag : m_pending.startsWith(candidate.tag))
            return std::exchange(m_pending, {});
        mayFollow = mayFollow || candidate.tag.startsWith(m_pending);
    }
    if (!mayFollow)
        m_pending.clear();
    return {};
}

// The sender only ever receives tags, one in answer to each of its messages, so a
// "{CLOSE}" anywhere in what came is the partner cancelling.
bool FileTransfer::takeAsSender(Steps &steps)
{
    if (m_pending.contains(CloseTag)) {
        steps += end({ ending(Kind::Interrupted) });
        return false;
    }
    switch (m_phase) {
    case Phase::Offering:
        if (takeTag({ { AcceptTag, true } }).isEmpty())
            return false;
        m_phase = Phase::AwaitingAnswer;
        steps << send(FileTag + WireText::toWire(m_name));
        return true;
    case Phase::AwaitingAnswer: {
        const QByteArray answer = takeTag({ { SendTag, true }, { NotSendTag, true } });
        if (answer == NotSendTag)
            steps += end({ ending(Kind::Refused) });
        else if (answer == SendTag) {
            m_phase = Phase::Loading;
            steps << Step { Kind::LoadFile };
        }
        return false;
    }
    case Phase::Sending:
        if (takeTag({ { NextTag, false } }).isEmpty())
            return false;
        steps += sendNext();
        return true;
    default:
        takeTag({});
        return false;
    }
}

FileTransfer::Steps FileTransfer::sendNext()
{
    if (m_done >= m_size)
        return end({ send(EndTag), ending(Kind::Sent) });
    const qint32 n = qMin(ChunkSize, m_size - m_done);
    const QByteArray chunk = m_data.mid(m_done, n);
    m_done += n;
    return { send(chunk), Step { Kind::Progress, {}, {}, progress() } };
}

bool FileTransfer::takeAsReceiver(Steps &steps)
{
    switch (m_phase) {
    case Phase::AwaitingOffer:
        return takeOffer(steps);
    case Phase::AwaitingSize:
        return takeSize(steps);
    case Phase::Receiving:
        return takeContent(steps);
    default:
        if (takeTag({ { CloseTag, false } }).startsWith(CloseTag))
            steps += end({ ending(Kind::Interrupted) });
        return false;
    }
}

bool FileTransfer::takeOffer(Steps &steps)
{
    const QByteArray message = takeTag({ { FileTag, false }, { CloseTag, false } });
    if (message.startsWith(CloseTag)) {
        steps += end({ ending(Kind::Interrupted) });
    } else if (message.startsWith(FileTag)) {
        const QString name = WireText::fromWire(message.mid(FileTag.size()));
        const QString problem = PlainFileName::problem(name);
        if (problem.isEmpty()) {
            m_phase = Phase::AskingUser;
            steps << Step { Kind::AskUser, {}, name };
        } else {
            steps += refuseWith(NotSendTag,
                QStringLiteral("A file offered as \"%1\" was refused.\r\n%2")
                    .arg(shownName(name), problem));
        }
    }
    return false;
}

bool FileTransfer::takeSize(Steps &steps)
{
    const QByteArray message = takeTag({ { BeginTag, false }, { CloseTag, false } });
    if (message.startsWith(CloseTag)) {
        steps += end({ ending(Kind::Interrupted) });
        return false;
    }
    if (!message.startsWith(BeginTag))
        return false;
    const qint64 size = announcedSize(message.mid(BeginTag.size()));
    if (size < 0) {
        steps += refuseWith(
            CloseTag, QStringLiteral("The file was refused: its size was not given."));
        return false;
    }
    if (size > MaxFileSize) {
        steps += refuseWith(
            CloseTag, QStringLiteral("The file was refused: it is larger than 2,097,152 bytes."));
        return false;
    }
    m_size = qint32(size);
    m_done = 0;
    m_phase = Phase::Receiving;
    steps << send(NextTag);
    return true;
}

// Exactly the bytes of the chunk asked for are content. A "{CLOSE}" where a chunk of fewer
// than its seven bytes is due cannot be that chunk; where a longer chunk is due it is taken
// as content, and a partner that cancelled there ends the transfer by closing the connection.
bool FileTransfer::takeContent(Steps &steps)
{
    const qint32 due = qMin(ChunkSize, m_size - m_done);
    if (due == 0)
        return takeEnd(steps);
    if (due < CloseTag.size() && m_pending.startsWith(CloseTag)) {
        steps += end({ ending(Kind::Interrupted) });
        return false;
    }
    if (m_pending.size() < due)
        return false;
    const QByteArray chunk = m_pending.left(due);
    m_pending.remove(0, due);
    m_done += due;
    steps << Step { Kind::Content, chunk } << Step { Kind::Progress, {}, {}, progress() }
          << send(NextTag);
    return true;
}

bool FileTransfer::takeEnd(Steps &steps)
{
    if (m_pending.startsWith(EndTag)) {
        steps += end({ ending(Kind::Received) });
    } else if (m_pending.startsWith(CloseTag)) {
        steps += end({ ending(Kind::Interrupted) });
    } else if (!EndTag.startsWith(m_pending) && !CloseTag.startsWith(m_pending)) {
        steps += refuseWith(CloseTag,
            QStringLiteral("The file was refused: more came than the %1 bytes announced.")
                .arg(m_size));
    }
    return false;
}
