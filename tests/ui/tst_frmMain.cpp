#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "support/TestMessenger.h"
#include "ui/frmKeyboard.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTcpSocket>
#include <QTest>

using State = SocketEndpoint::SocketState;

// The main window from start-up to shut-down: its frame and start state, the tray, and the
// order in which it leaves.
class tst_frmMain : public QObject
{
    Q_OBJECT

private:
    static QAction *action(const frmMain &window, const QString &name)
    {
        return window.findChild<QAction *>(name);
    }

    // One line per entry: indent for the level, name, caption, and its state at start.
    static void dumpMenu(const QMenu *menu, int level, QStringList &lines)
    {
        for (const QAction *item : menu->actions()) {
            QString line = QString(level * 2, u' ') + item->objectName() + u' '
                + (item->isSeparator() ? u"-"_qs : item->text());
            if (!item->isEnabled())
                line += u" off"_qs;
            if (item->isChecked())
                line += u" checked"_qs;
            if (!item->shortcut().isEmpty())
                line += u" shortcut"_qs;
            lines << line;
            if (item->menu())
                dumpMenu(item->menu(), level + 1, lines);
        }
    }

private slots:
    // The whole menu tree at start: the bar's three menus, then the tray's and the
    // composers' context menus, which the bar does not show.
    void menuTreeAtStart()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.start();
        const frmMain &window = messenger.window();
        QStringList lines;
        QStringList bar;
        for (const QAction *menu : window.menuBar()->actions()) {
            bar << menu->objectName();
            lines << menu->objectName() + u' ' + menu->text();
            dumpMenu(menu->menu(), 1, lines);
        }
        QCOMPARE(bar, (QStringList { u"mnuFile"_qs, u"mnuOptions"_qs, u"mnuHelp"_qs }));
        for (const QString &hidden : { u"mnuTray"_qs, u"mnuPopText"_qs }) {
            const QMenu *menu = window.findChild<QMenu *>(hidden);
            lines << hidden + u' ' + menu->title();
            dumpMenu(menu, 1, lines);
        }
        const QStringList expected = QStringLiteral(R"(mnuFile &File
  mnuConnect &Connect
  mnuSettings &Settings
  mnuln1 -
  mnuSaveAs Save &As off
  mnuPrint &Print off
  mnuln7 -
  mnuExit E&xit
mnuOptions &Options
  mnuUrdukeyboard &Urdu Keyboard
  mnuln2 -
  mnuGetInfo &Get Info.
    mnuRemote &Remote off
    mnuLocal &Local
  mnuSetLanguage Set &Language off
    mnuEnglish &English
    mnuUrdu &Urdu checked
  mnuFont &Font off
  mnuFontColor Font &Color off
  mnuln3 -
  mnuSendFile &Send File off
mnuHelp &Help
  mnuHlepTopics Help &Topics
  mnuln4 -
  mnuAbout &About "Kalvex"
mnuTray Tray
  mnuShowMessenger &Show Messenger
  mnuConnectT &Connect
  mnuSettingsT &Settings
  mnuln5 -
  mnuExitT E&xit
mnuPopText PopText
  mnuSetLanguageP Set &Language
    mnuEnglishP &English
    mnuUrduP &Urdu checked
  mnuln6 -
  mnuFontP &Font
  mnuFontColorP Font &Color)").split(u'\n');
        QCOMPARE(lines, expected);
    }

    void frameAndControlsAtStart()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.start();
        frmMain &window = messenger.window();
        QCOMPARE(window.windowTitle(), u"Kalvex v1.0"_qs);
        QCOMPARE(window.centralWidget()->size(), QSize(277, 376));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);

        auto *txtSend = window.findChild<UrduText *>(u"txtSend"_qs);
        auto *txtSendEN = window.findChild<QPlainTextEdit *>(u"txtSendEN"_qs);
        auto *cmdSend = window.findChild<QPushButton *>(u"cmdSend"_qs);
        QVERIFY(txtSend && txtSendEN && cmdSend);
        // A single-line composer keeps the height its font needs.
        QCOMPARE(txtSend->geometry(), QRect(3, 282, 228, txtSend->txtMain()->height()));
        QVERIFY(!txtSend->isEnabled());
        QVERIFY(txtSend->isVisible());
        QCOMPARE(txtSend->font().family(), u"Qirtas1"_qs);
        QCOMPARE(txtSend->font().pointSizeF(), 12.0);
        QVERIFY(!txtSendEN->isEnabled());
        QVERIFY(!txtSendEN->isVisible());
        QVERIFY(!cmdSend->isEnabled());
        QCOMPARE(cmdSend->text(), u"&Send"_qs);

        auto *status = window.findChild<QStatusBar *>(u"StMain"_qs);
        auto *progress = window.findChild<QProgressBar *>(u"PBFTP"_qs);
        auto *progressPanel = window.findChild<QWidget *>(u"PROGRESS"_qs);
        QCOMPARE(status->geometry(), QRect(0, 351, 277, 25));
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->geometry().top(), status->geometry().top());
        QCOMPARE(progress->geometry().height(), status->geometry().height());
        QCOMPARE(progress->geometry().left(), status->x() + progressPanel->x());
        QCOMPARE(progress->value(), 0);

        QVERIFY(!window.Transferring);
        QCOMPARE(messenger.program->LocalUserIP, u"127.0.0.1"_qs);
    }

    void listensAndShowsState()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger messenger(u"127.0.0.1"_qs, ports);
        messenger.start();
        QCOMPARE(messenger.window().WskMain().State(), State::Listening);
        QCOMPARE(messenger.window().WskMain().LocalPort(), ports.chat);
        QCOMPARE(messenger.window().WskFTP().State(), State::Listening);
        QCOMPARE(messenger.window().WskFTP().LocalPort(), ports.file);
        QTRY_COMPARE(messenger.window().statusText(0), u"Listening..."_qs);
    }

    // A second copy on the same machine cannot listen, says so, and still calls out.
    void secondCopyShowsClosedAndCallsOut()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger first(u"127.0.0.1"_qs, ports);
        TestMessenger second(u"127.0.0.1"_qs, ports);
        first.start();
        second.start();
        QCOMPARE(second.window().WskMain().State(), State::Closed);
        QCOMPARE(second.window().WskFTP().State(), State::Closed);
        QTRY_COMPARE(second.window().statusText(0), u"Closed."_qs);

        QVERIFY(second.callChatSocketOf(first, u"127.0.0.1"_qs));
        QTRY_COMPARE(second.window().statusText(0), u"Connecting..."_qs);
    }

    void trayIcon()
    {
        TestMessenger first(u"127.0.0.1"_qs, TestMessenger::freePorts());
        TestMessenger second(u"127.0.0.2"_qs, TestMessenger::freePorts());
        first.start();
        second.start();
        const auto *tray = first.window().findChild<QSystemTrayIcon *>();
        QVERIFY(tray);
        QCOMPARE(tray->toolTip(), u"Kalvex v1.0"_qs);
        QCOMPARE(tray->contextMenu(), first.window().findChild<QMenu *>(u"mnuTray"_qs));
        QVERIFY(first.window().trayIconShown());
        QVERIFY(first.window().trayIconId() >= 1 && first.window().trayIconId() <= 65535);
        QCOMPARE(second.window().trayIconId(), first.window().trayIconId());
    }

    void minimizeGoesToTray_data()
    {
        QTest::addColumn<bool>("trayAvailable");
        QTest::newRow("with a tray") << true;
        QTest::newRow("without a tray") << false;
    }
    void minimizeGoesToTray()
    {
        QFETCH(bool, trayAvailable);
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts(), trayAvailable);
        messenger.start();
        frmMain &window = messenger.window();
        window.move(120, 90);
        window.showMinimized();
        QTRY_COMPARE(window.isVisible(), !trayAvailable);
        QVERIFY(window.isMinimized());

        window.ShowMessenger();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        QCOMPARE(window.pos(), window.screen()->geometry().topLeft());
        QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
    }

    void showMessengerFromTrayMenu()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts(), true);
        messenger.start();
        frmMain &window = messenger.window();
        window.move(200, 150);
        window.hide();
        action(window, u"mnuShowMessenger"_qs)->trigger();
        QVERIFY(window.isVisible());
        QCOMPARE(window.pos(), window.screen()->geometry().topLeft());
        QCOMPARE(action(window, u"mnuShowMessenger"_qs)->text(), u"&Show Messenger"_qs);
    }

    void everyWayOutShutsDown_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("close box") << QString();
        QTest::newRow("File > Exit") << u"mnuExit"_qs;
        QTest::newRow("tray > Exit") << u"mnuExitT"_qs;
    }
    // The settings are written while the chat connection still stands; then the partner
    // sees its socket closed by the peer.
    void everyWayOutShutsDown()
    {
        QFETCH(QString, way);
        const auto ports = TestMessenger::freePorts();
        TestMessenger leaving(u"127.0.0.1"_qs, ports);
        TestMessenger partner(u"127.0.0.2"_qs, ports);
        leaving.start();
        partner.start();
        QVERIFY(leaving.callChatSocketOf(partner, u"127.0.0.2"_qs));
        SocketEndpoint &caller = leaving.window().WskMain();
        SocketEndpoint &callee = partner.window().WskMain();

        QList<State> stateAtWrite;
        leaving.store->onWrite = [&](const QString &) { stateAtWrite << caller.State(); };
        bool partnerSawClose = false;
        QObject::connect(&callee, &SocketEndpoint::PeerClosed, &partner.window(), [&] { partnerSawClose = true; });

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

    // The keyboard entry opens one keyboard window and brings it forward when chosen again.
    void urduKeyboardOpensOnce()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.start();
        frmMain &window = messenger.window();
        action(window, u"mnuUrdukeyboard"_qs)->trigger();
        auto keyboards = window.findChildren<frmKeyboard *>();
        QCOMPARE(keyboards.size(), 1);
        QVERIFY(keyboards.first()->isVisible());
        keyboards.first()->close();
        action(window, u"mnuUrdukeyboard"_qs)->trigger();
        QCOMPARE(window.findChildren<frmKeyboard *>(), keyboards);
        QVERIFY(keyboards.first()->isVisible());
    }

    // Help opens the help page that ships beside the program.
    void helpOpensPageBesideProgram()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.start();
        action(messenger.window(), u"mnuHlepTopics"_qs)->trigger();
        QCOMPARE(messenger.desktop.opened.size(), 1);
        QFile page(messenger.desktop.opened.first().toLocalFile());
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
        QVERIFY(page.readAll().contains("<title>Kalvex Help</title>"));
    }

    // The tray icon's left button brings the hidden window back to the top-left corner;
    // other clicks leave it hidden.
    void trayLeftClickRestores_data()
    {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<bool>("shown");
        QTest::newRow("left button") << QSystemTrayIcon::Trigger << true;
        QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << false;
        QTest::newRow("middle button") << QSystemTrayIcon::MiddleClick << false;
    }
    void trayLeftClickRestores()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(bool, shown);
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts(), true);
        messenger.start();
        frmMain &window = messenger.window();
        window.move(160, 120);
        window.showMinimized();
        QTRY_VERIFY(!window.isVisible());
        emit window.findChild<QSystemTrayIcon *>()->activated(reason);
        QCOMPARE(window.isVisible(), shown);
        if (shown) {
            QVERIFY(!window.isMinimized());
            QCOMPARE(window.pos(), window.screen()->geometry().topLeft());
        }
    }

    // After the partner hangs up, or after a call that fails, the status bar says so for
    // a moment and then reads "Listening..." again, with the chat port taking calls.
    void statusReturnsToListening_data()
    {
        QTest::addColumn<bool>("partnerHangsUp");
        QTest::addColumn<QString>("passingStatus");
        QTest::newRow("partner hangs up") << true << u"Remote is Closing the Connection."_qs;
        QTest::newRow("call fails") << false << u"Problem Connecting..."_qs;
    }
    void statusReturnsToListening()
    {
        QFETCH(bool, partnerHangsUp);
        QFETCH(QString, passingStatus);
        const auto ports = TestMessenger::freePorts();
        TestMessenger us(u"127.0.0.1"_qs, ports);
        TestMessenger partner(u"127.0.0.2"_qs, ports);
        us.start();
        partner.start();
        us.program->LocalNickname = u"ali"_qs;
        QStringList statuses;
        QObject::connect(us.window().findChild<QTimer *>(u"TmrState"_qs), &QTimer::timeout, &us.window(),
                         [&] { statuses << us.window().statusText(0); });
        if (partnerHangsUp) {
            QVERIFY(us.callChatSocketOf(partner, u"127.0.0.2"_qs));
            partner.window().WskMain().Close();
        } else {
            us.dial(u"127.0.0.9"_qs);
        }
        QTRY_VERIFY(statuses.contains(passingStatus));
        QTRY_COMPARE(us.window().statusText(0), u"Listening..."_qs);
        QCOMPARE(us.window().WskMain().State(), State::Listening);
        QCOMPARE(us.window().WskMain().LocalPort(), ports.chat);
        QTcpSocket caller;
        caller.connectToHost(u"127.0.0.1"_qs, ports.chat);
        QVERIFY(caller.waitForConnected(2000));
    }

    // Connected means exactly the chat socket's connected state.
    void isConnectedOnlyWhenConnected()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger us(u"127.0.0.1"_qs, ports);
        TestMessenger partner(u"127.0.0.2"_qs, ports);
        us.start();
        partner.start();
        QVERIFY(!us.program->IsConnected());
        QVERIFY(us.callChatSocketOf(partner, u"127.0.0.2"_qs));
        QVERIFY(us.program->IsConnected());
        bool connectedWhenClosing = true;
        QObject::connect(&us.window().WskMain(), &SocketEndpoint::PeerClosed, &us.window(),
                         [&] { connectedWhenClosing = us.program->IsConnected(); });
        partner.window().WskMain().Close();
        QTRY_COMPARE(us.window().WskMain().State(), State::Closing);
        QVERIFY(!connectedWhenClosing);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
