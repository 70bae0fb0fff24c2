#pragma once

#include <QByteArray>
#include <QtGlobal>

// What several benchmarks measure alike.
namespace BenchSupport {

inline constexpr qsizetype FileSize = 2 * 1024 * 1024;
inline constexpr qsizetype ChunkSize = 1024;

// Milliseconds for bare Qt sockets on loopback to move FileSize bytes in ChunkSize pieces,
// each answered by "{NXT}" before the next: the floor any stop-and-wait exchange stands on.
double bareSocketStopAndWaitMs();

// A figure of /proc/self/status in KiB, by its field name ("VmRSS:", "VmHWM:"); 0 unknown.
long statusKiB(const QByteArray &field);

} // namespace BenchSupport
