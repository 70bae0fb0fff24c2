#include "app/ShutdownSignals.h"
#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "support/RawPeer.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/Composers.h"
#include "ui/Transcript.h"
#include "ui/frmKeyboard.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <csignal>

namespace {

const QString Ali = QStringLiteral("127.0.0.1");
const QString Sara = QStringLiteral("127.0.0.2");

// The controls a session enables that are enabled now.
QString enabledControls(const frmMain &window)
{
    QStringList enabled;
    for (const char *name : { "mnuSaveAs", "mnuPrint", "mnuRemote", "mnuSetLanguage",
             "mnuSetLanguageP", "mnuFont", "mnuFontColor", "mnuSendFile" }) {
        if (window.findChild<QAction *>(QLatin1String(name))->isEnabled())
            enabled << QLatin1String(name);
    }
    for (const char *name : { "cmdSend", "txtSend", "txtSendEN" }) {
        if (window.findChild<QWidget *>(QLatin1String(name))->isEnabled())
            enabled << QLatin1String(name);
    }
    return enabled.join(u' ');
}

// Makes the window show a chat state, as the chat session reports it.
void show(TestMessenger &messenger, ChatSession::State state)
{
    emit messenger.chat().stateChanged(state);
}

} // namespace

// The main window as a view of the sessions: its start state, how each chat state shows,
// the commands it hands to them, the tray, and every way out.
class tst_frmMain : public QObject
{
    Q_OBJECT

private slots:
    void startState()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts(), true);
        messenger.start();
        frmMain &window = messenger.window();
        QCOMPARE(window.windowTitle(), QStringLiteral("Kalvex v1.0"));
        QVERIFY(window.trayIconShown());
        QCOMPARE(window.findChild<QSystemTrayIcon *>()->toolTip(), QStringLiteral("Kalvex v1.0"));
        QCOMPARE(enabledControls(window), QString());
        for (const char *entry : { "mnuUrdu", "mnuUrduP", "mnuEnglish", "mnuEnglishP" })
            QCOMPARE(messenger.action(QLatin1String(entry))->isChecked(), entry[3] == 'U');
        QVERIFY(window.composers().txtSend()->isVisibleTo(&window));
        QVERIFY(!window.composers().txtSendEN()->isVisibleTo(&window));
        QCOMPARE(
            messenger.action(QStringLiteral("mnuConnectT"))->text(), QStringLiteral("&Connect"));
        QTRY_COMPARE(window.statusText(0), QStringLiteral("Listening..."));
    }

    // Each state the chat passes through, as the connect entries and the session's controls
    // show it; Save As and Print stay once a session has been open, and a session opened
    // while English is chosen gives the English composer the keys.
    void chatStates_data()
    {
        QTest::addColumn<QString>("steps"); // chat states, and English for that menu entry
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("enabled");
        const QString session
            = QStringLiteral("mnuSaveAs mnuPrint mnuRemote mnuSetLanguage "
                             "mnuSetLanguageP mnuFont mnuFontColor mnuSendFile cmdSend txtSend");
        QTest::newRow("handshake")
            << QStringLiteral("AwaitingAnswer") << QStringLiteral("&Connect") << QString();
        QTest::newRow("session") << QStringLiteral("InSession") << QStringLiteral("&Disconnect")
                                 << session;
        QTest::newRow("partner closed")
            << QStringLiteral("InSession Closing") << QStringLiteral("&Connect")
            << QStringLiteral("mnuSaveAs mnuPrint");
        QTest::newRow("next session in English")
            << QStringLiteral("InSession English Listening InSession")
            << QStringLiteral("&Disconnect") << session + QStringLiteral(" txtSendEN");
    }
    void chatStates()
    {
        QFETCH(QString, steps);
        QFETCH(QString, caption);
        QFETCH(QString, enabled);
        TestMessenger messenger(Ali, TestMessenger::freePorts());
        messenger.start();
        const QMetaEnum states = QMetaEnum::fromType<ChatSession::State>();
        for (const QString &step : steps.split(u' ')) {
            if (step == u"English")
                messenger.action(QStringLiteral("mnuEnglish"))->trigger();
            else
                show(messenger, ChatSession::State(states.keyToValue(qPrintable(step))));
        }
        QCOMPARE(messenger.action(QStringLiteral("mnuConnect"))->text(), caption);
        QCOMPARE(messenger.action(QStringLiteral("mnuConnectT"))->text(), caption);
        QCOMPARE(enabledControls(messenger.window()), enabled);
    }

    // A second copy on the same ports cannot listen and says so at the next tick; the
    // status keeps following its socket when it calls out.
    void secondCopyShowsClosed()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger first(Ali, ports);
        TestMessenger second(Ali, ports);
        first.start();
        second.start();
        QTRY_COMPARE(second.window().statusText(0), QStringLiteral("Closed."));
        QVERIFY(second.callChatSocketOf(first, Ali));
        QTRY_COMPARE(second.window().statusText(0), QStringLiteral("Connected."));
    }

    // With no nickname, the settings are shown before the call is dialled.
    void settingsBeforeDialling()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts());
        messenger.start();
        QList<ChatSession::State> stateWhenShown;
        TestMessenger::whenDialogOpens(QStringLiteral("frmSettings"), [&](QWidget *dialog) {
            stateWhenShown << messenger.chat().state();
            dialog->close();
        });
        messenger.dial(QStringLiteral("127.0.0.9"));
        QCOMPARE(stateWhenShown, QList<ChatSession::State> { ChatSession::State::Listening });
    }

    // A call that arrives while the user is typing an address closes the connect dialog
    // and is answered; no call goes out.
    void callClosesConnectDialog()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger ali(Ali, ports);
        TestMessenger sara(Sara, ports);
        ali.startAs(QStringLiteral("ali"));
        sara.startAs(QStringLiteral("sara"));
        bool closedByCall = false;
        TestMessenger::whenDialogOpens(QStringLiteral("frmConnect"), [&](QWidget *dialog) {
            sara.program->RemoteIP = Ali;
            sara.chat().ConnectRemote();
            closedByCall = QTest::qWaitFor([dialog] { return !dialog->isVisible(); });
            dialog->close();
        });
        ali.action(QStringLiteral("mnuConnect"))->trigger();
        QVERIFY(closedByCall);
        QTRY_VERIFY(ali.chat().sessionOpen() && sara.chat().sessionOpen());
    }

    // A click in the transcript hands the keyboard to the composer in use; Enter there
    // sends, and the emptied composer keeps the keyboard.
    void focusAndEnter_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("shown");
        QTest::newRow("English") << true << QStringLiteral("\r\nali Says : \r\n   hello");
        QTest::newRow("Urdu") << false
                              << QStringLiteral(
                                     "\r\nali Says : \r\n\uF0C9\uF0BC\uF0BC\uF0A8\uF0E8\r\n");
    }
    void focusAndEnter()
    {
        QFETCH(bool, english);
        QFETCH(QString, shown);
        TestMessenger ali(Ali, TestMessenger::freePorts());
        ali.startAs(QStringLiteral("ali"));
        show(ali, ChatSession::State::InSession);
        frmMain &window = ali.window();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        if (english)
            ali.action(QStringLiteral("mnuEnglish"))->trigger();
        QWidget *composer = window.composers().activeBox();
        QTest::mouseClick(
            window.findChild<QTextEdit *>(QStringLiteral("rtbMain"))->viewport(), Qt::LeftButton);
        QVERIFY(composer->hasFocus());
        QTest::keyClicks(composer, QStringLiteral("hello"));
        QTest::keyClick(composer, Qt::Key_Return);
        QVERIFY(window.composers().blank());
        QVERIFY(composer->hasFocus());
        QCOMPARE(window.transcript().plainText(), shown);
    }

    // The Urdu keyboard opens from its entry and closes when English is chosen; a right
    // click on the composer opens the composers' menu.
    void composerMenus()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts());
        messenger.start();
        show(messenger, ChatSession::State::InSession);
        frmMain &window = messenger.window();
        window.show();
        auto *menu = window.findChild<QMenu *>(QStringLiteral("mnuPopText"));
        QTest::mouseClick(window.composers().txtSend()->txtMain(), Qt::RightButton);
        QTRY_VERIFY(menu->isVisible());
        menu->close();
        messenger.action(QStringLiteral("mnuUrdukeyboard"))->trigger();
        auto *keyboard = window.findChild<frmKeyboard *>();
        QVERIFY(keyboard && keyboard->isVisible());
        messenger.action(QStringLiteral("mnuEnglishP"))->trigger();
        QVERIFY(!keyboard->isVisible());
    }

    // The local user's block; Save As writes the transcript as RTF to the chosen file; a cancelled
    // dialog writes nothing, not even to the file name it still holds.
    void saveAs()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts());
        messenger.startAs(QStringLiteral("ali"));
        show(messenger, ChatSession::State::InSession);
        messenger.action(QStringLiteral("mnuLocal"))->trigger();
        QCOMPARE(messenger.window().transcript().plainText(),
            QStringLiteral(
                "\r\n\r\nLocal User Information;\r\nIP Address : 127.0.0.1\r\nNickName : ali\r\n"
                "Full Name : ali Khan\r\nEmail Address : ali@example.org"));
        QTemporaryDir folder;
        const QString chosen = folder.filePath(QStringLiteral("chat"));
        messenger.desktop.dialogAnswers = { chosen, QVariant() };
        messenger.action(QStringLiteral("mnuSaveAs"))->trigger();
        QCOMPARE(messenger.desktop.fileFilters,
            QStringList { QStringLiteral("RichText Format (*.rtf);;All Files (*)") });
        const QByteArray saved = TestFiles::read(chosen);
        QVERIFY(saved.startsWith("{\\rtf1") && saved.contains("Local User Information;"));
        QVERIFY(QFile::remove(chosen));
        messenger.action(QStringLiteral("mnuSaveAs"))->trigger();
        QVERIFY(!QFile::exists(chosen));
    }

    void helpOpensPageBesideProgram()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts());
        messenger.start();
        messenger.action(QStringLiteral("mnuHlepTopics"))->trigger();
        QCOMPARE(messenger.desktop.opened.size(), 1);
        QVERIFY(TestFiles::read(messenger.desktop.opened.first().toLocalFile())
                    .contains("<title>Kalvex Help</title>"));
    }

    // Minimized with a tray, the window hides; the tray's left button or Show Messenger
    // brings it back to the top-left corner, a double click does not. Without a tray it
    // stays on the task bar.
    void tray_data()
    {
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<int>("click"); // a tray activation, or -1 for Show Messenger
        QTest::addColumn<bool>("shown");
        QTest::newRow("left button") << true << int(QSystemTrayIcon::Trigger) << true;
        QTest::newRow("Show Messenger") << true << -1 << true;
        QTest::newRow("double click") << true << int(QSystemTrayIcon::DoubleClick) << false;
        QTest::newRow("no tray") << false << -1 << true;
    }
    void tray()
    {
        QFETCH(bool, trayAvailable);
        QFETCH(int, click);
        QFETCH(bool, shown);
        TestMessenger messenger(Ali, TestMessenger::freePorts(), trayAvailable);
        messenger.start();
        frmMain &window = messenger.window();
        window.move(160, 120);
        window.showMinimized();
        QTRY_COMPARE(window.isVisible(), !trayAvailable);
        if (click >= 0)
            emit window.findChild<QSystemTrayIcon *>()->activated(
                QSystemTrayIcon::ActivationReason(click));
        else
            messenger.action(QStringLiteral("mnuShowMessenger"))->trigger();
        QCOMPARE(window.isVisible(), shown);
        if (shown) {
            QVERIFY(!window.isMinimized());
            QCOMPARE(window.pos(), window.screen()->geometry().topLeft());
        }
    }

    // Every way out writes the settings while the chat connection still stands, then closes
    // both sockets and ends the program, once; the partner sees its socket closed.
    void everyWayOut_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("close box") << QString();
        QTest::newRow("File > Exit") << QStringLiteral("mnuExit");
        QTest::newRow("tray > Exit") << QStringLiteral("mnuExitT");
        QTest::newRow("SIGTERM") << QStringLiteral("signal");
    }
    void everyWayOut()
    {
        QFETCH(QString, way);
        TestMessenger leaving(Ali, TestMessenger::freePorts(), true);
        leaving.start();
        RawPeer partner;
        QVERIFY(partner.call(Sara, leaving.ports().chat));
        using Socket = SocketEndpoint::SocketState;
        QTRY_COMPARE(leaving.window().WskMain().State(), Socket::Connected);
        QList<Socket> stateAtWrite;
        leaving.store->onWrite
            = [&](const QString &) { stateAtWrite << leaving.window().WskMain().State(); };
        ShutdownSignals shutdownSignals;
        QObject::connect(&shutdownSignals, &ShutdownSignals::received, &leaving.window(),
            [&] { leaving.program->Unload(); });

        if (way == u"signal")
            QCOMPARE(std::raise(SIGTERM), 0);
        else if (way.isEmpty())
            leaving.window().close();
        else
            leaving.action(way)->trigger();

        QTRY_COMPARE(leaving.endProcessCalls, 1);
        QCOMPARE(stateAtWrite, QList<Socket>(5, Socket::Connected));
        QVERIFY(!leaving.window().trayIconShown());
        QCOMPARE(leaving.window().WskMain().State(), Socket::Closed);
        QCOMPARE(leaving.window().WskFTP().State(), Socket::Closed);
        QVERIFY(partner.hungUpOn());
        leaving.program->Unload();
        QCOMPARE(leaving.endProcessCalls, 1);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
