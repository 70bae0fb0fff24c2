#include "app/basMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    basMain program;
    program.Main();
    return app.exec();
}
