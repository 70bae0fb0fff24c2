// A partner that sends flat out: a raw peer opens a session with a complete messenger (its
// main window shown on the offscreen platform) and writes 200,000 messages as fast as the
// messenger takes them, alternately English and Urdu. Prints the messenger's peak resident set
// over the whole run and how many older parts of the transcript were written to files.
#include "BenchSupport.h"
#include "chat/ChatSession.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The peer keeps only this much unsent, so that its own buffer does not count as the
// messenger's memory.
constexpr qint64 PeerBacklog = 256 * 1024;

QByteArray markup(int number)
{
    if (number % 2 == 0)
        return "\\F:Arial\\C: 255\\S: 10\\L:0\\{T:message number " + QByteArray::number(number)
            + ", an ordinary English line\\}";
    return QByteArrayLiteral(
        "\\F:Qirtas1\\C: 0\\S: 14\\L:1\\{T:\xc1\xc2\xc3 \xc4\xc5 \xc6\xc7\xc8\xc9\r\n\\}");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The older parts go to a data folder of the run's own, not the user's.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvex"));
    // A shorter flood may be asked for on the command line.
    const int messages = argc > 1 ? QByteArray(argv[1]).toInt() : 200000;

    TestMessenger us(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
    us.startAs(QStringLiteral("ali"));
    // A raw socket, not a copy of Kalvex: it answers the callee's identity and then writes.
    QTcpSocket partner;
    QByteArray identity;
    TestMessenger::busyWaitFor([&] { return us.listening(); }, 5000);
    partner.bind(QHostAddress(QStringLiteral("127.0.0.2")));
    partner.connectToHost(QStringLiteral("127.0.0.1"), us.ports().chat);
    if (!TestMessenger::busyWaitFor(
            [&] { return (identity += partner.readAll()).endsWith('/'); }, 5000)) {
        std::fprintf(stderr, "the call was not answered\n");
        return 1;
    }
    partner.write("{RECEV}bob/Bob Smith/bob@example.org/");
    if (!TestMessenger::busyWaitFor([&] { return us.window().chat().sessionOpen(); }, 5000)) {
        std::fprintf(stderr, "no session\n");
        return 1;
    }

    int shown = 0;
    QObject::connect(&us.chat(), &ChatSession::messageDecoded, &us.chat(), [&] {
        // The scripted desktop keeps every sound it was asked to play; a real one does not.
        if (++shown % 1000 == 0)
            us.desktop.sounds.clear();
    });
    int sent = 0;
    QElapsedTimer clock;
    clock.start();
    TestMessenger::busyWaitFor(
        [&] {
            while (sent < messages && partner.bytesToWrite() < PeerBacklog)
                partner.write(markup(sent++));
            return shown == messages;
        },
        600000);

    const QDir parts(dataHome.filePath(QStringLiteral("Kalvex/transcripts")));
    std::printf("# %d of %d messages shown in %.1f s; resident at the end: %ld kB\n", shown,
        messages, clock.elapsed() / 1000.0, BenchSupport::statusKiB("VmRSS:"));
    std::printf("flood_rss_kb: %ld kB\n", BenchSupport::statusKiB("VmHWM:"));
    std::printf(
        "flood_parts_written: %lld\n", static_cast<long long>(parts.entryList(QDir::Files).size()));
    return shown == messages ? 0 : 1;
}
