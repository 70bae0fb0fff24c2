#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "support/TestMessenger.h"
#include "ui/frmKeyboard.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QCoreApplication>
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

    static QStringList captions(const QMenu *menu)
    {
        QStringList result;
        for (const QAction *item : menu->actions())
            result << (item->isSeparator() ? u"-"_qs : item->text());
        return result;
    }

private slots:
    void menuEntriesAtStart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("checked");
        const auto row = [](const char16_t *name, const char16_t *caption, bool enabled, bool checked) {
            QTest::newRow(QString::fromUtf16(name).toLatin1().constData())
                << QString::fromUtf16(name) << QString::fromUtf16(caption) << enabled << checked;
        };
        row(u"mnuConnect", u"&Connect", true, false);
        row(u"mnuSettings", u"&Settings", true, false);
        row(u"mnuSaveAs", u"Save &As", false, false);
        row(u"mnuPrint", u"&Print", false, false);
        row(u"mnuExit", u"E&xit", true, false);
        row(u"mnuUrdukeyboard", u"&Urdu Keyboard", true, false);
        row(u"mnuGetInfo", u"&Get Info.", true, false);
        row(u"mnuRemote", u"&Remote", false, false);
        row(u"mnuLocal", u"&Local", true, false);
        row(u"mnuSetLanguage", u"Set &Language", false, false);
        row(u"mnuEnglish", u"&English", true, false);
        row(u"mnuUrdu", u"&Urdu", true, true);
        row(u"mnuFont", u"&Font", false, false);
        row(u"mnuFontColor", u"Font &Color", false, false);
        row(u"mnuSendFile", u"&Send File", false, false);
        row(u"mnuHlepTopics", u"Help &Topics", true, false);
        row(u"mnuAbout", u"&About \"Kalvex\"", true, false);
        row(u"mnuShowMessenger", u"&Show Messenger", true, false);
        row(u"mnuConnectT", u"&Connect", true, false);
        row(u"mnuSettingsT", u"&Settings", true, false);
        row(u"mnuExitT", u"E&xit", true, false);
        row(u"mnuSetLanguageP", u"Set &Language", true, false);
        row(u"mnuEnglishP", u"&English", true, false);
        row(u"mnuUrduP", u"&Urdu", true, true);
        row(u"mnuFontP", u"&Font", true, false);
        row(u"mnuFontColorP", u"Font &Color", true, false);
    }
    void menuEntriesAtStart()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        QFETCH(bool, checked);
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.start();
        const QAction *item = action(messenger.window(), name);
        QVERIFY(item);
        QCOMPARE(item->text(), caption);
        QCOMPARE(item->isEnabled(), enabled);
        QCOMPARE(item->isChecked(), checked);
        QVERIFY(item->shortcut().isEmpty());
    }

    void menuTree()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.start();
        const frmMain &window = messenger.window();
        QStringList bar;
        for (const QAction *menu : window.menuBar()->actions())
            bar << menu->text();
        QCOMPARE(bar, (QStringList { u"&File"_qs, u"&Options"_qs, u"&Help"_qs }));
        const auto menu = [&](const QString &name) { return window.findChild<QMenu *>(name); };
        QCOMPARE(captions(menu(u"mnuFile"_qs)),
                 (QStringList { u"&Connect"_qs, u"&Settings"_qs, u"-"_qs, u"Save &As"_qs, u"&Print"_qs,
                                u"-"_qs, u"E&xit"_qs }));
        QCOMPARE(captions(menu(u"mnuOptions"_qs)),
                 (QStringList { u"&Urdu Keyboard"_qs, u"-"_qs, u"&Get Info."_qs, u"Set &Language"_qs,
                                u"&Font"_qs, u"Font &Color"_qs, u"-"_qs, u"&Send File"_qs }));
        QCOMPARE(captions(menu(u"mnuGetInfo"_qs)), (QStringList { u"&Remote"_qs, u"&Local"_qs }));
        QCOMPARE(captions(menu(u"mnuHelp"_qs)),
                 (QStringList { u"Help &Topics"_qs, u"-"_qs, u"&About \"Kalvex\""_qs }));
        QCOMPARE(captions(menu(u"mnuTray"_qs)),
                 (QStringList { u"&Show Messenger"_qs, u"&Connect"_qs, u"&Settings"_qs, u"-"_qs, u"E&xit"_qs }));
        QCOMPARE(captions(menu(u"mnuPopText"_qs)),
                 (QStringList { u"Set &Language"_qs, u"-"_qs, u"&Font"_qs, u"Font &Color"_qs }));
        QCOMPARE(captions(menu(u"mnuSetLanguageP"_qs)), (QStringList { u"&English"_qs, u"&Urdu"_qs }));
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

        SocketEndpoint &caller = second.window().WskMain();
        caller.setRemoteHost(u"127.0.0.1"_qs);
        caller.setRemotePort(ports.chat);
        caller.setLocalPort(0);
        QObject::connect(&first.window().WskMain(), &SocketEndpoint::ConnectionRequest, &first.window(),
                         [&](qint32 id) {
                             first.window().WskMain().Close();
                             first.window().WskMain().Accept(id);
                         });
        caller.Connect();
        QTRY_COMPARE(caller.State(), State::Connected);
        QTRY_COMPARE(first.window().WskMain().State(), State::Connected);
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
        SocketEndpoint &callee = partner.window().WskMain();
        QObject::connect(&callee, &SocketEndpoint::ConnectionRequest, &partner.window(), [&](qint32 id) {
            callee.Close();
            callee.Accept(id);
        });
        SocketEndpoint &caller = leaving.window().WskMain();
        caller.Close();
        caller.setRemoteHost(u"127.0.0.2"_qs);
        caller.setRemotePort(ports.chat);
        caller.setLocalPort(0);
        caller.Connect();
        QTRY_COMPARE(callee.State(), State::Connected);

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

    void helpOpensPageBesideProgram()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.start();
        action(messenger.window(), u"mnuHlepTopics"_qs)->trigger();
        QCOMPARE(messenger.desktop.opened.size(), 1);
        QCOMPARE(messenger.desktop.opened.first(),
                 QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + u"/help.html"_qs));
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
