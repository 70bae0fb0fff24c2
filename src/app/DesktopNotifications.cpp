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

void DesktopNotifications::notify(
    const QString &summary, const QString &body, const QString &category)
{
    if (!bus().isConnected()) {
        emit undelivered(summary, body);
        return;
    }
    const Note note { summary, body, category };
    if (m_sending)
        m_waiting = note;
    else
        start(note);
}

// Only servers that say they read markup in the body get it escaped; the others show it
// as it is typed, so to them the text goes unchanged. Either way a partner's words are never
// taken as markup. The capabilities are asked each time, as the server may change.
void DesktopNotifications::start(const Note &note)
{
    m_sending = true;
    onReply(new QDBusPendingCallWatcher(
                bus().asyncCall(methodCall(QStringLiteral("GetCapabilities"))), this),
        note, [=, this](const QDBusMessage &reply) {
            const QStringList capabilities = reply.arguments().value(0).toStringList();
            send(note, capabilities.contains(QStringLiteral("body-markup")));
        });
}

void DesktopNotifications::send(const Note &note, bool bodyIsMarkup)
{
    QDBusMessage message = methodCall(QStringLiteral("Notify"));
    const QVariantMap hints { { QStringLiteral("category"), note.category },
        { QStringLiteral("desktop-entry"), QStringLiteral("kalvex") } };
    const uint replaced = m_shown.isEmpty() ? 0 : m_shown.constLast();
    message << QStringLiteral("Kalvex") << replaced << QStringLiteral("kalvex") << note.summary
            << (bodyIsMarkup ? note.body.toHtmlEscaped() : note.body)
            << QStringList { QStringLiteral("default"), QStringLiteral("Show Messenger") } << hints
            << -1;
    onReply(new QDBusPendingCallWatcher(bus().asyncCall(message), this), note,
        [this](const QDBusMessage &reply) {
            remember(reply.arguments().value(0).toUInt());
            finish();
        });
}

void DesktopNotifications::onReply(QDBusPendingCallWatcher *watcher, const Note &note,
    std::function<void(const QDBusMessage &reply)> delivered)
{
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, note, delivered = std::move(delivered)](QDBusPendingCallWatcher *call) {
            call->deleteLater();
            if (!call->isError()) {
                delivered(call->reply());
                return;
            }
            emit undelivered(note.summary, note.body);
            finish();
        });
}

// The one that waited goes next.
void DesktopNotifications::finish()
{
    m_sending = false;
    if (!m_waiting)
        return;
    const Note next = *m_waiting;
    m_waiting.reset();
    start(next);
}

void DesktopNotifications::remember(uint id)
{
    m_shown.removeAll(id);
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
