#include "app/DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = Service;
// Enough for every notification a user still sees; older ones can no longer be clicked.
constexpr qsizetype MaxRemembered = 32;

QDBusMessage methodCall(const QString &method)
{
    return QDBusMessage::createMethodCall(Service, ObjectPath, Interface, method);
}

} // namespace

DesktopNotifications::DesktopNotifications(BusConnector connectBus, QObject *parent)
    : QObject(parent)
    , m_connectBus(std::move(connectBus))
{
}

QDBusConnection &DesktopNotifications::bus()
{
    if (!m_bus) {
        m_bus = m_connectBus ? m_connectBus() : QDBusConnection::sessionBus();
        m_bus->connect(Service, ObjectPath, Interface, QStringLiteral("ActionInvoked"), this,
            SLOT(actionInvoked(uint, QString)));
        m_bus->connect(Service, ObjectPath, Interface, QStringLiteral("NotificationClosed"), this,
            SLOT(notificationClosed(uint, uint)));
    }
    return *m_bus;
}

// Only servers that say they read markup in the body get it escaped; the others show it
// as it is typed, so to them the text goes unchanged. Either way a partner's words are never
// taken as markup. The capabilities are asked each time, as the server may change.
void DesktopNotifications::notify(
    const QString &summary, const QString &body, const QString &category)
{
    if (!bus().isConnected()) {
        emit undelivered(summary, body);
        return;
    }
    onReply(new QDBusPendingCallWatcher(
                bus().asyncCall(methodCall(QStringLiteral("GetCapabilities"))), this),
        summary, body, [=, this](const QDBusMessage &reply) {
            const QStringList capabilities = reply.arguments().value(0).toStringList();
            send(summary, body, category, capabilities.contains(QStringLiteral("body-markup")));
        });
}

void DesktopNotifications::send(
    const QString &summary, const QString &body, const QString &category, bool bodyIsMarkup)
{
    QDBusMessage message = methodCall(QStringLiteral("Notify"));
    const QVariantMap hints { { QStringLiteral("category"), category },
        { QStringLiteral("desktop-entry"), QStringLiteral("kalvex") } };
    message << QStringLiteral("Kalvex") << uint(0) << QStringLiteral("kalvex") << summary
            << (bodyIsMarkup ? body.toHtmlEscaped() : body)
            << QStringList { QStringLiteral("default"), QStringLiteral("Show Messenger") } << hints
            << -1;
    onReply(new QDBusPendingCallWatcher(bus().asyncCall(message), this), summary, body,
        [this](const QDBusMessage &reply) { remember(reply.arguments().value(0).toUInt()); });
}

void DesktopNotifications::onReply(QDBusPendingCallWatcher *watcher, const QString &summary,
    const QString &body, std::function<void(const QDBusMessage &reply)> delivered)
{
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, summary, body, delivered = std::move(delivered)](QDBusPendingCallWatcher *call) {
            call->deleteLater();
            if (call->isError())
                emit undelivered(summary, body);
            else
                delivered(call->reply());
        });
}

void DesktopNotifications::remember(uint id)
{
    m_shown.append(id);
    if (m_shown.size() > MaxRemembered)
        m_shown.removeFirst();
}

void DesktopNotifications::actionInvoked(uint id, const QString &)
{
    if (m_shown.removeOne(id))
        emit clicked();
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    m_shown.removeOne(id);
}
