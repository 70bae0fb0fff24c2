// A 2 MiB file from one messenger to another over loopback, end to end (menu command to both
// sides idle again), against bare Qt sockets exchanging the same 1024-byte chunks
// stop-and-wait in the same run. The protocol's round trips bound both, so the ratio shows
// what the messenger adds. The peak memory of the process above its idle figure covers both
// sides, which share the process here.
#include "BenchSupport.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using BenchSupport::FileSize;
constexpr int Rounds = 5;

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TestMessenger::Ports ports = TestMessenger::freePorts();
    TestMessenger sender(QStringLiteral("127.0.0.1"), ports);
    TestMessenger receiver(QStringLiteral("127.0.0.2"), ports);
    QTemporaryDir files;
    for (TestMessenger *messenger : { &sender, &receiver }) {
        messenger->start();
        messenger->program->LocalNickname = QStringLiteral("bench");
    }
    receiver.program->DownloadPath = files.filePath(QStringLiteral("in"));
    if (!sender.openSessionWith(receiver, QStringLiteral("127.0.0.2"))) {
        std::puts("no session");
        return 1;
    }
    const QString path = files.filePath(QStringLiteral("big.bin"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(FileSize, 'f'));
    file.close();
    const QString arrived = receiver.program->DownloadPath + QStringLiteral("/big.bin");

    const long idle = BenchSupport::statusKiB("VmHWM:");
    std::vector<double> transfers;
    std::vector<double> baselines;
    for (int i = 0; i < Rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        sender.sendFile(path);
        TestMessenger::busyWaitFor(
            [&] { return sender.transferIdle() && receiver.transferIdle(); });
        transfers.push_back(clock.nsecsElapsed() / 1e6);
        if (QFileInfo(arrived).size() != FileSize) {
            std::puts("the file did not arrive whole");
            return 1;
        }
        QFile::remove(arrived);
        baselines.push_back(BenchSupport::bareSocketStopAndWaitMs());
    }
    const double transfer = median(transfers);
    const double baseline = median(baselines);
    std::printf("transfer_ms: %.1f ms\n", transfer);
    std::printf("baseline_ms: %.1f ms\n", baseline);
    std::printf("transfer_ratio: %.2f\n", transfer / baseline);
    std::printf("# both sides live in this process; the file is %lld KiB\n",
        static_cast<long long>(FileSize / 1024));
    std::printf("peak_above_idle_kb: %ld kB\n", BenchSupport::statusKiB("VmHWM:") - idle);
    std::printf("rss_after_transfer_kb: %ld kB\n", BenchSupport::statusKiB("VmRSS:"));
    return 0;
}
