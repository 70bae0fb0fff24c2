// Stop-and-wait over loopback the way a file goes: 2 MiB in 1024-byte pieces, each answered
// by a 5-byte request for the next, once between two endpoints and once between two bare
// Qt sockets, so the endpoint's own cost shows against the same run.
#include "BenchSupport.h"
#include "net/SocketEndpoint.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using BenchSupport::ChunkSize;
using BenchSupport::FileSize;
constexpr int Rounds = 7;
const QByteArray NextRequest("{NXT}");

double endpointRound()
{
    SocketEndpoint receiver(nullptr, QHostAddress(QStringLiteral("127.0.0.1")));
    SocketEndpoint sender(nullptr, QHostAddress(QStringLiteral("127.0.0.2")));
    receiver.Listen();
    QObject::connect(&receiver, &SocketEndpoint::ConnectionRequest, &receiver, [&](qint32 id) {
        receiver.Close();
        receiver.Accept(id);
    });
    QEventLoop loop;
    QObject::connect(&sender, &SocketEndpoint::Connected, &loop, &QEventLoop::quit);
    sender.setRemoteHost(QStringLiteral("127.0.0.1"));
    sender.setRemotePort(receiver.LocalPort());
    sender.Connect();
    loop.exec();

    const QByteArray chunk(ChunkSize, 'k');
    qsizetype received = 0;
    QObject::connect(&receiver, &SocketEndpoint::DataArrival, &receiver, [&] {
        received += receiver.GetData().size();
        receiver.SendData(NextRequest);
        if (received >= FileSize)
            loop.quit();
    });
    QObject::connect(&sender, &SocketEndpoint::DataArrival, &sender, [&] {
        sender.GetData();
        sender.SendData(chunk);
    });
    QElapsedTimer clock;
    clock.start();
    sender.SendData(chunk);
    loop.exec();
    return clock.nsecsElapsed() / 1e6;
}

void report(const char *name, double (*round)())
{
    std::vector<double> times;
    for (int i = 0; i < Rounds; ++i)
        times.push_back(round());
    std::sort(times.begin(), times.end());
    std::printf("# %s: min %.1f ms, max %.1f ms\n", name, times.front(), times.back());
    std::printf("%s: %.1f ms\n", name, times[times.size() / 2]);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    report("endpoint_stop_and_wait_ms", endpointRound);
    report("socket_stop_and_wait_ms", BenchSupport::bareSocketStopAndWaitMs);
    return 0;
}
