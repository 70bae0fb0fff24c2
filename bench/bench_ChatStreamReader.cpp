// The chat reader's cost must grow with the bytes that arrive and nothing else, whatever a
// partner sends. Times are the thread's processor time, best of a few rounds, so that other
// work on the machine does not count.
// - A partner may send a message one byte per packet. The reader must not search what it holds
//   from the start at every arrival: eight times the bytes should cost about eight times the
//   time (the ratio printed, the worse of a markup message and an identity), where a rescan
//   would cost sixty-four.
// - A hostile partner may flood the connection with bytes chosen to make the reader search far
//   and keep little. Each pattern below goes in as one 4 MiB arrival and as TCP segments of
//   1,460 bytes; the worst time per MiB is printed. The reader hands its messages out as views
//   into one buffer; beside each pattern, what copying every message into an array of its own
//   would add, which is most of the time where messages are a few bytes long.
#include "chat/ChatStreamReader.h"

#include <QRandomGenerator>

#include <cstdio>
#include <ctime>
#include <limits>

namespace {

constexpr qsizetype FloodBytes = 4 * 1024 * 1024;
constexpr qsizetype SegmentBytes = 1460;

qint64 threadNs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The least processor time, in nanoseconds, that `work` took in `rounds` runs.
template<typename Work> qint64 bestNs(int rounds, Work work)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int round = 0; round < rounds; ++round) {
        const qint64 start = threadNs();
        work();
        best = qMin(best, threadNs() - start);
    }
    return best;
}

// Nanoseconds to feed `head` and `size` bytes of a field byte by byte.
qint64 byteByByteNs(const QByteArray &head, qsizetype size)
{
    const QByteArray message = head + QByteArray(size, 'x');
    return bestNs(5, [&] {
        ChatStreamReader reader;
        for (const char byte : message)
            reader.feed(QByteArray(1, byte), 0);
    });
}

struct Pattern
{
    const char *name;
    QByteArray flood;
};

QByteArray repeated(const QByteArray &unit)
{
    return unit.repeated(FloodBytes / unit.size() + 1).left(FloodBytes);
}

// Random bytes, or random picks from `alphabet` when it is given.
QByteArray randomBytes(QByteArrayView alphabet = {})
{
    QRandomGenerator random(786);
    QByteArray bytes(FloodBytes, Qt::Uninitialized);
    for (char &byte : bytes) {
        const quint32 pick = random.generate();
        byte = alphabet.isEmpty() ? char(pick) : alphabet[pick % alphabet.size()];
    }
    return bytes;
}

QList<Pattern> hostilePatterns()
{
    const QByteArray markup("\\BLD\\F:Arial\\C: 255\\S: 10\\L:0\\{T:hi\\}");
    return {
        { "\\F: repeated", repeated("\\F:") },
        { "\\BLD\\ITL repeated", repeated("\\BLD\\ITL") },
        { "markup text that never ends", repeated("\\F:A\\{T:") },
        { "\\} that no message follows", repeated("\\F:A\\{T:\\}x") },
        { "{SEND} repeated", repeated("{SEND}") },
        { "{RECEV} repeated", repeated("{RECEV}") },
        { "identity / that no message follows", repeated("{SEND}/x") },
        { "{ run", repeated("{") },
        { "\\ run", repeated("\\") },
        { "\\{T: run", repeated("\\{T:") },
        { "\\} run", repeated("\\}") },
        { "near-miss tags", repeated("{SEN}{RECEV{YE}{NOT\\BL\\IT\\F{Y\\}") },
        { "random bytes", randomBytes() },
        { "random tag characters", randomBytes("{}\\/:SENDRCVYOTBLIF") },
        { "valid messages back to back", repeated(markup + "{SEND}nick/Full Name/a@b.c/{YES}") },
        { "{YES} back to back", repeated("{YES}") },
        { "a message every 3 bytes", repeated("x{NOT}") },
    };
}

double perMiB(qint64 ns, qsizetype bytes)
{
    return ns / 1e6 / (double(bytes) / (1024 * 1024));
}

// Milliseconds per MiB to feed `flood` in arrivals of `arrival` bytes.
double msPerMiB(const QByteArray &flood, qsizetype arrival)
{
    return perMiB(bestNs(3,
                      [&] {
                          ChatStreamReader reader;
                          for (qsizetype at = 0; at < flood.size(); at += arrival)
                              reader.feed(flood.mid(at, arrival), 0);
                          reader.expire(ChatStreamReader::PartialTimeoutMs);
                      }),
        flood.size());
}

// Milliseconds per MiB of `flood` to copy the messages the reader makes of it into arrays of
// their own: what a caller that kept every message would pay beside the reader.
double handOutMsPerMiB(const QByteArray &flood)
{
    const ChatMessages messages = ChatStreamReader().feed(flood, 0);
    return perMiB(bestNs(3, [&] { messages.toList(); }), flood.size());
}

} // namespace

int main()
{
    qint64 slowest = 0;
    double ratio = 0;
    for (const QByteArray &head : { QByteArray("\\F:Arial\\{T:"), QByteArray("{SEND}") }) {
        const qint64 longer = byteByByteNs(head, 32000);
        slowest = qMax(slowest, longer);
        ratio = qMax(ratio, double(longer) / double(byteByByteNs(head, 4000)));
    }
    std::printf("# a markup message and an identity of 32,000 field bytes fed one byte at a time,"
                " against 4,000; the slower\n");
    std::printf("stream_bytewise_ms: %.1f ms\n", slowest / 1e6);
    std::printf("stream_bytewise_ratio: %.1f\n", ratio);

    std::printf("# 4 MiB floods, ms per MiB: as one arrival, as %lld-byte arrivals, copying"
                " out the messages alone\n",
        static_cast<long long>(SegmentBytes));
    double worst = 0;
    for (const Pattern &pattern : hostilePatterns()) {
        const double whole = msPerMiB(pattern.flood, pattern.flood.size());
        const double segments = msPerMiB(pattern.flood, SegmentBytes);
        std::printf("#   %-36s %6.1f %6.1f %6.1f\n", pattern.name, whole, segments,
            handOutMsPerMiB(pattern.flood));
        worst = qMax(worst, qMax(whole, segments));
    }
    std::printf("stream_flood_ms_per_mb: %.1f ms/MB\n", worst);
    return 0;
}
