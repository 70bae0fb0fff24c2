// A partner may send a message one byte per packet. The reader must not search what it holds
// from the start at every arrival: eight times the bytes should cost about eight times the
// time (the ratio printed), where a rescan would cost sixty-four.
#include "chat/ChatStreamReader.h"

#include <QElapsedTimer>

#include <cstdio>
#include <limits>

namespace {

// Best of five, in nanoseconds, to feed a markup message of `size` text bytes byte by byte.
qint64 byteByByteNs(qsizetype size)
{
    const QByteArray message = "\\F:Arial\\{T:" + QByteArray(size, 'x');
    qint64 best = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 5; ++round) {
        ChatStreamReader reader;
        QElapsedTimer timer;
        timer.start();
        for (const char byte : message)
            reader.feed(QByteArray(1, byte), 0);
        best = qMin(best, timer.nsecsElapsed());
    }
    return best;
}

} // namespace

int main()
{
    const qint64 shorter = byteByByteNs(4000);
    const qint64 longer = byteByByteNs(32000);
    std::printf("# a markup message of 32,000 text bytes fed one byte at a time, against 4,000\n");
    std::printf("stream_bytewise_ms: %.1f ms\n", longer / 1e6);
    std::printf("stream_bytewise_ratio: %.1f\n", double(longer) / double(shorter));
    return 0;
}
