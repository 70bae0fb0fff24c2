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
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <csignal>

namespace {

const QString Ali = QStringLiteral("127.0.0.1");

// The entries and controls that are enabled (the language entries: checked), the composer
// shown and the connect entries' captions.
QString shown(TestMessenger &messenger)
{
    QStringList shown;
    for (const char *name :
        { "mnuSaveAs", "mnuPrint", "mnuRemote", "mnuSetLanguage", "mnuSetLanguageP", "mnuFont",
            "mnuFontColor", "mnuSendFile", "mnuUrdukeyboard", "mnuUrdu", "mnuUrduP", "mnuEnglish",
            "mnuEnglishP", "cmdSend", "txtSend", "txtSendEN" }) {
        const QAction *entry = messenger.action(QLatin1String(name));
        if (entry ? (entry->isCheckable() ? entry->isChecked() : entry->isEnabled())
                  : messenger.window().findChild<QWidget *>(QLatin1String(name))->isEnabled())
            shown << QLatin1String(name);
    }
    const frmMain &window = messenger.window();
    return shown.join(u' ')
        + (window.composers().txtSendEN()->isVisibleTo(&window) ? QStringLiteral(" (EN) ")
                                                                : QStringLiteral(" (UR) "))
        + messenger.action(QStringLiteral("mnuConnect"))->text()
        + messenger.action(QStringLiteral("mnuConnectT"))->text();
}

} // namespace

// The main window as a view of the sessions: how each chat state shows, the commands it
// hands on, the tray, and every way out.
class tst_frmMain : public QObject
{
    Q_OBJECT

private slots:
    // Save As and Print stay once a session has been open; the language entries mark the
    // language in both menus (the one already chosen keeps its mark), and English has no use
    // for the on-screen keyboard; a session opened in English enables both composers.
    void chatStates_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown");
        const QString session = QStringLiteral("mnuSaveAs mnuPrint mnuRemote mnuSetLanguage "
                                               "mnuSetLanguageP mnuFont mnuFontColor mnuSendFile ");
        const QString urdu = QStringLiteral("mnuUrdukeyboard mnuUrdu mnuUrduP ");
        const QString english = QStringLiteral("mnuEnglish mnuEnglishP cmdSend ");
        const QString waiting = urdu + QStringLiteral("(UR) &Connect&Connect");
        QTest::newRow("start") << QString() << waiting;
        QTest::newRow("handshake") << QStringLiteral("AwaitingAnswer") << waiting;
        QTest::newRow("session") << QStringLiteral("InSession")
                                 << session + urdu
                + QStringLiteral("cmdSend txtSend (UR) &Disconnect&Disconnect");
        QTest::newRow("partner closed") << QStringLiteral("InSession Closing")
                                        << QStringLiteral("mnuSaveAs mnuPrint ") + waiting;
        QTest::newRow("English twice")
            << QStringLiteral("InSession mnuEnglishP mnuEnglish")
            << session + english + QStringLiteral("txtSendEN (EN) &Disconnect&Disconnect");
        QTest::newRow("back to Urdu twice")
            << QStringLiteral("InSession mnuEnglish mnuUrduP mnuUrdu")
            << session + urdu + QStringLiteral("cmdSend txtSend (UR) &Disconnect&Disconnect");
        QTest::newRow("next session in English")
            << QStringLiteral("InSession mnuEnglish Listening InSession")
            << session + english + QStringLiteral("txtSend txtSendEN (EN) &Disconnect&Disconnect");
    }
    void chatStates()
    {
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        TestMessenger messenger(Ali, TestMessenger::freePorts());
        messenger.start();
        messenger.play(steps);
        QCOMPARE(::shown(messenger), shown);
    }

    // With no nickname, the settings are shown before the call is dialled. A second copy on
    // the same ports cannot listen and says so, and can still call out: its call, arriving
    // while the user types an address, closes the connect dialog and is answered.
    void dialling()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger ali(Ali, ports);
        TestMessenger second(Ali, ports);
        ali.start();
        second.startAs(QStringLiteral("sara"));
        QTRY_COMPARE(second.window().statusText(0), QStringLiteral("Closed."));
        QString settingsShown;
        TestMessenger::whenDialogOpens(QStringLiteral("frmSettings"), [&](QWidget *dialog) {
            settingsShown = ali.window().statusText(0) + ali.program->RemoteIP;
            dialog->close();
        });
        ali.dial(QStringLiteral("127.0.0.9"));
        QCOMPARE(settingsShown, QStringLiteral("Listening...127.0.0.9"));
        QVERIFY(ali.listening());

        ali.program->LocalNickname = QStringLiteral("ali");
        bool closedByCall = false;
        TestMessenger::whenDialogOpens(QStringLiteral("frmConnect"), [&](QWidget *dialog) {
            second.program->RemoteIP = Ali;
            second.chat().ConnectRemote();
            closedByCall = QTest::qWaitFor([dialog] { return !dialog->isVisible(); });
            dialog->close();
        });
        ali.action(QStringLiteral("mnuConnect"))->trigger();
        QVERIFY(closedByCall);
        QTRY_VERIFY(ali.chat().sessionOpen() && second.chat().sessionOpen());
        QTRY_COMPARE(second.window().statusText(0), QStringLiteral("Connected."));
    }

    // In a session, in Urdu and then in English: a click in the transcript hands the keyboard
    // to the composer in use, Enter there sends as Send does, and the emptied composer keeps
    // the keyboard; a right click on the composer opens the composers' menu. English closes
    // the on-screen keyboard. A message too long to send stays.
    void composing()
    {
        TestMessenger ali(Ali, TestMessenger::freePorts());
        ali.startAs(QStringLiteral("ali"));
        ali.play(QStringLiteral("InSession"));
        frmMain &window = ali.window();
        auto *menu = window.findChild<QMenu *>(QStringLiteral("mnuPopText"));
        for (const QString &shown :
            { QStringLiteral("\uF0C9\uF0BC\uF0BC\uF0A8\uF0E8\r\n"), QStringLiteral("   hello") }) {
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QWidget *composer = window.composers().activeBox();
            QTest::mouseClick(window.findChild<QTextEdit *>(QStringLiteral("rtbMain"))->viewport(),
                Qt::LeftButton);
            QVERIFY(composer->hasFocus());
            QTest::keyClicks(composer, QStringLiteral("hello"));
            QTest::keyClick(composer, Qt::Key_Return);
            QVERIFY(window.transcript().plainText().endsWith(
                QStringLiteral("ali Says : \r\n") + shown));
            QTest::keyClicks(composer, QStringLiteral("a"));
            QTest::mouseClick(
                window.findChild<QPushButton *>(QStringLiteral("cmdSend")), Qt::LeftButton);
            QVERIFY(window.composers().blank() && composer->hasFocus());
            if (composer == window.composers().txtSendEN()) {
                QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
                QCoreApplication::sendEvent(
                    window.composers().txtSendEN()->viewport(), &rightClick);
            } else {
                QTest::mouseClick(composer, Qt::RightButton);
            }
            QTRY_VERIFY(menu->isVisible());
            menu->close();
            ali.play(QStringLiteral("mnuUrdukeyboard mnuEnglishP"));
            QVERIFY(!window.findChild<frmKeyboard *>()->isVisible());
        }
        window.composers().txtSendEN()->setPlainText(QString(40000, u'x'));
        window.findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
        QCOMPARE(window.composers().txtSendEN()->toPlainText().size(), 40000);
    }

    // The local user's block; Save As to the chosen file, and nowhere, not even to the name
    // the dialog still holds, when cancelled; the help page.
    void commands()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts());
        messenger.startAs(QStringLiteral("ali"));
        messenger.play(QStringLiteral("InSession mnuLocal"));
        QCOMPARE(messenger.window().transcript().plainText(),
            QStringLiteral(
                "\r\n\r\nLocal User Information;\r\nIP Address : 127.0.0.1\r\nNickName : ali\r\n"
                "Full Name : ali Khan\r\nEmail Address : ali@example.org"));
        QTemporaryDir folder;
        const QString chosen = folder.filePath(QStringLiteral("chat"));
        messenger.desktop.dialogAnswers = { chosen, QVariant() };
        messenger.play(QStringLiteral("mnuSaveAs"));
        QCOMPARE(messenger.desktop.fileFilters,
            QStringList { QStringLiteral("RichText Format (*.rtf);;All Files (*)") });
        QVERIFY(TestFiles::read(chosen).startsWith("{\\rtf1"));
        QVERIFY(QFile::remove(chosen));
        messenger.play(QStringLiteral("mnuSaveAs mnuHlepTopics"));
        QVERIFY(!QFile::exists(chosen));
        QVERIFY(TestFiles::read(messenger.desktop.opened.value(0).toLocalFile())
                    .contains("<title>Kalvex Help</title>"));
    }

    // The tray icon with its tip; minimized with a tray, the window hides; a double click on
    // the icon leaves it hidden, its left button or Show Messenger bring it back to the
    // top-left corner.
    void tray()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts(), true);
        messenger.start();
        frmMain &window = messenger.window();
        auto *trayIcon = window.findChild<QSystemTrayIcon *>();
        QVERIFY(window.trayIconShown());
        QCOMPARE(trayIcon->toolTip(), QStringLiteral("Kalvex v1.0"));
        for (const int click : { int(QSystemTrayIcon::Trigger), -1 }) {
            window.move(160, 120);
            window.showMinimized();
            QTRY_VERIFY(!window.isVisible());
            emit trayIcon->activated(QSystemTrayIcon::DoubleClick);
            QVERIFY(!window.isVisible());
            if (click < 0)
                messenger.play(QStringLiteral("mnuShowMessenger"));
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
        const frmMain &window = leaving.window();
        QTRY_COMPARE(window.WskMain().State(), Socket::Connected);
        QList<Socket> stateAtWrite;
        leaving.store->onWrite = [&](const QString &) { stateAtWrite << window.WskMain().State(); };
        ShutdownSignals shutdownSignals;
        QObject::connect(&shutdownSignals, &ShutdownSignals::received, &window,
            [&] { leaving.program->Unload(); });
        if (way == u"signal")
            QCOMPARE(std::raise(SIGTERM), 0);
        else if (way.isEmpty())
            leaving.window().close();
        else
            leaving.play(way);
        QTRY_COMPARE(leaving.endProcessCalls, 1);
        QCOMPARE(stateAtWrite, QList<Socket>(5, Socket::Connected));
        QVERIFY(!window.trayIconShown());
        QCOMPARE(int(window.WskMain().State()) + int(window.WskFTP().State()), 0);
        QCloseEvent closeAgain;
        QCoreApplication::sendEvent(&leaving.window(), &closeAgain);
        QCOMPARE(leaving.endProcessCalls, 1);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
