#include "support/NotificationBus.h"

#include <QDBusMessage>
#include <QStandardPaths>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");

// A bus on a socket in the test's folder, open to every client and name, with no services
// to start: a notification daemon installed on the machine must not answer in our place.
const char *const Config = R"(<busconfig>
  <type>session</type>
  <listen>unix:path=%1/bus</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

NotificationBus::~NotificationBus()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("server ") + m_address);
    QDBusConnection::disconnectFromBus(QStringLiteral("client ") + m_address);
    m_daemon.kill();
    m_daemon.waitForFinished();
}

QString NotificationBus::start()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        return QStringLiteral("no dbus-daemon (Debian package dbus-daemon) to start a bus with");
    QFile config(m_folder.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly)
        || config.write(QString::fromLatin1(Config).arg(m_folder.path()).toUtf8()) < 0)
        return QStringLiteral("cannot write the bus's configuration");
    config.close();
    m_daemon.start(daemon,
        { QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
            QStringLiteral("--print-address") });
    if (!m_daemon.waitForReadyRead(10000))
        return QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
    m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    if (!server().isConnected()
        || !server().registerObject(ObjectPath, this, QDBusConnection::ExportScriptableSlots))
        return QStringLiteral("cannot serve on the bus at ") + m_address;
    serve(true);
    return QString();
}

QDBusConnection NotificationBus::server() const
{
    return QDBusConnection::connectToBus(m_address, QStringLiteral("server ") + m_address);
}

std::function<QDBusConnection()> NotificationBus::connector() const
{
    return [address = m_address] {
        return QDBusConnection::connectToBus(address, QStringLiteral("client ") + address);
    };
}

void NotificationBus::serve(bool serving)
{
    if (serving)
        server().registerService(Service);
    else
        server().unregisterService(Service);
}

void NotificationBus::click(uint id)
{
    QDBusMessage clicked
        = QDBusMessage::createSignal(ObjectPath, Service, QStringLiteral("ActionInvoked"));
    clicked << id << QStringLiteral("default");
    server().send(clicked);
}

uint NotificationBus::Notify(const QString &appName, uint replacesId, const QString &appIcon,
    const QString &summary, const QString &body, const QStringList &actions, const QVariantMap &,
    int)
{
    notified << summary + QStringLiteral(" | ") + body;
    replaced << replacesId;
    sender = QStringList { appName, appIcon, actions.value(0) }.join(u' ');
    return ++lastId;
}

QStringList NotificationBus::GetCapabilities() const
{
    return readsMarkup ? QStringList { QStringLiteral("body"), QStringLiteral("body-markup") }
                       : QStringList { QStringLiteral("body") };
}
