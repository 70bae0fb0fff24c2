#include "support/TestMessenger.h"
#include "ui/frmSettings.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

// The settings dialog: what it shows, what typing can put into its fields, and what OK
// stores in the program and its settings file.
class tst_frmSettings : public QObject
{
    Q_OBJECT

private:
    static QLineEdit *field(const frmSettings &dialog, const QString &name)
    {
        return dialog.findChild<QLineEdit *>(name);
    }

    static void clickButton(const frmSettings &dialog, const QString &name)
    {
        QTest::mouseClick(dialog.findChild<QPushButton *>(name), Qt::LeftButton);
    }

    static QString storedValue(const TestMessenger &messenger, const QString &key)
    {
        return QSettings(messenger.settingsFile(), QSettings::IniFormat)
            .value(u"settings/"_qs + key)
            .toString();
    }

private slots:
    // Each field's length limit, and the signs an e-mail address cannot hold.
    void typing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const QString forty(40, u'x');
        QTest::newRow("nickname stops at 10")
            << u"txtNick"_qs << u"abcdefghijk"_qs << u"abcdefghij"_qs;
        QTest::newRow("full name stops at 30") << u"txtName"_qs << forty << QString(30, u'x');
        QTest::newRow("folder stops at 30") << u"txtPath"_qs << forty << QString(30, u'x');
        QTest::newRow("e-mail drops the refused signs")
            << u"txtEmail"_qs << u"a!#$%^&*()=+{}[]|\\;:'/?>,<\"b"_qs << u"ab"_qs;
        QTest::newRow("e-mail takes an address")
            << u"txtEmail"_qs << u"Ali_Raza-1 @mail.example.org"_qs
            << u"Ali_Raza-1 @mail.example.org"_qs;
        QTest::newRow("nickname takes the signs") << u"txtNick"_qs << u"+a/b"_qs << u"+a/b"_qs;
    }
    void typing()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.program->DownloadPath.clear();
        frmSettings dialog(*messenger.program);
        QLineEdit *box = this->field(dialog, field);
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), shown);
    }

    // The dialog opens on the program's values (the address never read as markup); OK trims
    // and stores the values at once, or refuses while one of the three is missing.
    void ok_data()
    {
        QTest::addColumn<QStringList>("typed"); // nickname, full name, e-mail, folder
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<bool>("refused");
        const QString sep = QDir::separator();
        const QString defaultFolder = basMain::defaultDownloadPath();
        QTest::newRow("blanks around are removed")
            << QStringList { u"  zara "_qs, u" Zara Khan "_qs, u" z@example.org "_qs,
                   u"/tmp/in"_qs }
            << QStringList { u"zara"_qs, u"Zara Khan"_qs, u"z@example.org"_qs, u"/tmp/in"_qs + sep }
            << false;
        QTest::newRow("folder blanks kept")
            << QStringList { u"zara"_qs, u"Zara"_qs, u"z@x"_qs, u" /tmp/a b "_qs }
            << QStringList { u"zara"_qs, u"Zara"_qs, u"z@x"_qs, u" /tmp/a b "_qs + sep } << false;
        QTest::newRow("empty folder is the default folder")
            << QStringList { u"zara"_qs, u"Zara"_qs, u"z@x"_qs, QString() }
            << QStringList { u"zara"_qs, u"Zara"_qs, u"z@x"_qs, defaultFolder } << false;
        QTest::newRow("no nickname") << QStringList { QString(), u"Zara"_qs, u"z@x"_qs, u"/tmp"_qs }
                                     << QStringList() << true;
        QTest::newRow("blank full name") << QStringList { u"zara"_qs, u"   "_qs, u"z@x"_qs,
            u"/tmp"_qs } << QStringList() << true;
        QTest::newRow("no e-mail") << QStringList { u"zara"_qs, u"Zara"_qs, QString(), u"/tmp"_qs }
                                   << QStringList() << true;
    }
    void ok()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        QFETCH(bool, refused);
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        basMain &program = *messenger.program;
        const QStringList before { u"old"_qs, u"Old Name"_qs, u"old@x"_qs, u"/old/"_qs };
        program.LocalNickname = before[0];
        program.LocalFullName = before[1];
        program.LocalEmail = before[2];
        program.DownloadPath = before[3];
        program.LocalUserIP = u"<b>10.1.2.3</b>"_qs;
        frmSettings dialog(program);
        dialog.show();
        const auto *ip = dialog.findChild<QLabel *>(u"lblIPAddress"_qs);
        QCOMPARE(ip->text(), program.LocalUserIP);
        QCOMPARE(ip->textFormat(), Qt::PlainText);
        const QStringList names { u"txtNick"_qs, u"txtName"_qs, u"txtEmail"_qs, u"txtPath"_qs };
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(field(dialog, names[i])->text(), before[i]);
            field(dialog, names[i])->setText(typed[i]);
        }

        clickButton(dialog, u"cmdOK"_qs);

        const QStringList values { program.LocalNickname, program.LocalFullName, program.LocalEmail,
            program.DownloadPath };
        if (refused) {
            QCOMPARE(messenger.desktop.shown.size(), 1);
            QCOMPARE(
                messenger.desktop.shown[0].text, u"Please Enter Nickname, Fullname & Email."_qs);
            QCOMPARE(messenger.desktop.shown[0].icon, Desktop::Icon::Exclamation);
            QVERIFY(dialog.isVisible());
            QCOMPARE(values, before);
            for (int i = 0; i < names.size(); ++i)
                QCOMPARE(field(dialog, names[i])->text(), typed[i]);
            QVERIFY(storedValue(messenger, u"Nickname"_qs).isEmpty());
            return;
        }
        QVERIFY(messenger.desktop.shown.isEmpty());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(values, stored);
        // Confirmed values are in the file at once, not only at exit.
        QCOMPARE((QStringList { storedValue(messenger, u"Nickname"_qs),
                     storedValue(messenger, u"FullName"_qs), storedValue(messenger, u"Email"_qs),
                     storedValue(messenger, u"Path"_qs) }),
            stored);
    }

    // A folder longer than the field's limit, stored by hand, survives OK whole, and the
    // limit still stops typing.
    void longStoredFolderKeptWhole()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        basMain &program = *messenger.program;
        const QString longFolder = u"/home/someone/with/a/rather/long/download/folder/"_qs;
        program.LocalNickname = u"n"_qs;
        program.LocalFullName = u"f"_qs;
        program.LocalEmail = u"e@x"_qs;
        program.DownloadPath = longFolder;
        frmSettings dialog(program);
        dialog.show();
        QLineEdit *path = field(dialog, u"txtPath"_qs);
        QCOMPARE(path->text(), longFolder);
        path->end(false);
        QTest::keyClicks(path, u"more"_qs);
        QCOMPARE(path->text(), longFolder);

        clickButton(dialog, u"cmdOK"_qs);
        QCOMPARE(program.DownloadPath, longFolder);
    }

    void escapeStoresNothing()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        frmSettings dialog(*messenger.program);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(field(dialog, u"txtNick"_qs), u"new"_qs);
        QTest::keyClick(field(dialog, u"txtNick"_qs), Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(messenger.program->LocalNickname.isEmpty());
    }

    // In a session the fields are read-only and OK stores nothing, even values that differ.
    void readOnlyInSession()
    {
        const TestMessenger::Ports ports = TestMessenger::freePorts();
        TestMessenger caller(u"127.0.0.1"_qs, TestMessenger::freePorts());
        TestMessenger callee(u"127.0.0.2"_qs, ports);
        caller.start();
        callee.start();
        QVERIFY(caller.callChatSocketOf(callee, u"127.0.0.2"_qs));
        basMain &program = *caller.program;
        program.LocalNickname = u"kept"_qs;
        frmSettings dialog(program);
        dialog.show();
        for (const QString &name : { u"txtNick"_qs, u"txtName"_qs, u"txtEmail"_qs, u"txtPath"_qs })
            QVERIFY(!field(dialog, name)->isEnabled());
        QVERIFY(dialog.findChild<QPushButton *>(u"cmdOK"_qs)->isEnabled());
        field(dialog, u"txtNick"_qs)->setText(u"changed"_qs);

        clickButton(dialog, u"cmdOK"_qs);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(program.LocalNickname, u"kept"_qs);
        QVERIFY(caller.desktop.shown.isEmpty());
    }
};

QTEST_MAIN(tst_frmSettings)
#include "tst_frmSettings.moc"
