#include "app/SecureStart.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "app/basMain.h"
#include "ui/frmMain.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char *argv[])
{
    if (SecureStart::secureMode())
        SecureStart::dropPluginFolders(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvex"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // A second start by the same user brings the running window forward and ends here,
    // before it would hold no ports and show "Closed.".
    auto singleInstance = std::make_unique<SingleInstance>();
    if (!singleInstance->claim())
        return EXIT_SUCCESS;
    // The messenger ends only through its main window's shut-down, which also runs while
    // the window is hidden in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    Environment environment;
    environment.desktop = &Desktop::system();
    environment.makeMainWindow = &frmMain::make;
    basMain program(std::make_unique<SettingsStore>(), environment);

    // Every other end goes through the same shut-down, so the settings are written: a
    // signal, the session manager asking to save before logout, and any other quit of the
    // event loop (the shut-down runs only once).
    ShutdownSignals shutdownSignals;
    QObject::connect(
        &shutdownSignals, &ShutdownSignals::received, &app, [&program] { program.Unload(); });
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &app, [&program] { program.SaveSettings(); },
        Qt::DirectConnection);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&program] { program.Unload(); });

    program.Main();
    QObject::connect(singleInstance.get(), &SingleInstance::showRequested, &app,
        [&program] { qobject_cast<frmMain *>(program.mainWindow())->ShowMessenger(); });
    const int exitCode = QApplication::exec();
    // The socket file goes with the copy, so the next start finds none to replace.
    singleInstance.reset();
    // Everything is saved and closed by now. Ending here skips the application's clean-up,
    // which would wait for a host-name lookup still running (up to about ten seconds).
    std::_Exit(exitCode);
}
