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
class DesktopNotifications final : public QObject
{
    Q_OBJECT

public:
    // Gives the bus to use; asked once, at the first notification.
    using BusConnector = std::function<QDBusConnection()>;

    explicit DesktopNotifications(BusConnector connectBus, QObject *parent = nullptr);

    // summary and body are plain text; category is one of the specification's hints
    // ("im.received", "transfer.complete", ...).
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
    QDBusConnection &bus();
    void send(
        const QString &summary, const QString &body, const QString &category, bool bodyIsMarkup);
    // Watches a call; a failed one leaves the notification undelivered.
    void onReply(QDBusPendingCallWatcher *watcher, const QString &summary, const QString &body,
        std::function<void(const QDBusMessage &reply)> delivered);
    void remember(uint id);

    BusConnector m_connectBus;
    std::optional<QDBusConnection> m_bus;
    // The ids of our notifications still on show, newest last; only these may be clicked.
    QList<uint> m_shown;
};
