#pragma once

#include "app/DesktopNotifications.h"

#include <QObject>
#include <QString>

#include <functional>

struct DecodedMessage;

// What the user is told of the chat and the transfers while the window is not in front: an
// incoming call, a message from the partner, a file offer and the end of a transfer go to the
// desktop's notifications (or, where it shows none, back to the window for its tray), and the
// partner's messages that arrive while the window is hidden are counted for the tray's tip.
// Sounds are not its business.
class Announcer final : public QObject
{
    Q_OBJECT

public:
    enum class WindowView {
        InFront, // shown, and it or one of its dialogs is the active window
        Behind, // shown, another window is active
        Hidden, // in the tray or minimized
    };
    // The most characters of a message a notification shows.
    static constexpr qsizetype ExcerptLength = 100;

    Announcer(DesktopNotifications::BusConnector connectBus, std::function<WindowView()> windowView,
        QObject *parent = nullptr);

    int unread() const { return m_unread; }
    // The tray icon's tip: the program's name, and the count of messages not yet seen.
    QString trayToolTip() const;
    // A message's text on one line as the transcript shows it (Urdu as Unicode), cut to
    // ExcerptLength characters with "…" when longer, control characters as blanks.
    static QString excerpt(const DecodedMessage &message);

    // partner as the question names it: "nickname {address}".
    void callArriving(const QString &partner);
    void messageDecoded(const QString &nickname, int writer, const DecodedMessage &message);
    void fileOffered(const QString &nickname, const QString &fileName);
    void transferEnded(const QString &text, bool succeeded);
    // The window is on screen again: what arrived meanwhile has been seen.
    void windowShown();

signals:
    // A notification was clicked: the window should come back.
    void clicked();
    // The desktop showed no notification; the window may show it another way.
    void undelivered(const QString &summary, const QString &body);
    void trayToolTipChanged(const QString &text);

private:
    void announce(const QString &summary, const QString &body, const QString &category);
    void setUnread(int count);

    DesktopNotifications *m_notifications;
    std::function<WindowView()> m_windowView;
    int m_unread = 0;
};
