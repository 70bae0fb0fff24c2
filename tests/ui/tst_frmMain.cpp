#include "chat/ChatSession.h"
#include "chat/MessageMarkup.h"
#include "net/SocketEndpoint.h"
#include "support/NotificationBus.h"
#include "support/RawPeer.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/Composers.h"
#include "ui/Transcript.h"
#include "ui/frmKeyboard.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

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
        const frmMain &window = messenger.window(); // a session opens ready to type
        if (steps.endsWith(u"InSession"))
            QCOMPARE(window.focusWidget(), window.composers().activeBox());
    }

    // A copy that cannot listen shows the entries as at start and has no partner to show. With no
    // nickname, the settings are shown before the call is dialled. A call arriving closes the
    // connect dialog.
    void dialling()
    {
        const auto ports = TestMessenger::freePorts();
        TestMessenger ali(Ali, ports);
        TestMessenger second(Ali, ports);
        ali.start();
        second.start();
        QCOMPARE(::shown(second),
            QStringLiteral(
                "mnuSetLanguageP mnuUrdukeyboard mnuUrdu mnuUrduP (UR) &Connect&Connect"));
        second.action(QStringLiteral("mnuRemote"))->setEnabled(true);
        second.play(QStringLiteral("mnuRemote"));
        QCOMPARE(second.transcriptRuns(), QStringList());
        QString whenShown; // the chat's state and the address to dial
        TestMessenger::whenDialogOpens(QStringLiteral("frmSettings"), [&](QWidget *dialog) {
            whenShown
                = QVariant::fromValue(ali.chat().state()).toString() + u' ' + ali.program->RemoteIP;
            dialog->close();
        });
        ali.fillIn("mnuConnect", "frmConnect", "txtIP", QStringLiteral("127.0.0.9"), "cmdOk");
        QCOMPARE(whenShown, QStringLiteral("Listening 127.0.0.9"));
        QCOMPARE(ali.action(QStringLiteral("mnuConnect"))->data(), QString()); // request taken

        QTRY_VERIFY(ali.listening());
        RawPeer caller;
        bool closedByCall = false;
        TestMessenger::whenDialogOpens(QStringLiteral("frmConnect"), [&](QWidget *dialog) {
            caller.call(QStringLiteral("127.0.0.2"), ali.ports().chat);
            closedByCall = QTest::qWaitFor([dialog] { return !dialog->isVisible(); });
            dialog->close();
        });
        ali.play(QStringLiteral("mnuConnect"));
        QVERIFY(closedByCall);
    }

    // In Urdu, then English: a click in the transcript hands the keyboard to the composer,
    // Enter sends as Send does, the emptied composer keeps it, a right click opens the menu;
    // English closes the on-screen keyboard. Too long a message stays. Save As, and nowhere
    // when cancelled, not even to the name the dialog still holds; the help page.
    void inSession()
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
            QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
            if (auto *english = qobject_cast<QPlainTextEdit *>(composer))
                QCoreApplication::sendEvent(english->viewport(), &rightClick);
            else
                QTest::mouseClick(composer, Qt::RightButton);
            QTRY_VERIFY(menu->isVisible());
            menu->close();
            ali.play(QStringLiteral("mnuUrdukeyboard mnuEnglishP"));
            QVERIFY(!window.findChild<frmKeyboard *>()->isVisible());
        }
        window.composers().txtSendEN()->setPlainText(QString(40000, u'x'));
        window.findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
        QCOMPARE(window.composers().txtSendEN()->toPlainText().size(), 40000);
        QTemporaryDir folder;
        const QString chosen = folder.filePath(QStringLiteral("chat"));
        ali.desktop.dialogAnswers = { chosen, QVariant() };
        ali.play(QStringLiteral("mnuSaveAs"));
        QCOMPARE(ali.desktop.fileFilters,
            QStringList { QStringLiteral("RichText Format (*.rtf);;All Files (*)") });
        QVERIFY(TestFiles::read(chosen).startsWith("{\\rtf1"));
        QVERIFY(QFile::remove(chosen));
        ali.play(QStringLiteral("mnuSaveAs mnuHlepTopics"));
        QVERIFY(!QFile::exists(chosen));
        QVERIFY(TestFiles::read(ali.desktop.opened.value(0).toLocalFile())
                    .contains("<title>Kalvex Help</title>"));
    }

    // The tray icon, up once the window has been painted, and its tip; minimized, the window hides;
    // the icon's left button or Show Messenger bring it back to the top-left corner.
    void tray()
    {
        TestMessenger messenger(Ali, TestMessenger::freePorts(), true);
        messenger.start();
        frmMain &window = messenger.window();
        auto *trayIcon = window.findChild<QSystemTrayIcon *>();
        QTRY_VERIFY(window.trayIconShown());
        QCOMPARE(trayIcon->toolTip(), QStringLiteral("Kalvex v1.0"));
        QVERIFY(!trayIcon->icon().isNull() && !window.windowIcon().isNull());
        for (const int click : { int(QSystemTrayIcon::Trigger), -1 }) {
            window.move(160, 120);
            window.showMinimized();
            QTRY_VERIFY(!window.isVisible());
            if (click < 0)
                messenger.play(QStringLiteral("mnuShowMessenger"));
            else
                emit trayIcon->activated(QSystemTrayIcon::ActivationReason(click));
            QVERIFY(window.isVisible() && !window.isMinimized());
            QCOMPARE(window.pos(), window.screen()->geometry().topLeft());
        }
    }

    // Hidden in the tray, a call and a message are announced and the message counted in the
    // tray's tip; a click on a notification brings the window back and clears the count, and
    // so does the window coming back otherwise. In front, nothing is announced.
    void notifications()
    {
        NotificationBus bus;
        if (const QString reason = bus.start(); !reason.isEmpty())
            QSKIP(qPrintable(reason));
        TestMessenger ali(Ali, TestMessenger::freePorts(), true, bus.connector());
        ali.startAs(QStringLiteral("ali"));
        frmMain &window = ali.window();
        const auto *trayIcon = window.findChild<QSystemTrayIcon *>();
        const auto send = [](RawPeer &from, const char *text) {
            from.send(MessageMarkup::EncodeMessage({ QStringLiteral("Arial"), 9 }, text, false));
        };
        window.showMinimized();
        QTRY_VERIFY(!window.isVisible());
        RawPeer sara;
        QVERIFY(sara.call(QStringLiteral("127.0.0.2"), ali.ports().chat) && sara.receives("/"));
        sara.send("{RECEV}sara/Sara Khan/sara@example.org/");
        QVERIFY(sara.receives("{YES}"));
        send(sara, "Are you there?");
        QTRY_COMPARE(bus.notified.size(), 2);
        QCOMPARE(trayIcon->toolTip(), QStringLiteral("Kalvex v1.0 - 1 unread message"));
        bus.click(bus.lastId);
        QTRY_VERIFY(window.isVisible() && !window.isMinimized());
        QCOMPARE(trayIcon->toolTip(), QStringLiteral("Kalvex v1.0"));
        QVERIFY(QTest::qWaitForWindowActive(&window));
        send(sara, "in front");
        QTRY_VERIFY(window.transcript().plainText().endsWith(QStringLiteral("in front")));
        window.showMinimized();
        QTRY_VERIFY(!window.isVisible());
        send(sara, "Coming?");
        QTRY_COMPARE(bus.notified,
            (QStringList { QStringLiteral("sara {127.0.0.2} wants to chat with you | "),
                QStringLiteral("sara | Are you there?"), QStringLiteral("sara | Coming?") }));
        QCOMPARE(trayIcon->toolTip(), QStringLiteral("Kalvex v1.0 - 1 unread message"));
        window.show(); // as the desktop restores a window, not through the tray
        window.showNormal();
        QTRY_COMPARE(trayIcon->toolTip(), QStringLiteral("Kalvex v1.0"));
    }

    // Every way out writes the settings while the chat connection still stands and the status
    // timer is stopped, then closes both sockets and the tray icon and ends the program, once.
    void everyWayOut_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("File > Exit") << QStringLiteral("mnuExit");
        QTest::newRow("tray > Exit") << QStringLiteral("mnuExitT");
        QTest::newRow("the program unloaded, as on a signal") << QString();
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
        const auto *tmrState = window.findChild<QTimer *>(QStringLiteral("TmrState"));
        leaving.store->onWrite = [&](const QString &) {
            stateAtWrite << (tmrState->isActive() ? Socket::Error : window.WskMain().State());
        };
        if (way.isEmpty())
            leaving.program->Unload();
        else
            leaving.play(way);
        QTRY_COMPARE(leaving.endProcessCalls, 1);
        QCOMPARE(stateAtWrite, QList<Socket>(7, Socket::Connected));
        QVERIFY(!window.trayIconShown());
        QCOMPARE(int(window.WskMain().State()) + int(window.WskFTP().State()), 0);
        QCloseEvent closeAgain;
        QCoreApplication::sendEvent(&leaving.window(), &closeAgain);
        QCOMPARE(leaving.endProcessCalls, 1);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
