#include "chat/ChatMessages.h"

ChatMessages::ChatMessages(const QByteArray &buffer, QList<qsizetype> ends)
    : m_buffer(buffer)
    , m_ends(std::move(ends))
{
}

QByteArrayView ChatMessages::at(qsizetype index) const
{
    const qsizetype begin = index == 0 ? 0 : m_ends.at(index - 1);
    return QByteArrayView(m_buffer).sliced(begin, m_ends.at(index) - begin);
}

QList<QByteArray> ChatMessages::toList() const
{
    QList<QByteArray> messages;
    messages.reserve(size());
    for (qsizetype index = 0; index < size(); ++index)
        messages.append(at(index).toByteArray());
    return messages;
}
