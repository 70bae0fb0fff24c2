#include "ui/FirstPaint.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

FirstPaint::FirstPaint(QWidget *window, std::function<void()> then)
    : QObject(window)
    , m_window(window)
    , m_then(std::move(then))
{
    window->installEventFilter(this);
}

// The window's native window exists once it is shown; its exposures come after.
bool FirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    QWindow *native = m_window->windowHandle();
    if (watched == m_window && event->type() == QEvent::Show) {
        native->installEventFilter(this);
    } else if (watched == native && event->type() == QEvent::Expose && native->isExposed()) {
        m_window->removeEventFilter(this);
        native->removeEventFilter(this);
        // An exposure is handled by painting the window; what is queued here runs after it.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_then();
                deleteLater();
            },
            Qt::QueuedConnection);
    }
    return false;
}
