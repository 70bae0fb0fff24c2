// The messenger's start against the floor that any Qt 6 program with one main window stands
// on: the real program (src/main.cpp) and a bare QMainWindow, each timed from its start to its
// first window shown and painted, started in turn in one run under Xvfb (offscreen where there
// is no Xvfb), with their own empty settings and runtime folders. The same bare window with a
// label and two menus is timed beside them: what a window that draws any text cannot avoid.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Starts = 7;

// Milliseconds from starting the program to its "shown", or -1 when it never came.
double startToShownMs(
    const QString &program, QProcessEnvironment environment, const QStringList &arguments = {})
{
    QTemporaryDir runtime;
    QTemporaryDir config;
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    const bool shown = process.waitForReadyRead(10000) && process.readAll().startsWith("shown");
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    process.kill();
    process.waitForFinished();
    return shown ? elapsed : -1;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// A private X server for the run; its display number comes back on the descriptor named.
bool startXvfb(QProcess &xvfb, QProcessEnvironment &environment)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty())
        return false;
    xvfb.start(program,
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("1280x1024x24") });
    if (!xvfb.waitForReadyRead(10000))
        return false;
    const QString display = QString::fromLatin1(xvfb.readLine().trimmed());
    environment.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QProcess xvfb;
    if (startXvfb(xvfb, environment))
        std::puts("# both programs under a private Xvfb");
    else
        std::puts("# no Xvfb here: both programs offscreen");
    const QString folder = QCoreApplication::applicationDirPath();
    const QString kalvex = folder + QStringLiteral("/startup_kalvex");
    const QString floor = folder + QStringLiteral("/startup_floor");

    // One untimed start of each fills the page cache, as any start after the first finds it.
    startToShownMs(kalvex, environment);
    startToShownMs(floor, environment);
    const QStringList withText { QStringLiteral("--text") };
    startToShownMs(floor, environment, withText);
    QList<double> kalvexMs;
    QList<double> floorMs;
    QList<double> textFloorMs;
    for (int start = 0; start < Starts; ++start) {
        kalvexMs << startToShownMs(kalvex, environment);
        floorMs << startToShownMs(floor, environment);
        textFloorMs << startToShownMs(floor, environment, withText);
    }
    xvfb.terminate();
    xvfb.waitForFinished();
    if (kalvexMs.contains(-1) || floorMs.contains(-1) || textFloorMs.contains(-1)) {
        std::puts("# a program did not show its window");
        return 1;
    }
    std::printf("# medians of %d alternating starts, start to first window painted\n", Starts);
    std::printf("startup_kalvex_ms: %.1f ms\n", median(kalvexMs));
    std::printf("startup_floor_ms: %.1f ms\n", median(floorMs));
    std::printf("startup_floor_ratio: %.2f\n", median(kalvexMs) / median(floorMs));
    // What any window with text pays on top of the floor, and the messenger against that.
    std::printf("startup_text_floor_ms: %.1f ms\n", median(textFloorMs));
    std::printf("startup_text_floor_ratio: %.2f\n", median(textFloorMs) / median(floorMs));
    std::printf("startup_over_text_floor_ratio: %.2f\n", median(kalvexMs) / median(textFloorMs));
    return 0;
}
