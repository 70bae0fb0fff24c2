#include "app/basMain.h"
#include "resources/ProgramIcon.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvex"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(ProgramIcon::icon());
    // The messenger ends only through its main window's shut-down, which also runs while
    // the window is hidden in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    basMain program;
    program.Main();
    return app.exec();
}
