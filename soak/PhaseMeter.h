#pragma once

#include <QElapsedTimer>
#include <QString>

// Watches one phase of the soak: the process's open descriptors and resident memory at the
// phase's start, middle and end, printed as "name: value unit" figures, and its duration
// from the meter's creation.
class PhaseMeter
{
public:
    // phase: the figures' middle name ("chat" gives soak_chat_fds_start ...).
    // rssToleranceKiB: how far resident memory may rise from the middle to the end.
    PhaseMeter(const QString &phase, long rssToleranceKiB);

    void start();
    void middle();
    // Prints the end figures, the phase's duration and how many rounds it completed.
    void end(int rounds, const QString &unit);
    // What grew past its bound during the phase, or an empty string.
    QString growth() const;

private:
    struct Sample
    {
        int fds = 0;
        long rssKiB = 0;
    };

    Sample take(const QString &when) const;

    QString m_phase;
    long m_rssToleranceKiB;
    QElapsedTimer m_clock;
    Sample m_start;
    Sample m_middle;
    Sample m_end;
};
