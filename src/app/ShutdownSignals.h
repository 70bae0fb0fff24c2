#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into the signal received() on the thread of the event
// loop, so that the program can shut down as it does when its window closes. The signal
// handler only writes a byte into a socket pair, which is safe inside a handler. Once a
// signal has been received, and when the object goes, the signals get their default
// handling back. One object may exist at a time.
class ShutdownSignals final : public QObject
{
    Q_OBJECT

public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;
    Q_DISABLE_COPY_MOVE(ShutdownSignals)

signals:
    void received(int signalNumber);

private:
    void notifier_Activated();

    int m_sockets[2] = { -1, -1 };
    QSocketNotifier *m_notifier = nullptr;
};
