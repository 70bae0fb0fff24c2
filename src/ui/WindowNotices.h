#pragma once

#include "app/Announcer.h"

#include <QObject>

#include <functional>

class QSystemTrayIcon;
class QWidget;
class basMain;

// What the user is told while the main window is not in front: the sessions' news goes to the
// desktop's notifications, or to the tray's balloon where the desktop shows none, and the tray's
// tip counts the messages that arrived while the window was hidden. A click on either asks for
// the window back.
class WindowNotices final : public QObject
{
    Q_OBJECT

public:
    WindowNotices(QWidget *window, basMain &program, QSystemTrayIcon *trayIcon,
        std::function<bool()> trayAvailable);

    // The window is on screen again: what arrived meanwhile has been seen.
    void windowShown();

signals:
    void showRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Announcer::WindowView windowView() const;
    void showTrayBalloon(const QString &title, const QString &text);

    QWidget *m_window;
    QSystemTrayIcon *m_trayIcon;
    std::function<bool()> m_trayAvailable;
    Announcer *m_announcer;
};
