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
#include <QCloseEvent>
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

// What the window shows of the chat: the entries and controls a session enables that are
// enabled, the checked language entries, the composer shown, the connect entries' captions.
QString shown(TestMessenger &messenger)
{
    QStringList shown;
    for (const char *name :
        { "mnuSaveAs", "mnuPrint", "mnuRemote", "mnuSetLanguage", "mnuSetLanguageP", "mnuFont",
            "mnuFontColor", "mnuSendFile", "mnuUrdu", "mnuUrduP", "mnuEnglish", "mnuEnglishP" }) {
        const QAction *entry = messenger.action(QLatin1String(name));
        if (entry->isCheckable() ? entry->isChecked() : entry->isEnabled())
            shown << QLatin1String(name);
    }
    const Composers &composers = messenger.window().composers();
    for (QWidget *widget : { messenger.window().findChild<QWidget *>(QStringLiteral("cmdSend")),
             static_cast<QWidget *>(composers.txtSend()),
             static_cast<QWidget *>(composers.txtSendEN()) }) {
        if (widget->isEnabled())
            shown << widget->objectName();
    }
    shown << (composers.txtSendEN()->isVisibleTo(&messenger.window())
            ? QStringLiteral("(English shown)")
            : QStringLiteral("(Urdu shown)"));
    for (const char *name : { "mnuConnect", "mnuConnectT" })
        shown << messenger.action(QLatin1String(name))->text();
    return shown.join(u' ');
}

// Makes the window show a chat state, as the chat session reports it.
void show(TestMessenger &messenger, ChatSession::State state)
{
    emit messenger.chat().stateChanged(state);
}

} // namespace

// The main window as a view of the sessions: how each chat state shows, the commands it
// hands to them, the tray, and every way out.
class tst_frmMain : public QObject
{
    Q_OBJECT

private slots:
    // Each state the chat reports, as menus and controls show it; Save As and Print stay once
    // a session has been open; a session opened in English gives that composer the keys.
    void chatStates_data()
    {
        QTest::addColumn<QString>("steps"); // chat states, and English for that menu entry
        QTest::addColumn<QString>("shown");
        const QString session = QStringLiteral("mnuSaveAs mnuPrint mnuRemote mnuSetLanguage "
                                               "mnuSetLanguageP mnuFont mnuFontColor mnuSendFile ");
        const QString waiting = QStringLiteral("mnuUrdu mnuUrduP (Urdu shown) &Connect &Connect");
        QTest::newRow("start") << QString() << waiting;
        QTest::newRow("handshake") << QStringLiteral("AwaitingAnswer") << waiting;
        QTest::newRow("session") << QStringLiteral("InSession")
                                 << session
                + QStringLiteral(
                    "mnuUrdu mnuUrduP cmdSend txtSend (Urdu shown) &Disconnect &Disconnect");
        QTest::newRow("partner closed") << QStringLiteral("InSession Closing")
                                        << QStringLiteral("mnuSaveAs mnuPrint ") + waiting;
        QTest::newRow("next session in English")
            << QStringLiteral("InSession English Listening InSession")
            << session
                + QStringLiteral("mnuEnglish mnuEnglishP cmdSend txtSend txtSendEN (English shown) "
                                 "&Disconnect &Disconnect");
    }
    void chatStates()
    {
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        TestMessenger messenger(Ali, TestMessenger::freePorts());
        messenger.start();
        const QMetaEnum states = QMetaEnum::fromType<ChatSession::State>();
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step == u"English")
                messenger.action(QStringLiteral("mnuEnglish"))->trigger();
            else
                show(messenger, ChatSession::State(states.keyToValue(qPrintable(step))));
        }
        QCOMPARE(::shown(messenger), shown);
    }

    // At start: the tray icon with its tip, "Listening..." after the first tick; a second
    // copy on the same ports cannot listen and says so, and its status follows its call.
    void startAndSecondCopy()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger first(Ali, ports, true);
        TestMessenger second(Ali, ports);
        first.start();
        second.start();
        QVERIFY(first.window().trayIconShown());
        QCOMPARE(first.window().findChild<QSystemTrayIcon *>()->toolTip(),
            QStringLiteral("Kalvex v1.0"));
        QTRY_COMPARE(first.window().statusText(0), QStringLiteral("Listening..."));
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

    // A call that arrives while the user types an address closes the connect dialog and is
    // answered; no call goes out.
    void callClosesConnectDialog()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger ali(Ali, ports);
        TestMessenger sara(QStringLiteral("127.0.0.2"), ports);
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

    // A click in the transcript hands the keyboard to the composer in use; Enter there sends,
    // as Send does, and the emptied composer has the keyboard.
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
        QVERIFY(window.composers().blank() && composer->hasFocus());
        QCOMPARE(window.transcript().plainText(), shown);
        QTest::keyClicks(composer, QStringLiteral("a"));
        QTest::mouseClick(
            window.findChild<QPushButton *>(QStringLiteral("cmdSend")), Qt::LeftButton);
        QVERIFY(window.composers().blank() && composer->hasFocus());
    }

    // In a session: the composers' menu on a right click; the Urdu keyboard closing when
    // English is chosen; a message too long to send staying; the local user's block; Save As to the
    // chosen file, and nowhere, not even to the name the dialog still holds, when cancelled; the
    // help page.
    void commands()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts());
        messenger.startAs(QStringLiteral("ali"));
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
        window.composers().txtSendEN()->setPlainText(QString(40000, u'x'));
        window.findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
        QCOMPARE(messenger.textsShown(),
            QStringList { QStringLiteral("This message is too long to send; please shorten it.") });
        QCOMPARE(window.composers().txtSendEN()->toPlainText().size(), 40000);

        messenger.action(QStringLiteral("mnuLocal"))->trigger();
        QCOMPARE(window.transcript().plainText(),
            QStringLiteral(
                "\r\n\r\nLocal User Information;\r\nIP Address : 127.0.0.1\r\nNickName : ali\r\n"
                "Full Name : ali Khan\r\nEmail Address : ali@example.org"));
        QTemporaryDir folder;
        const QString chosen = folder.filePath(QStringLiteral("chat"));
        messenger.desktop.dialogAnswers = { chosen, QVariant() };
        messenger.action(QStringLiteral("mnuSaveAs"))->trigger();
        QCOMPARE(messenger.desktop.fileFilters,
            QStringList { QStringLiteral("RichText Format (*.rtf);;All Files (*)") });
        QVERIFY(TestFiles::read(chosen).startsWith("{\\rtf1"));
        QVERIFY(QFile::remove(chosen));
        messenger.action(QStringLiteral("mnuSaveAs"))->trigger();
        QVERIFY(!QFile::exists(chosen));

        messenger.action(QStringLiteral("mnuHlepTopics"))->trigger();
        QVERIFY(TestFiles::read(messenger.desktop.opened.value(0).toLocalFile())
                    .contains("<title>Kalvex Help</title>"));
    }

    // Minimized with a tray, the window hides; a double click on the tray icon leaves it
    // hidden, its left button or Show Messenger bring it back to the top-left corner.
    void tray()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts(), true);
        messenger.start();
        frmMain &window = messenger.window();
        auto *trayIcon = window.findChild<QSystemTrayIcon *>();
        for (const int click : { int(QSystemTrayIcon::Trigger), -1 }) {
            window.move(160, 120);
            window.showMinimized();
            QTRY_VERIFY(!window.isVisible());
            emit trayIcon->activated(QSystemTrayIcon::DoubleClick);
            QVERIFY(!window.isVisible());
            if (click < 0)
                messenger.action(QStringLiteral("mnuShowMessenger"))->trigger();
            else
                emit trayIcon->activated(QSystemTrayIcon::ActivationReason(click));
            QVERIFY(window.isVisible() && !window.isMinimized());
            QCOMPARE(window.pos(), window.screen()->geometry().topLeft());
        }
    }

    // Every way out writes the settings while the chat connection still stands, then closes
    // both sockets and the tray icon and ends the program, once.
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
        QVERIFY(partner.call(QStringLiteral("127.0.0.2"), leaving.ports().chat));
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
        QCloseEvent closeAgain;
        QCoreApplication::sendEvent(&leaving.window(), &closeAgain);
        QCOMPARE(leaving.endProcessCalls, 1);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
