#pragma once

#include "chat/ChatMessages.h"

#include <QByteArray>

// Cuts what arrives on the chat connection into messages. The wire has no delimiter, so
// TCP may join several sends into one arrival or split one send over several; each
// message is read by its own grammar instead:
// - "{SEND}..." and "{RECEV}..." end at their third "/";
// - "{YES}" and "{NOT}" are exactly those five bytes;
// - a markup message begins with "\BLD", "\ITL" or "\F:" and ends at a "\}" after its
//   "\{T:" that is followed by the end of what has arrived or by the start of another
//   message;
// - bytes that fit none of these, up to the next start of a message, are one unreadable
//   message.
// A message that has only begun waits for the rest, at most PartialTimeoutMs and
// MaxMessageBytes, and is then handed out as it stands. Memory stays bounded throughout, and
// time grows with the bytes that arrive, whatever they are and however they are split.
class ChatStreamReader
{
public:
    static constexpr qsizetype MaxMessageBytes = 32767;
    static constexpr qint64 PartialTimeoutMs = 3000;

    // Takes the bytes of one arrival; returns the messages now complete, in order.
    // nowMs: a monotonic clock in milliseconds.
    ChatMessages feed(const QByteArray &bytes, qint64 nowMs);
    // Hands out the held partial message as it stands once it has waited PartialTimeoutMs.
    ChatMessages expire(qint64 nowMs);
    bool hasPartial() const { return !m_partial.isEmpty(); }
    // Milliseconds until expire() would hand out the partial message; -1 without one.
    qint64 msUntilExpiry(qint64 nowMs) const;
    void clear();

    // How far the held message was searched for its end; the next arrival resumes there, so
    // a message arriving a byte at a time costs time in proportion to its length.
    struct Searched
    {
        qsizetype upTo = 0;
        qsizetype textAt = -1; // where a markup's text field begins, once found
        qsizetype fieldEnds = 0; // the "/" found after an identity's tag
    };

private:
    QByteArray m_partial;
    qint64 m_partialSinceMs = 0;
    Searched m_searched;
};
