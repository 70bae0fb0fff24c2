#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using State = SocketEndpoint::SocketState;

// The main window from start-up to shut-down: its start state, the tray, and the order in
// which it leaves.
class tst_frmMain : public QObject
{
    Q_OBJECT

private:
    static QAction *action(const frmMain &window, const QString &name)
    {
        return window.findChild<QAction *>(name);
    }

private slots:
    // A fixed-size window that starts with nothing to send and nowhere to send it.
    void frameAndControlsAtStart()
    {
        TestMessenger messenger(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
        messenger.start();
        frmMain &window = messenger.window();
        QCOMPARE(window.windowTitle(), QStringLiteral("Kalvex v1.0"));
        QCOMPARE(window.centralWidget()->size(), QSize(277, 376));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!window.findChild<UrduText *>(QStringLiteral("txtSend"))->isEnabled());
        QVERIFY(!window.findChild<QPlainTextEdit *>(QStringLiteral("txtSendEN"))->isVisible());
        QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("cmdSend"))->isEnabled());
        for (const QString &entry : { QStringLiteral("mnuSaveAs"), QStringLiteral("mnuPrint"),
                 QStringLiteral("mnuRemote"), QStringLiteral("mnuSendFile") })
            QVERIFY2(!action(window, entry)->isEnabled(), qPrintable(entry));
    }

    // The first copy listens on both ports; a second one on the same machine cannot, says
    // so, and still calls out.
    void firstCopyListensSecondCallsOut()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger first(QStringLiteral("127.0.0.1"), ports);
        TestMessenger second(QStringLiteral("127.0.0.1"), ports);
        first.start();
        second.start();
        for (const SocketEndpoint *socket : { &first.window().WskMain(), &first.window().WskFTP() })
            QCOMPARE(socket->State(), State::Listening);
        QCOMPARE(first.window().WskMain().LocalPort(), ports.chat);
        QCOMPARE(first.window().WskFTP().LocalPort(), ports.file);
        QTRY_COMPARE(first.window().statusText(0), QStringLiteral("Listening..."));
        QCOMPARE(second.window().WskMain().State(), State::Closed);
        QCOMPARE(second.window().WskFTP().State(), State::Closed);
        QTRY_COMPARE(second.window().statusText(0), QStringLiteral("Closed."));

        QVERIFY(second.callChatSocketOf(first, QStringLiteral("127.0.0.1")));
        QTRY_COMPARE(second.window().statusText(0), QStringLiteral("Connecting..."));
    }

    void everyWayOutShutsDown_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("close box") << QString();
        QTest::newRow("File > Exit") << QStringLiteral("mnuExit");
        QTest::newRow("tray > Exit") << QStringLiteral("mnuExitT");
    }
    // The settings are written while the chat connection still stands; then the partner
    // sees its socket closed by the peer.
    void everyWayOutShutsDown()
    {
        QFETCH(QString, way);
        const auto ports = TestMessenger::freePorts();
        TestMessenger leaving(QStringLiteral("127.0.0.1"), ports);
        TestMessenger partner(QStringLiteral("127.0.0.2"), ports);
        leaving.start();
        partner.start();
        QVERIFY(leaving.callChatSocketOf(partner, QStringLiteral("127.0.0.2")));
        SocketEndpoint &caller = leaving.window().WskMain();
        SocketEndpoint &callee = partner.window().WskMain();

        QList<State> stateAtWrite;
        leaving.store->onWrite = [&](const QString &) { stateAtWrite << caller.State(); };
        bool partnerSawClose = false;
        QObject::connect(&callee, &SocketEndpoint::PeerClosed, &partner.window(),
            [&] { partnerSawClose = true; });

        if (way.isEmpty())
            leaving.window().close();
        else
            action(leaving.window(), way)->trigger();

        QCOMPARE(stateAtWrite, QList<State>(5, State::Connected));
        QCOMPARE(leaving.endProcessCalls, 1);
        QVERIFY(!leaving.window().trayIconShown());
        QCOMPARE(caller.State(), State::Closed);
        QCOMPARE(leaving.window().WskFTP().State(), State::Closed);
        QTRY_VERIFY(partnerSawClose);
        QCOMPARE(callee.State(), State::Closing);
    }

    // Help opens the help page that ships beside the program.
    void helpOpensPageBesideProgram()
    {
        TestMessenger messenger(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
        messenger.start();
        action(messenger.window(), QStringLiteral("mnuHlepTopics"))->trigger();
        QCOMPARE(messenger.desktop.opened.size(), 1);
        QVERIFY(TestFiles::read(messenger.desktop.opened.first().toLocalFile())
                    .contains("<title>Kalvex Help</title>"));
    }

    // Minimized with a tray, the window hides; the tray's left button or its menu entry
    // brings it back to the top-left corner, other clicks leave it hidden. Without a tray
    // it stays on the task bar.
    void trayRestoresWindow_data()
    {
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<int>("click"); // a tray activation, or none for the menu entry
        QTest::addColumn<bool>("shown");
        QTest::newRow("left button") << true << int(QSystemTrayIcon::Trigger) << true;
        QTest::newRow("Show Messenger") << true << -1 << true;
        QTest::newRow("double click") << true << int(QSystemTrayIcon::DoubleClick) << false;
        QTest::newRow("middle button") << true << int(QSystemTrayIcon::MiddleClick) << false;
        QTest::newRow("no tray") << false << -1 << true;
    }
    void trayRestoresWindow()
    {
        QFETCH(bool, trayAvailable);
        QFETCH(int, click);
        QFETCH(bool, shown);
        TestMessenger messenger(
            QStringLiteral("127.0.0.1"), TestMessenger::freePorts(), trayAvailable);
        messenger.start();
        frmMain &window = messenger.window();
        window.move(160, 120);
        window.showMinimized();
        QTRY_COMPARE(window.isVisible(), !trayAvailable);
        if (click >= 0)
            emit window.findChild<QSystemTrayIcon *>()->activated(
                QSystemTrayIcon::ActivationReason(click));
        else
            action(window, QStringLiteral("mnuShowMessenger"))->trigger();
        QCOMPARE(window.isVisible(), shown);
        if (shown) {
            QVERIFY(!window.isMinimized());
            QCOMPARE(window.pos(), window.screen()->geometry().topLeft());
        }
    }

    // After the partner hangs up, or after a call that fails, the status bar says so for
    // a moment and then reads "Listening..." again, with the chat port taking calls.
    // Connected means exactly the chat socket's connected state, not its closing one.
    void statusReturnsToListening_data()
    {
        QTest::addColumn<bool>("partnerHangsUp");
        QTest::addColumn<QString>("passingStatus");
        QTest::newRow("partner hangs up")
            << true << QStringLiteral("Remote is Closing the Connection.");
        QTest::newRow("call fails") << false << QStringLiteral("Problem Connecting...");
    }
    void statusReturnsToListening()
    {
        QFETCH(bool, partnerHangsUp);
        QFETCH(QString, passingStatus);
        const auto ports = TestMessenger::freePorts();
        TestMessenger us(QStringLiteral("127.0.0.1"), ports);
        TestMessenger partner(QStringLiteral("127.0.0.2"), ports);
        us.start();
        partner.start();
        us.program->LocalNickname = QStringLiteral("ali");
        QStringList statuses;
        QObject::connect(us.window().findChild<QTimer *>(QStringLiteral("TmrState")),
            &QTimer::timeout, &us.window(), [&] { statuses << us.window().statusText(0); });
        bool connectedWhenClosing = true;
        QObject::connect(&us.window().WskMain(), &SocketEndpoint::PeerClosed, &us.window(),
            [&] { connectedWhenClosing = us.program->IsConnected(); });
        QVERIFY(!us.program->IsConnected());
        if (partnerHangsUp) {
            QVERIFY(us.callChatSocketOf(partner, QStringLiteral("127.0.0.2")));
            QVERIFY(us.program->IsConnected());
            partner.window().WskMain().Close();
            QTRY_VERIFY(!connectedWhenClosing);
        } else {
            us.dial(QStringLiteral("127.0.0.9"));
        }
        QTRY_VERIFY(statuses.contains(passingStatus));
        QTRY_COMPARE(us.window().statusText(0), QStringLiteral("Listening..."));
        QCOMPARE(us.window().WskMain().State(), State::Listening);
        QCOMPARE(us.window().WskMain().LocalPort(), ports.chat);
        QTcpSocket caller;
        caller.connectToHost(QStringLiteral("127.0.0.1"), ports.chat);
        QVERIFY(caller.waitForConnected(2000));
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
