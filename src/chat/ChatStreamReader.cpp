#include "chat/ChatStreamReader.h"

#include <QByteArrayView>

#include <algorithm>
#include <array>
#include <limits>

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

// The first "/" at or after some position that the end of the buffer or the start of a
// message follows, as far as one pass over the buffer has looked for it.
struct EndingSlash
{
    qsizetype from = std::numeric_limits<qsizetype>::max(); // nothing looked for yet
    qsizetype at = -1; // -1: none from `from` to the end of the buffer

    bool knownFor(qsizetype pos) const { return from <= pos && (at < 0 || at >= pos); }
};

// Each start has a second byte of its own, so the first two bytes of a position name the one
// start that may be there.
constexpr std::array<qint8, 256> StartBySecondByte = [] {
    std::array<qint8, 256> starts {};
    starts.fill(-1);
    for (qsizetype index = 0; index < qsizetype(Starts.size()); ++index)
        starts[uchar(Starts[index].bytes[1])] = qint8(index);
    return starts;
}();

// Whether `rest` and `start` agree on every byte that both have.
bool agree(QByteArrayView rest, QByteArrayView start)
{
    const auto shared = rest.begin() + qMin(rest.size(), start.size());
    return std::mismatch(rest.begin(), shared, start.begin()).first == shared;
}

// The start of a message at pos: the whole of one, or the beginning of one cut off by the
// end of what has arrived so far.
const Start *startAt(QByteArrayView buffer, qsizetype pos)
{
    const QByteArrayView rest = buffer.sliced(pos);
    if (rest.size() == 1) {
        // A last "{" or "\" begins more than one start; which it turns out to be waits for
        // the next byte.
        const auto start = std::find_if(Starts.begin(), Starts.end(),
            [&](const Start &candidate) { return agree(rest, candidate.bytes); });
        return start == Starts.end() ? nullptr : &*start;
    }
    const qsizetype index = StartBySecondByte[uchar(rest[1])];
    return index >= 0 && agree(rest, Starts[index].bytes) ? &Starts[index] : nullptr;
}

bool endsMessage(QByteArrayView buffer, qsizetype pos)
{
    return pos == buffer.size() || startAt(buffer, pos);
}

// The first position from `from` on, before `limit`, where a message may start: a "{" or "\"
// followed by the end of the buffer or by the second byte of some start.
qsizetype nextPossibleStart(QByteArrayView buffer, qsizetype from, qsizetype limit)
{
    for (qsizetype at = from; at < limit; ++at) {
        if ((buffer[at] == '{' || buffer[at] == '\\')
            && (at + 1 == buffer.size() || StartBySecondByte[uchar(buffer[at + 1])] >= 0))
            return at;
    }
    return limit;
}

// Bytes that begin no message run up to the next start of one. Runs that cannot hold a start
// are passed over without trying the grammars.
Frame unreadableFrame(QByteArrayView buffer, qsizetype pos, qsizetype limit)
{
    qsizetype end = pos;
    do
        end = nextPossibleStart(buffer, end + 1, limit);
    while (end < limit && !startAt(buffer, end));
    return Frame::complete(end - pos);
}

// A terminator that is followed by the end of the buffer or by another message ends the
// message; one followed by anything else belongs to the message's own text. `limit` is where
// the message would grow beyond the size it may have: nothing at or past it is searched.
qsizetype endingTerminator(
    QByteArrayView buffer, qsizetype from, qsizetype limit, QByteArrayView terminator)
{
    const QByteArrayView searched = buffer.first(limit);
    for (qsizetype found = searched.indexOf(terminator, from); found >= 0;
         found = searched.indexOf(terminator, found + 1)) {
        if (endsMessage(buffer, found + terminator.size()))
            return found + terminator.size();
    }
    return -1;
}

// Where the first "/" at or after pos that ends an identity lies. The answer holds for every
// later identity up to that "/", so identities whose fields no message follows share one look
// to the end of the buffer instead of each searching as far as it may grow.
qsizetype findEndingSlash(QByteArrayView buffer, qsizetype pos, EndingSlash &known)
{
    if (!known.knownFor(pos)) {
        const qsizetype end = endingTerminator(buffer, pos, buffer.size(), "/");
        known = { pos, end < 0 ? -1 : end - 1 };
    }
    return known.at;
}

// An identity ends at its third "/", or at a later one when a field held a "/" itself and
// what follows the third is no message of its own. The "/" of a held identity are counted
// once: the next arrival counts on from where the last one stopped.
Frame identityFrame(QByteArrayView buffer, qsizetype pos, qsizetype tagSize, qsizetype limit,
    ChatStreamReader::Searched &searched, EndingSlash &endingSlash)
{
    const QByteArrayView fields = buffer.first(limit);
    qsizetype slash = qMax(pos + tagSize, searched.upTo) - 1;
    while (searched.fieldEnds < IdentityFields) {
        slash = fields.indexOf('/', slash + 1);
        if (slash < 0)
            return Frame::incomplete();
        ++searched.fieldEnds;
    }
    const qsizetype end = findEndingSlash(buffer, slash, endingSlash);
    return Frame::complete((end >= 0 && end < limit ? end + 1 : slash + 1) - pos);
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
    if (searched.textAt < 0) {
        searched.textAt
            = buffer.first(limit).indexOf(textTag, qMax(pos, searched.upTo - (textTag.size() - 1)));
    }
    const qsizetype text = searched.textAt;
    if (text < 0)
        return Frame::incomplete();
    const qsizetype from = qMax(text + textTag.size(), searched.upTo - (terminator.size() - 1));
    const qsizetype end = endingTerminator(buffer, from, limit, terminator);
    return end < 0 ? Frame::incomplete() : Frame::complete(end - pos);
}

Frame frameAt(QByteArrayView buffer, qsizetype pos, ChatStreamReader::Searched &searched,
    EndingSlash &endingSlash)
{
    const qsizetype limit = qMin(buffer.size(), pos + ChatStreamReader::MaxMessageBytes);
    const Start *start = startAt(buffer, pos);
    if (!start)
        return unreadableFrame(buffer, pos, limit);
    if (buffer.size() - pos < start->bytes.size())
        return Frame::incomplete();
    switch (start->kind) {
    case Kind::Identity:
        return identityFrame(buffer, pos, start->bytes.size(), limit, searched, endingSlash);
    case Kind::Answer:
        return Frame::complete(start->bytes.size());
    case Kind::Markup:
        return markupFrame(buffer, pos, limit, searched);
    }
    return Frame::incomplete();
}

} // namespace

ChatMessages ChatStreamReader::feed(const QByteArray &bytes, qint64 nowMs)
{
    if (m_partial.isEmpty())
        m_partialSinceMs = nowMs;
    m_partial.append(bytes);
    QList<qsizetype> ends;
    qsizetype pos = 0;
    Searched searched = m_searched;
    m_searched = {};
    EndingSlash endingSlash;
    while (pos < m_partial.size()) {
        Frame frame = frameAt(m_partial, pos, searched, endingSlash);
        if (frame.status == Frame::Status::Incomplete) {
            if (m_partial.size() - pos < MaxMessageBytes) {
                // All that is held now was searched; positions count from what stays held.
                m_searched = { m_partial.size() - pos,
                    searched.textAt < 0 ? -1 : searched.textAt - pos, searched.fieldEnds };
                break;
            }
            // A message may not grow beyond what a partner can read; it goes as it stands.
            frame = Frame::complete(MaxMessageBytes);
        }
        pos += frame.size;
        ends.append(pos);
        searched = {};
    }
    if (pos == 0)
        return {};
    ChatMessages messages(m_partial, std::move(ends));
    // A copy, so the room a large arrival took is given back and the messages keep theirs.
    m_partial = m_partial.mid(pos);
    m_partialSinceMs = nowMs;
    return messages;
}

ChatMessages ChatStreamReader::expire(qint64 nowMs)
{
    if (msUntilExpiry(nowMs) != 0)
        return {};
    ChatMessages messages(m_partial, { m_partial.size() });
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
