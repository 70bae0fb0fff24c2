#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

// How a fuzz input drives a reader: its first byte says how many control bytes follow, and
// the bytes after those are the stream a partner sends. Control bytes are read in turn, over
// again once used up, to choose where the stream is cut, how much time passes and what else
// happens between arrivals. A seed that is "\0" and a real stream feeds it in one arrival.
class FuzzSchedule
{
public:
    FuzzSchedule(const uint8_t *data, size_t size);

    // True once the stream is used up and every control byte has been read, or after enough
    // actions that a schedule of actions taking no bytes cannot run for ever.
    bool done() const;
    // The next control byte; 0 when the input has none.
    quint8 nextControl();
    // The next `count` bytes of the stream, or all that is left when count is 0.
    QByteArray take(qsizetype count);
    qsizetype streamLeft() const { return m_stream.size() - m_streamPos; }

private:
    QByteArrayView m_controls;
    QByteArrayView m_stream;
    qsizetype m_controlsRead = 0;
    qsizetype m_streamPos = 0;
};
