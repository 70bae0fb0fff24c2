#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QDBusPendingCallWatcher;

// The desktop's notification service, the freedesktop.org interface on the session bus.
// Nothing is connected until the first notification goes, so a start-up that shows none
// opens no bus. Every call is asynchronous: a slow or absent service never holds the window.
// A notification the service cannot show (no bus, no service, an error) comes back as
// undelivered, for the caller to show another way.
//
// One notification is on its way at a time, and each takes the place of the last of ours the
// desktop still shows: a partner writing flat out leaves one notification that follows the
// newest message, never a pile of them on the desktop or of calls on the bus.
class DesktopNotifications final : public QObject
{
    Q_OBJECT

public:
    // Gives the bus to use; asked once, at the first notification.
    using BusConnector = std::function<QDBusConnection()>;

    explicit DesktopNotifications(BusConnector connectBus, QObject *parent = nullptr);

    // summary and body are plain text; category is one of the notification categories
    // desktops know ("im.received", "transfer.complete", ...).
    void notify(const QString &summary, const QString &body, const QString &category);

signals:
    // The user clicked one of our notifications (or chose one of its actions).
    void clicked();
    void undelivered(const QString &summary, const QString &body);

private slots:
    // The service's signals, which it sends to every client: only our own ids count.
    void actionInvoked(uint id, const QString &actionKey);
    void notificationClosed(uint id, uint reason);

private:
    struct Note
    {
        QString summary;
        QString body;
        QString category;
    };

    QDBusConnection &bus();
    void start(const Note &note);
    void send(const Note &note, bool bodyIsMarkup);
    // Watches a call; a failed one leaves the notification undelivered.
    void onReply(QDBusPendingCallWatcher *watcher, const Note &note,
        std::function<void(const QDBusMessage &reply)> delivered);
    void finish();
    void remember(uint id);

    BusConnector m_connectBus;
    std::optional<QDBusConnection> m_bus;
    // The ids of our notifications still on show, newest last; only these may be clicked.
    QList<uint> m_shown;
    // Whether a notification is on its way, and the newest one waiting for it.
    bool m_sending = false;
    std::optional<Note> m_waiting;
};
