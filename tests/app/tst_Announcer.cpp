#include "app/Announcer.h"
#include "chat/ChatSession.h"
#include "chat/MessageMarkup.h"
#include "support/NotificationBus.h"
#include "urdu/basUrdu.h"

#include <QSignalSpy>
#include <QTest>

using View = Announcer::WindowView;
using Event = std::function<void(Announcer &)>;
Q_DECLARE_METATYPE(Event)

namespace {

Event fromSara(const char *font, const QByteArray &text, int writer = ChatSession::Remote)
{
    DecodedMessage message;
    message.MsgFontName = QString::fromLatin1(font);
    message.MsgText = text;
    return [=](Announcer &announcer) {
        announcer.messageDecoded(QStringLiteral("sara"), writer, message);
    };
}

QDBusConnection noBus()
{
    return QDBusConnection(QStringLiteral("no bus"));
}

} // namespace

class tst_Announcer : public QObject
{
    Q_OBJECT

    NotificationBus m_bus;
    View m_view = View::Hidden;

private slots:
    void initTestCase()
    {
        if (const QString reason = m_bus.start(); !reason.isEmpty())
            QSKIP(qPrintable(reason));
    }

    // Only while the window is not in front; a partner's text on one line, Urdu as Unicode, at
    // most 100 characters, escaped only for a server that reads markup.
    void announcements_data()
    {
        QTest::addColumn<View>("view");
        QTest::addColumn<bool>("readsMarkup");
        QTest::addColumn<Event>("event");
        QTest::addColumn<QString>("notified");
        const QByteArray salaam = ShapeUrdu("slam");
        QTest::newRow("in front, nothing")
            << View::InFront << true << fromSara("Arial", "hi") << QString();
        QTest::newRow("behind, a message") << View::Behind << true
                                           << fromSara("Arial",
                                                  "\x93"
                                                  "Coming?\x94\r\n\tSee you")
                                           << QStringLiteral("sara | “Coming?”  See you");
        QTest::newRow("hidden, cut and escaped")
            << View::Hidden << true << fromSara("Arial", "<b>" + QByteArray(120, 'x'))
            << QStringLiteral("sara | &lt;b&gt;") + QString(97, u'x') + u'…';
        QTest::newRow("a server without markup")
            << View::Behind << false << fromSara("Arial", "<b>hi</b> & bye")
            << QStringLiteral("sara | <b>hi</b> & bye");
        QTest::newRow("Urdu as Unicode")
            << View::Hidden << true << fromSara("Qirtas1", salaam + "\r\n" + salaam)
            << QStringLiteral("sara | سلام سلام");
        QTest::newRow("our own message, nothing")
            << View::Hidden << true << fromSara("Arial", "hi", ChatSession::Local) << QString();
        QTest::newRow("a call") << View::Behind << true << Event([](Announcer &announcer) {
            announcer.callArriving(QStringLiteral("sara {127.0.0.2}"));
        }) << QStringLiteral("sara {127.0.0.2} wants to chat with you | ");
        QTest::newRow("a file offer") << View::Hidden << true << Event([](Announcer &announcer) {
            announcer.fileOffered(QStringLiteral("sara"), QStringLiteral("a&b.txt"));
        }) << QStringLiteral("sara wants to send you a file | a&amp;b.txt");
        QTest::newRow("a failed transfer")
            << View::Behind << false << Event([](Announcer &announcer) {
                   announcer.transferEnded(QStringLiteral("Not saved.\r\nDisk full"), false);
               })
            << QStringLiteral("File transfer failed | Not saved.\nDisk full");
    }
    void announcements()
    {
        QFETCH(View, view);
        QFETCH(bool, readsMarkup);
        QFETCH(Event, event);
        QFETCH(QString, notified);
        m_bus.readsMarkup = readsMarkup;
        m_bus.notified.clear();
        m_view = view;
        Announcer announcer(m_bus.connector(), [this] { return m_view; });
        event(announcer);
        // The bus keeps the order: once this one is there, any before it is too.
        m_view = View::Behind;
        announcer.transferEnded(QStringLiteral("last"), true);
        QTRY_VERIFY(m_bus.notified.contains(QStringLiteral("File transfer finished | last")));
        QCOMPARE(m_bus.notified.mid(0, m_bus.notified.size() - 1).join(u'\n'), notified);
        QCOMPARE(m_bus.sender, QStringLiteral("Kalvex kalvex default"));
    }

    // A partner writing flat out while the window is hidden leaves one notification that
    // follows the newest message: one call on the bus at a time, each replacing the last.
    void flood()
    {
        m_view = View::Hidden;
        m_bus.notified.clear();
        m_bus.replaced.clear();
        Announcer announcer(m_bus.connector(), [this] { return m_view; });
        for (int i = 1; i <= 500; ++i)
            fromSara("Arial", QByteArray::number(i))(announcer);
        QTRY_VERIFY(m_bus.notified.contains(QStringLiteral("sara | 500")));
        QCOMPARE(m_bus.notified,
            (QStringList { QStringLiteral("sara | 1"), QStringLiteral("sara | 500") }));
        QCOMPARE(m_bus.replaced, (QList<uint> { 0, m_bus.lastId - 1 }));
    }

    // Only the partner's messages that arrive while the window is hidden count, until it shows.
    void unreadCount()
    {
        Announcer announcer(noBus, [this] { return m_view; });
        QSignalSpy tips(&announcer, &Announcer::trayToolTipChanged);
        m_view = View::Hidden;
        for (const int writer : { ChatSession::Remote, ChatSession::Local, ChatSession::Remote })
            fromSara("Arial", "hi", writer)(announcer);
        m_view = View::Behind;
        fromSara("Arial", "hi")(announcer);
        announcer.windowShown();
        announcer.windowShown();
        QCOMPARE(tips,
            (QList<QVariantList> { { QStringLiteral("Kalvex v1.0 - 1 unread message") },
                { QStringLiteral("Kalvex v1.0 - 2 unread messages") },
                { QStringLiteral("Kalvex v1.0") } }));
    }

    // A click on one of ours brings the window back, not one on another program's. Without the
    // service, or without a bus, the notification comes back for the tray to show.
    void clicksAndFallback()
    {
        m_view = View::Hidden;
        m_bus.notified.clear();
        Announcer announcer(m_bus.connector(), [this] { return m_view; });
        QSignalSpy clicked(&announcer, &Announcer::clicked);
        QSignalSpy undelivered(&announcer, &Announcer::undelivered);
        announcer.callArriving(QStringLiteral("sara {127.0.0.2}"));
        QTRY_VERIFY(!m_bus.notified.isEmpty());
        m_bus.click(m_bus.lastId + 1);
        m_bus.click(m_bus.lastId);
        QTRY_COMPARE(clicked.size(), 1);

        const QVariantList offer { QStringLiteral("sara wants to send you a file"),
            QStringLiteral("a.txt") };
        m_bus.serve(false);
        announcer.fileOffered(QStringLiteral("sara"), QStringLiteral("a.txt"));
        QTRY_COMPARE(undelivered.value(0), offer);
        m_bus.serve(true);
        Announcer withoutBus(noBus, [this] { return m_view; });
        QSignalSpy undeliveredWithoutBus(&withoutBus, &Announcer::undelivered);
        withoutBus.fileOffered(QStringLiteral("sara"), QStringLiteral("a.txt"));
        QCOMPARE(undeliveredWithoutBus.value(0), offer);
    }
};

QTEST_MAIN(tst_Announcer)
#include "tst_Announcer.moc"
