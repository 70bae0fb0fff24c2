#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>

// What several benchmarks measure alike.
namespace BenchSupport {

inline constexpr qsizetype FileSize = 2 * 1024 * 1024;
inline constexpr qsizetype ChunkSize = 1024;

// Milliseconds for bare Qt sockets on loopback to move FileSize bytes in ChunkSize pieces,
// each answered by "{NXT}" before the next: the floor any stop-and-wait exchange stands on.
double bareSocketStopAndWaitMs();

// A figure of /proc/self/status in KiB, by its field name ("VmRSS:", "VmHWM:"); 0 unknown.
long statusKiB(const QByteArray &field);

// Nanoseconds taken by the first and by the last `batch` of `count` calls of `append`, each
// followed by the events it raised, as messages arrive one socket event at a time.
struct FirstAndLast
{
    qint64 first;
    qint64 last;

    double ratio() const { return double(last) / double(first); }
};
FirstAndLast firstAndLastBatch(int count, int batch, const std::function<void(int)> &append);

} // namespace BenchSupport
