// The floors for bench_startup_floor: a bare Qt 6 main window, shown; with "--text", the same
// window with one label and two menus of one entry, the least a window with text pays.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    if (QCoreApplication::arguments().contains(QStringLiteral("--text"))) {
        window.setCentralWidget(new QLabel(QStringLiteral("Listening..."), &window));
        window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Connect"));
        window.menuBar()->addMenu(QStringLiteral("&Options"))->addAction(QStringLiteral("&Font"));
    }
    window.show();
    return QApplication::exec();
}
