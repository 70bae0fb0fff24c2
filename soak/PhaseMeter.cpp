#include "PhaseMeter.h"

#include "BenchSupport.h"

#include <QStringList>

#include <cstdio>
#include <filesystem>
#include <iterator>

namespace {

int openDescriptors()
{
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return int(std::distance(begin(entries), end(entries)));
}

void print(const QString &name, double value, const QString &unit)
{
    std::printf(
        "%s: %.*f %s\n", qPrintable(name), value == qint64(value) ? 0 : 1, value, qPrintable(unit));
    std::fflush(stdout);
}

} // namespace

PhaseMeter::PhaseMeter(const QString &phase, long rssToleranceKiB)
    : m_phase(phase)
    , m_rssToleranceKiB(rssToleranceKiB)
{
    m_clock.start();
}

void PhaseMeter::start()
{
    m_start = take(QStringLiteral("start"));
}

void PhaseMeter::middle()
{
    m_middle = take(QStringLiteral("middle"));
}

void PhaseMeter::end(int rounds, const QString &unit)
{
    const double seconds = m_clock.nsecsElapsed() / 1e9;
    m_end = take(QStringLiteral("end"));
    print(QStringLiteral("soak_%1_s").arg(m_phase), seconds, QStringLiteral("s"));
    print(QStringLiteral("soak_%1_done").arg(m_phase), rounds, unit);
}

// The start is not compared for memory: Qt's and the allocator's caches fill during the first
// rounds, so resident memory rises early and then holds. Descriptors have no such excuse.
QString PhaseMeter::growth() const
{
    QStringList grown;
    if (m_middle.fds > m_start.fds || m_end.fds > m_start.fds)
        grown << QStringLiteral("open descriptors grew from %1 to %2 (middle) and %3 (end)")
                     .arg(m_start.fds)
                     .arg(m_middle.fds)
                     .arg(m_end.fds);
    if (m_end.rssKiB - m_middle.rssKiB > m_rssToleranceKiB)
        grown << QStringLiteral(
            "resident memory grew by %1 kB from the middle to the end, more than %2 kB")
                     .arg(m_end.rssKiB - m_middle.rssKiB)
                     .arg(m_rssToleranceKiB);
    return grown.isEmpty() ? QString()
                           : m_phase + QStringLiteral(": ") + grown.join(QStringLiteral("; "));
}

PhaseMeter::Sample PhaseMeter::take(const QString &when) const
{
    const Sample sample { openDescriptors(), BenchSupport::statusKiB("VmRSS:") };
    print(QStringLiteral("soak_%1_fds_%2").arg(m_phase, when), sample.fds, QStringLiteral("fds"));
    print(QStringLiteral("soak_%1_rss_%2").arg(m_phase, when), double(sample.rssKiB),
        QStringLiteral("kB"));
    return sample;
}
