#include "support/TestMessenger.h"
#include "ui/frmConnect.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The connect dialog: its controls, what can be typed as an address, and the connect
// request flag that it leaves on the File menu's connect action.
class tst_frmConnect : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        TestMessenger messenger { u"127.0.0.1"_qs, TestMessenger::freePorts() };
        QAction mnuConnect { u"&Connect"_qs };
        QWidget owner;
    };

    static QPushButton *button(const frmConnect &dialog, const QString &name)
    {
        return dialog.findChild<QPushButton *>(name);
    }

private slots:
    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("font"); // family, points, bold
        QTest::newRow("txtIP") << u"txtIP"_qs << QRect(128, 21, 144, 25) << u"10.0.0.9"_qs
                               << u"Arial 9 0"_qs;
        QTest::newRow("cmdUserSettings") << u"cmdUserSettings"_qs << QRect(6, 72, 81, 25)
                                         << u"&Settings"_qs << u"Tahoma 8.25 1"_qs;
        QTest::newRow("cmdOk") << u"cmdOk"_qs << QRect(110, 72, 81, 25) << u"C&onnect"_qs
                               << u"Tahoma 8.25 1"_qs;
        QTest::newRow("cmdCancel")
            << u"cmdCancel"_qs << QRect(192, 72, 81, 25) << u"&Cancel"_qs << u"Tahoma 8.25 1"_qs;
        QTest::newRow("lblDesc") << u"lblDesc"_qs << QRect(7, 27, 115, 13)
                                 << u"Remote IP &Address :"_qs << u"Tahoma 8.25 1"_qs;
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(QString, font);
        Fixture f;
        f.messenger.program->RemoteIP = u"10.0.0.9"_qs;
        frmConnect dialog(*f.messenger.program, &f.mnuConnect);
        QCOMPARE(dialog.windowTitle(), u"Kalvex - Connect"_qs);
        QCOMPARE(dialog.size(), QSize(278, 101));
        auto *widget = dialog.findChild<QWidget *>(name);
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(widget->property("text").toString(), text);
        const QFont shown = widget->font();
        QCOMPARE(u"%1 %2 %3"_qs.arg(shown.family()).arg(shown.pointSizeF()).arg(int(shown.bold())),
            font);
    }

    void focusAndKeys()
    {
        Fixture f;
        frmConnect dialog(*f.messenger.program, &f.mnuConnect);
        auto *txtIP = dialog.findChild<QLineEdit *>(u"txtIP"_qs);
        QCOMPARE(txtIP->maxLength(), 15);
        QCOMPARE(txtIP->toolTip(), u"IP Address of the Remote Computer."_qs);
        QVERIFY(button(dialog, u"cmdOk"_qs)->isDefault());
        QStringList tabOrder;
        QWidget *widget = txtIP;
        for (int i = 0; i < 4; ++i, widget = widget->nextInFocusChain())
            tabOrder << widget->objectName();
        QCOMPARE(tabOrder,
            (QStringList { u"txtIP"_qs, u"cmdUserSettings"_qs, u"cmdOk"_qs, u"cmdCancel"_qs }));
    }

    void addressKeys_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("an address") << u"192.168.0.10"_qs << u"192.168.0.10"_qs;
        QTest::newRow("letters, blanks and signs dropped") << u"a1 -b.2:c/d"_qs << u"1.2"_qs;
        QTest::newRow("stops at 15") << u"1234567890123456"_qs << u"123456789012345"_qs;
    }
    void addressKeys()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Fixture f;
        frmConnect dialog(*f.messenger.program, &f.mnuConnect);
        auto *txtIP = dialog.findChild<QLineEdit *>(u"txtIP"_qs);
        QTest::keyClicks(txtIP, typed);
        QCOMPARE(txtIP->text(), shown);
    }

    // Backspace edits; the copy, cut and paste chords are swallowed like other control keys.
    void addressControlKeys()
    {
        Fixture f;
        f.messenger.program->RemoteIP = u"10.0.0.1"_qs;
        frmConnect dialog(*f.messenger.program, &f.mnuConnect);
        auto *txtIP = dialog.findChild<QLineEdit *>(u"txtIP"_qs);
        txtIP->end(false);
        QTest::keyClick(txtIP, Qt::Key_Backspace);
        QGuiApplication::clipboard()->setText(u"7"_qs);
        QTest::keyClick(txtIP, Qt::Key_V, Qt::ControlModifier);
        txtIP->selectAll();
        QTest::keyClick(txtIP, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(txtIP->text(), u"10.0.0."_qs);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"7"_qs);
    }

    void longHostNameShownWhole()
    {
        Fixture f;
        f.messenger.program->RemoteIP = u"partner.example.org"_qs;
        frmConnect dialog(*f.messenger.program, &f.mnuConnect);
        QCOMPARE(dialog.findChild<QLineEdit *>(u"txtIP"_qs)->text(), u"partner.example.org"_qs);
    }

    void waysOut_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<QString>("remoteIP");
        QTest::newRow("Connect") << u"cmdOk"_qs << u"1"_qs << u"10.0.0.25"_qs;
        QTest::newRow("Enter") << u"Enter"_qs << u"1"_qs << u"10.0.0.25"_qs;
        QTest::newRow("Cancel") << u"cmdCancel"_qs << QString() << u"10.0.0.2"_qs;
        QTest::newRow("close box") << u"close"_qs << QString() << u"10.0.0.2"_qs;
    }
    void waysOut()
    {
        QFETCH(QString, way);
        QFETCH(QString, flag);
        QFETCH(QString, remoteIP);
        Fixture f;
        f.messenger.program->RemoteIP = u"10.0.0.2"_qs;
        f.mnuConnect.setData(way == u"close" || way == u"cmdCancel" ? u"1"_qs : QString());
        frmConnect dialog(*f.messenger.program, &f.mnuConnect);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *txtIP = dialog.findChild<QLineEdit *>(u"txtIP"_qs);
        QTest::keyClicks(txtIP, u"5"_qs);
        if (way == u"Enter")
            QTest::keyClick(txtIP, Qt::Key_Return);
        else if (way == u"close")
            dialog.close();
        else
            QTest::mouseClick(button(dialog, way), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.mnuConnect.data().toString(), flag);
        QCOMPARE(f.messenger.program->RemoteIP, remoteIP);
    }

    // Esc presses the settings button: the settings open over the connect dialog, which
    // stays open.
    void escapeOpensSettings()
    {
        Fixture f;
        f.owner.show();
        frmConnect dialog(*f.messenger.program, &f.mnuConnect, &f.owner);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QString opened;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            opened = modal ? modal->objectName() : QString();
            if (modal)
                modal->close();
        });
        QTest::keyClick(dialog.findChild<QLineEdit *>(u"txtIP"_qs), Qt::Key_Escape);
        QCOMPARE(opened, u"frmSettings"_qs);
        QVERIFY(dialog.isVisible());
    }

    void centredOnOwner()
    {
        Fixture f;
        f.owner.setGeometry(100, 80, 600, 400);
        f.owner.show();
        frmConnect dialog(*f.messenger.program, &f.mnuConnect, &f.owner);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY((dialog.geometry().center() - f.owner.geometry().center()).manhattanLength() <= 2);
    }
};

QTEST_MAIN(tst_frmConnect)
#include "tst_frmConnect.moc"
