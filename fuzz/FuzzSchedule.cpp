#include "FuzzSchedule.h"

#include <algorithm>

FuzzSchedule::FuzzSchedule(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    if (input.isEmpty())
        return;
    const qsizetype controls = std::min<qsizetype>(quint8(input.front()), input.size() - 1);
    m_controls = input.sliced(1, controls);
    m_stream = input.sliced(1 + controls);
}

bool FuzzSchedule::done() const
{
    const qsizetype mostActions = 2 * (m_controls.size() + m_stream.size()) + 16;
    return (streamLeft() == 0 && m_controlsRead >= m_controls.size())
        || m_controlsRead > mostActions;
}

quint8 FuzzSchedule::nextControl()
{
    const qsizetype index = m_controlsRead++;
    return m_controls.isEmpty() ? 0 : quint8(m_controls[index % m_controls.size()]);
}

QByteArray FuzzSchedule::take(qsizetype count)
{
    const qsizetype length = count == 0 ? streamLeft() : std::min(count, streamLeft());
    const QByteArray bytes = m_stream.sliced(m_streamPos, length).toByteArray();
    m_streamPos += length;
    return bytes;
}
