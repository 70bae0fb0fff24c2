#include "BenchSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

namespace BenchSupport {

double bareSocketStopAndWaitMs()
{
    QTcpServer server;
    server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    QTcpSocket sender;
    QTcpSocket *receiver = nullptr;
    QEventLoop loop;
    QObject::connect(&server, &QTcpServer::newConnection, &loop, [&] {
        receiver = server.nextPendingConnection();
        loop.quit();
    });
    sender.connectToHost(QHostAddress(QStringLiteral("127.0.0.1")), server.serverPort());
    loop.exec();

    const QByteArray chunk(ChunkSize, 'k');
    qsizetype received = 0;
    QObject::connect(receiver, &QIODevice::readyRead, receiver, [&] {
        received += receiver->readAll().size();
        receiver->write("{NXT}");
        if (received >= FileSize)
            loop.quit();
    });
    QObject::connect(&sender, &QIODevice::readyRead, &sender, [&] {
        sender.readAll();
        sender.write(chunk);
    });
    QElapsedTimer clock;
    clock.start();
    sender.write(chunk);
    loop.exec();
    return clock.nsecsElapsed() / 1e6;
}

long statusKiB(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLong();
    }
    return 0;
}

FirstAndLast firstAndLastBatch(int count, int batch, const std::function<void(int)> &append)
{
    FirstAndLast taken { 0, 0 };
    QElapsedTimer timer;
    for (int number = 0; number < count; ++number) {
        if (number % batch == 0)
            timer.start();
        append(number);
        QCoreApplication::processEvents();
        if (number == batch - 1)
            taken.first = timer.nsecsElapsed();
        if (number == count - 1)
            taken.last = timer.nsecsElapsed();
    }
    return taken;
}

} // namespace BenchSupport
