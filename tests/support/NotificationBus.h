#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <functional>

// A session bus of the test's own (Debian's dbus-daemon) with a notification server on it,
// which records every Notify and can report a click as a real one does. The daemon ends with
// the object.
class NotificationBus final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    NotificationBus() = default;
    ~NotificationBus() override;

    // Starts the daemon and the server; empty on success, else why there is no bus.
    QString start();
    // How the program under test reaches the bus, with a connection of its own.
    std::function<QDBusConnection()> connector() const;
    // The server takes the service's name, or leaves the bus without one.
    void serve(bool serving);
    // The user clicks notification id.
    void click(uint id);

    // "summary | body" for each Notify, in order; the program's name, icon and first action
    // of the last one; the id it got.
    QStringList notified;
    QString sender;
    uint lastId = 0;
    // The id each Notify asked to replace (0 for none), in order.
    QList<uint> replaced;
    // Whether the server says it reads markup in the body.
    bool readsMarkup = true;

public slots:
    // The server's side of the interface: what the program under test calls.
    Q_SCRIPTABLE uint Notify(const QString &appName, uint replacesId, const QString &appIcon,
        const QString &summary, const QString &body, const QStringList &actions,
        const QVariantMap &hints, int timeout);
    Q_SCRIPTABLE QStringList GetCapabilities() const;

private:
    QDBusConnection server() const;

    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
};
