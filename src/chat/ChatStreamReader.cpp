#include "chat/ChatStreamReader.h"

#include <QByteArrayView>

#include <array>

namespace {

enum class Kind { Identity, Answer, Markup };

struct Start
{
    QByteArrayView bytes;
    Kind kind;
};

// Every message a partner sends begins with one of these.
constexpr std::array<Start, 7> Starts { {
    { "{SEND}", Kind::Identity },
    { "{RECEV}", Kind::Identity },
    { "{YES}", Kind::Answer },
    { "{NOT}", Kind::Answer },
    { "\\BLD", Kind::Markup },
    { "\\ITL", Kind::Markup },
    { "\\F:", Kind::Markup },
} };

constexpr qsizetype IdentityFields = 3;

// How much of a buffer from some position on makes one message, if that is known yet.
struct Frame
{
    enum class Status { Complete, Incomplete };
    Status status;
    qsizetype size = 0;

    static Frame complete(qsizetype size) { return { Status::Complete, size }; }
    static Frame incomplete() { return { Status::Incomplete, 0 }; }
};

// The start of a message at pos: the whole of one, or the beginning of one cut off by the
// end of what has arrived so far.
const Start *startAt(QByteArrayView buffer, qsizetype pos)
{
    const QByteArrayView rest = buffer.sliced(pos);
    for (const Start &start : Starts) {
        if (rest.startsWith(start.bytes) || start.bytes.startsWith(rest))
            return &start;
    }
    return nullptr;
}

bool endsMessage(QByteArrayView buffer, qsizetype pos)
{
    return pos == buffer.size() || startAt(buffer, pos);
}

// Bytes that begin no message run up to the next start of one.
Frame unreadableFrame(QByteArrayView buffer, qsizetype pos, qsizetype limit)
{
    qsizetype end = pos + 1;
    while (end < limit && !startAt(buffer, end))
        ++end;
    return Frame::complete(end - pos);
}

// A terminator that is followed by the end of the buffer or by another message ends the
// message; one followed by anything else belongs to the message's own text. `limit` is where
// the message would grow beyond the size it may have.
qsizetype endingTerminator(
    QByteArrayView buffer, qsizetype from, qsizetype limit, QByteArrayView terminator)
{
    for (qsizetype found = buffer.indexOf(terminator, from);
         found >= 0 && found + terminator.size() <= limit;
         found = buffer.indexOf(terminator, found + 1)) {
        if (endsMessage(buffer, found + terminator.size()))
            return found + terminator.size();
    }
    return -1;
}

// An identity ends at its third "/", or at a later one when a field held a "/" itself and
// what follows the third is no message of its own.
Frame identityFrame(QByteArrayView buffer, qsizetype pos, qsizetype tagSize, qsizetype limit)
{
    qsizetype slash = pos + tagSize - 1;
    for (qsizetype field = 0; field < IdentityFields; ++field) {
        slash = buffer.indexOf('/', slash + 1);
        if (slash < 0 || slash >= limit)
            return Frame::incomplete();
    }
    const qsizetype end = endingTerminator(buffer, slash, limit, "/");
    return Frame::complete((end < 0 ? slash + 1 : end) - pos);
}

// Markup ends at a "\}" after its "\{T:"; its text may hold "\}" too. Bytes that an earlier
// search covered are not searched again: a "\}" followed there by a byte that starts no
// message never ends it, however much follows. Only a tag cut by that earlier end is looked
// at again.
Frame markupFrame(
    QByteArrayView buffer, qsizetype pos, qsizetype limit, ChatStreamReader::Searched &searched)
{
    const QByteArrayView textTag = "\\{T:";
    const QByteArrayView terminator = "\\}";
    if (searched.textAt < 0)
        searched.textAt = buffer.indexOf(textTag, qMax(pos, searched.upTo - (textTag.size() - 1)));
    const qsizetype text = searched.textAt;
    if (text < 0 || text + textTag.size() > limit)
        return Frame::incomplete();
    const qsizetype from = qMax(text + textTag.size(), searched.upTo - (terminator.size() - 1));
    const qsizetype end = endingTerminator(buffer, from, limit, terminator);
    return end < 0 ? Frame::incomplete() : Frame::complete(end - pos);
}

Frame frameAt(QByteArrayView buffer, qsizetype pos, ChatStreamReader::Searched &searched)
{
    const qsizetype limit = qMin(buffer.size(), pos + ChatStreamReader::MaxMessageBytes);
    const Start *start = startAt(buffer, pos);
    if (!start)
        return unreadableFrame(buffer, pos, limit);
    if (buffer.size() - pos < start->bytes.size())
        return Frame::incomplete();
    switch (start->kind) {
    case Kind::Identity:
        return identityFrame(buffer, pos, start->bytes.size(), limit);
    case Kind::Answer:
        return Frame::complete(start->bytes.size());
    case Kind::Markup:
        return markupFrame(buffer, pos, limit, searched);
    }
    return Frame::incomplete();
}

} // namespace

QList<QByteArray> ChatStreamReader::feed(const QByteArray &bytes, qint64 nowMs)
{
    if (m_partial.isEmpty())
        m_partialSinceMs = nowMs;
    m_partial.append(bytes);
    QList<QByteArray> messages;
    qsizetype pos = 0;
    Searched searched = m_searched;
    m_searched = {};
    while (pos < m_partial.size()) {
        Frame frame = frameAt(m_partial, pos, searched);
        if (frame.status == Frame::Status::Incomplete) {
            if (m_partial.size() - pos < MaxMessageBytes) {
                // All that is held now was searched; positions count from what stays held.
                m_searched
                    = { m_partial.size() - pos, searched.textAt < 0 ? -1 : searched.textAt - pos };
                break;
            }
            // A message may not grow beyond what a partner can read; it goes as it stands.
            frame = Frame::complete(MaxMessageBytes);
        }
        messages.append(m_partial.mid(pos, frame.size));
        pos += frame.size;
        searched = {};
    }
    if (pos > 0) {
        // A copy, so the room a large arrival took is given back.
        m_partial = m_partial.mid(pos);
        m_partialSinceMs = nowMs;
    }
    return messages;
}

QList<QByteArray> ChatStreamReader::expire(qint64 nowMs)
{
    if (msUntilExpiry(nowMs) != 0)
        return {};
    QList<QByteArray> messages { m_partial };
    clear();
    return messages;
}

qint64 ChatStreamReader::msUntilExpiry(qint64 nowMs) const
{
    if (m_partial.isEmpty())
        return -1;
    return qMax<qint64>(0, m_partialSinceMs + PartialTimeoutMs - nowMs);
}

void ChatStreamReader::clear()
{
    m_partial.clear();
    m_searched = {};
}
