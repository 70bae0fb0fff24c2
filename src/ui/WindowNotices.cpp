#include "ui/WindowNotices.h"

#include "app/basMain.h"
#include "chat/ChatSession.h"
#include "transfer/TransferSession.h"

#include <QApplication>
#include <QEvent>
#include <QSystemTrayIcon>
#include <QWidget>

WindowNotices::WindowNotices(QWidget *window, basMain &program, QSystemTrayIcon *trayIcon,
    std::function<bool()> trayAvailable)
    : QObject(window)
    , m_window(window)
    , m_trayIcon(trayIcon)
    , m_trayAvailable(std::move(trayAvailable))
    , m_announcer(new Announcer(
          program.environment().notificationBus, [this] { return windowView(); }, this))
{
    connect(&program.chat(), &ChatSession::userAsked, m_announcer, &Announcer::callArriving);
    connect(&program.chat(), &ChatSession::messageDecoded, m_announcer, &Announcer::messageDecoded);
    connect(
        &program.transfer(), &TransferSession::fileOffered, m_announcer, &Announcer::fileOffered);
    connect(&program.transfer(), &TransferSession::transferEnded, m_announcer,
        &Announcer::transferEnded);
    connect(m_announcer, &Announcer::clicked, this, &WindowNotices::showRequested);
    connect(m_announcer, &Announcer::undelivered, this, &WindowNotices::showTrayBalloon);
    connect(m_announcer, &Announcer::trayToolTipChanged, m_trayIcon, &QSystemTrayIcon::setToolTip);
    connect(m_trayIcon, &QSystemTrayIcon::messageClicked, this, &WindowNotices::showRequested);
    m_window->installEventFilter(this);
}

void WindowNotices::windowShown()
{
    m_announcer->windowShown();
}

// A window restored or activated by the desktop, not through the tray, is seen as well.
bool WindowNotices::eventFilter(QObject *, QEvent *event)
{
    if ((event->type() == QEvent::WindowStateChange || event->type() == QEvent::ActivationChange)
        && windowView() != Announcer::WindowView::Hidden)
        m_announcer->windowShown();
    return false;
}

// The window is in front while it, or one of its dialogs, is the active window.
Announcer::WindowView WindowNotices::windowView() const
{
    if (!m_window->isVisible() || m_window->isMinimized())
        return Announcer::WindowView::Hidden;
    for (const QWidget *active = QApplication::activeWindow(); active;
         active = active->parentWidget()) {
        if (active == m_window)
            return Announcer::WindowView::InFront;
    }
    return Announcer::WindowView::Behind;
}

// Without a tray that shows balloons either, nothing is shown.
void WindowNotices::showTrayBalloon(const QString &title, const QString &text)
{
    if (m_trayAvailable() && QSystemTrayIcon::supportsMessages())
        m_trayIcon->showMessage(title, text);
}
