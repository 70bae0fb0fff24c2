#include "app/Announcer.h"

#include "chat/ChatSession.h"
#include "chat/MessageMarkup.h"
#include "net/WireText.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduUnicode.h"

namespace {

// Line breaks and other control characters a partner sends become blanks, a line break
// between two lines one blank.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar &character : text) {
        if (character.category() == QChar::Other_Control)
            character = u' ';
    }
    return text;
}

} // namespace

Announcer::Announcer(DesktopNotifications::BusConnector connectBus,
    std::function<WindowView()> windowView, QObject *parent)
    : QObject(parent)
    , m_notifications(new DesktopNotifications(std::move(connectBus), this))
    , m_windowView(std::move(windowView))
{
    connect(m_notifications, &DesktopNotifications::clicked, this, &Announcer::clicked);
    connect(m_notifications, &DesktopNotifications::undelivered, this, &Announcer::undelivered);
}

QString Announcer::trayToolTip() const
{
    const QString name = QStringLiteral("Kalvex v1.0");
    if (m_unread == 0)
        return name;
    return name
        + (m_unread == 1 ? QStringLiteral(" - 1 unread message")
                         : QStringLiteral(" - %1 unread messages").arg(m_unread));
}

QString Announcer::excerpt(const DecodedMessage &message)
{
    const QString text = oneLine(
        MessageMarkup::readableText(message, &UrduUnicode::fromGlyphs, QStringLiteral(" ")))
                             .trimmed();
    if (text.size() <= ExcerptLength)
        return text;
    return text.left(ExcerptLength) + u'…';
}

void Announcer::callArriving(const QString &partner)
{
    announce(oneLine(partner) + QStringLiteral(" wants to chat with you"), QString(),
        QStringLiteral("im"));
}

void Announcer::messageDecoded(const QString &nickname, int writer, const DecodedMessage &message)
{
    if (writer != ChatSession::Remote)
        return;
    if (m_windowView() == WindowView::Hidden)
        setUnread(m_unread + 1);
    announce(oneLine(nickname), excerpt(message), QStringLiteral("im.received"));
}

void Announcer::fileOffered(const QString &nickname, const QString &fileName)
{
    announce(oneLine(nickname) + QStringLiteral(" wants to send you a file"), oneLine(fileName),
        QStringLiteral("transfer"));
}

void Announcer::transferEnded(const QString &text, bool succeeded)
{
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (succeeded)
        announce(
            QStringLiteral("File transfer finished"), body, QStringLiteral("transfer.complete"));
    else
        announce(QStringLiteral("File transfer failed"), body, QStringLiteral("transfer.error"));
}

void Announcer::windowShown()
{
    setUnread(0);
}

void Announcer::announce(const QString &summary, const QString &body, const QString &category)
{
    if (m_windowView() != WindowView::InFront)
        m_notifications->notify(summary, body, category);
}

void Announcer::setUnread(int count)
{
    if (count == m_unread)
        return;
    m_unread = count;
    emit trayToolTipChanged(trayToolTip());
}
