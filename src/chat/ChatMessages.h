#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The messages the chat reader completed, in order. Each is a view into one buffer shared
// with the reader, so handing out a message allocates nothing of its own: a flood of tiny
// messages costs no more than the bytes it is made of. The views stay valid whatever the
// reader takes in afterwards, because the reader copies its buffer before changing it.
class ChatMessages
{
public:
    ChatMessages() = default;
    // The bytes of buffer up to each of ends, each message beginning where the one before
    // it ended (the first at 0).
    ChatMessages(const QByteArray &buffer, QList<qsizetype> ends);

    qsizetype size() const { return m_ends.size(); }
    QByteArrayView at(qsizetype index) const;
    // Every message as an array of its own.
    QList<QByteArray> toList() const;

private:
    QByteArray m_buffer;
    QList<qsizetype> m_ends;
};
