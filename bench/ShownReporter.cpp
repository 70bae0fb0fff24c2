// Linked into the programs that bench_startup_floor starts: once the first window has been
// exposed and painted, the program writes "shown" and ends, which stops the starter's clock.
// Both programs carry the same code, so what it costs weighs on both alike.
#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

class ShownReporter final : public QObject
{
public:
    using QObject::QObject;

protected:
    // The queued report runs after the exposure's handling, which paints the window.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()
            && static_cast<QWindow *>(watched)->isExposed())
            QMetaObject::invokeMethod(this, &ShownReporter::report, Qt::QueuedConnection);
        return false;
    }

private:
    static void report()
    {
        std::puts("shown");
        std::fflush(stdout);
        std::_Exit(0);
    }
};

void installShownReporter()
{
    QCoreApplication::instance()->installEventFilter(
        new ShownReporter(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installShownReporter)
