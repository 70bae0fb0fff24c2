// From the start of the process to the messenger waiting for calls: both ports listening and
// the main window shown; then the resident memory of that idle messenger.
#include "BenchSupport.h"
#include "app/basMain.h"
#include "net/SocketEndpoint.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// Seconds since boot, from the kernel's clock of process start times.
double uptimeSeconds()
{
    QFile uptime(QStringLiteral("/proc/uptime"));
    return uptime.open(QIODevice::ReadOnly) ? uptime.readAll().split(' ').first().toDouble() : 0;
}

// When this process started, in seconds since boot (field 22 of /proc/self/stat).
double processStartSeconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The command name may hold blanks; the fields after it are counted from its ")".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.value(19).toDouble() / double(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir settings;
    Environment environment;
    environment.desktop = &Desktop::system();
    environment.makeMainWindow = &frmMain::make;
    // The real ports where this user may bind them; a free pair otherwise.
    if (geteuid() != 0) {
        environment.chatPort = 0;
        environment.filePort = 0;
    }
    basMain program(
        std::make_unique<SettingsStore>(settings.filePath(QStringLiteral("Kalvex.conf"))),
        environment);
    program.Main();
    frmMain &window = *static_cast<frmMain *>(program.mainWindow());
    const bool ready = QTest::qWaitForWindowExposed(&window)
        && window.WskMain().State() == SocketEndpoint::SocketState::Listening
        && window.WskFTP().State() == SocketEndpoint::SocketState::Listening;
    const double startup = (uptimeSeconds() - processStartSeconds()) * 1000;
    if (!ready) {
        std::puts("# the messenger did not come up listening");
        return 1;
    }
    std::printf("# the clock of process start times counts in steps of %.0f ms\n",
        1000.0 / double(sysconf(_SC_CLK_TCK)));
    std::printf("startup_ms: %.0f ms\n", startup);
    std::printf("rss_idle_kb: %ld kB\n", BenchSupport::statusKiB("VmRSS:"));
    std::fflush(stdout);
    std::_Exit(0);
}
