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
            .value(QStringLiteral("settings/") + key)
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
            << QStringLiteral("txtNick") << QStringLiteral("abcdefghijk")
            << QStringLiteral("abcdefghij");
        QTest::newRow("full name stops at 30")
            << QStringLiteral("txtName") << forty << QString(30, u'x');
        QTest::newRow("folder stops at 30")
            << QStringLiteral("txtPath") << forty << QString(30, u'x');
        QTest::newRow("e-mail drops the refused signs")
            << QStringLiteral("txtEmail") << QStringLiteral("a!#$%^&*()=+{}[]|\\;:'/?>,<\"b")
            << QStringLiteral("ab");
        QTest::newRow("e-mail takes an address")
            << QStringLiteral("txtEmail") << QStringLiteral("Ali_Raza-1 @mail.example.org")
            << QStringLiteral("Ali_Raza-1 @mail.example.org");
        QTest::newRow("nickname takes the signs")
            << QStringLiteral("txtNick") << QStringLiteral("+a/b") << QStringLiteral("+a/b");
    }
    void typing()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TestMessenger messenger(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
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
            << QStringList { QStringLiteral("  zara "), QStringLiteral(" Zara Khan "),
                   QStringLiteral(" z@example.org "), QStringLiteral("/tmp/in") }
            << QStringList { QStringLiteral("zara"), QStringLiteral("Zara Khan"),
                   QStringLiteral("z@example.org"), QStringLiteral("/tmp/in") + sep }
            << false;
        QTest::newRow("folder blanks kept")
            << QStringList { QStringLiteral("zara"), QStringLiteral("Zara"), QStringLiteral("z@x"),
                   QStringLiteral(" /tmp/a b ") }
            << QStringList { QStringLiteral("zara"), QStringLiteral("Zara"), QStringLiteral("z@x"),
                   QStringLiteral(" /tmp/a b ") + sep }
            << false;
        QTest::newRow("empty folder is the default folder")
            << QStringList { QStringLiteral("zara"), QStringLiteral("Zara"), QStringLiteral("z@x"),
                   QString() }
            << QStringList { QStringLiteral("zara"), QStringLiteral("Zara"), QStringLiteral("z@x"),
                   defaultFolder }
            << false;
        QTest::newRow("no nickname") << QStringList { QString(), QStringLiteral("Zara"),
            QStringLiteral("z@x"), QStringLiteral("/tmp") }
                                     << QStringList() << true;
        QTest::newRow("blank full name") << QStringList { QStringLiteral("zara"),
            QStringLiteral("   "), QStringLiteral("z@x"), QStringLiteral("/tmp") }
                                         << QStringList() << true;
        QTest::newRow("no e-mail") << QStringList { QStringLiteral("zara"), QStringLiteral("Zara"),
            QString(), QStringLiteral("/tmp") }
                                   << QStringList() << true;
    }
    void ok()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        QFETCH(bool, refused);
        TestMessenger messenger(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
        basMain &program = *messenger.program;
        const QStringList before { QStringLiteral("old"), QStringLiteral("Old Name"),
            QStringLiteral("old@x"), QStringLiteral("/old/") };
        program.LocalNickname = before[0];
        program.LocalFullName = before[1];
        program.LocalEmail = before[2];
        program.DownloadPath = before[3];
        program.LocalUserIP = QStringLiteral("<b>10.1.2.3</b>");
        frmSettings dialog(program);
        dialog.show();
        const auto *ip = dialog.findChild<QLabel *>(QStringLiteral("lblIPAddress"));
        QCOMPARE(ip->text(), program.LocalUserIP);
        QCOMPARE(ip->textFormat(), Qt::PlainText);
        const QStringList names { QStringLiteral("txtNick"), QStringLiteral("txtName"),
            QStringLiteral("txtEmail"), QStringLiteral("txtPath") };
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(field(dialog, names[i])->text(), before[i]);
            field(dialog, names[i])->setText(typed[i]);
        }

        clickButton(dialog, QStringLiteral("cmdOK"));

        const QStringList values { program.LocalNickname, program.LocalFullName, program.LocalEmail,
            program.DownloadPath };
        if (refused) {
            QCOMPARE(messenger.desktop.shown.size(), 1);
            QCOMPARE(messenger.desktop.shown[0].text,
                QStringLiteral("Please Enter Nickname, Fullname & Email."));
            QCOMPARE(messenger.desktop.shown[0].icon, Desktop::Icon::Exclamation);
            QVERIFY(dialog.isVisible());
            QCOMPARE(values, before);
            for (int i = 0; i < names.size(); ++i)
                QCOMPARE(field(dialog, names[i])->text(), typed[i]);
            QVERIFY(storedValue(messenger, QStringLiteral("Nickname")).isEmpty());
            return;
        }
        QVERIFY(messenger.desktop.shown.isEmpty());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(values, stored);
        // Confirmed values are in the file at once, not only at exit.
        QCOMPARE((QStringList { storedValue(messenger, QStringLiteral("Nickname")),
                     storedValue(messenger, QStringLiteral("FullName")),
                     storedValue(messenger, QStringLiteral("Email")),
                     storedValue(messenger, QStringLiteral("Path")) }),
            stored);
    }

    // A folder longer than the field's limit, stored by hand, survives OK whole, and the
    // limit still stops typing.
    void longStoredFolderKeptWhole()
    {
        TestMessenger messenger(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
        basMain &program = *messenger.program;
        const QString longFolder
            = QStringLiteral("/home/someone/with/a/rather/long/download/folder/");
        program.LocalNickname = QStringLiteral("n");
        program.LocalFullName = QStringLiteral("f");
        program.LocalEmail = QStringLiteral("e@x");
        program.DownloadPath = longFolder;
        frmSettings dialog(program);
        dialog.show();
        QLineEdit *path = field(dialog, QStringLiteral("txtPath"));
        QCOMPARE(path->text(), longFolder);
        path->end(false);
        QTest::keyClicks(path, QStringLiteral("more"));
        QCOMPARE(path->text(), longFolder);

        clickButton(dialog, QStringLiteral("cmdOK"));
        QCOMPARE(program.DownloadPath, longFolder);
    }

    void escapeStoresNothing()
    {
        TestMessenger messenger(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
        frmSettings dialog(*messenger.program);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(field(dialog, QStringLiteral("txtNick")), QStringLiteral("new"));
        QTest::keyClick(field(dialog, QStringLiteral("txtNick")), Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(messenger.program->LocalNickname.isEmpty());
    }

    // In a session the fields are read-only and OK stores nothing, even values that differ.
    void readOnlyInSession()
    {
        const TestMessenger::Ports ports = TestMessenger::freePorts();
        TestMessenger caller(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
        TestMessenger callee(QStringLiteral("127.0.0.2"), ports);
        caller.start();
        callee.start();
        QVERIFY(caller.callChatSocketOf(callee, QStringLiteral("127.0.0.2")));
        basMain &program = *caller.program;
        program.LocalNickname = QStringLiteral("kept");
        frmSettings dialog(program);
        dialog.show();
        for (const QString &name : { QStringLiteral("txtNick"), QStringLiteral("txtName"),
                 QStringLiteral("txtEmail"), QStringLiteral("txtPath") })
            QVERIFY(!field(dialog, name)->isEnabled());
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK"))->isEnabled());
        field(dialog, QStringLiteral("txtNick"))->setText(QStringLiteral("changed"));

        clickButton(dialog, QStringLiteral("cmdOK"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(program.LocalNickname, QStringLiteral("kept"));
        QVERIFY(caller.desktop.shown.isEmpty());
    }
};

QTEST_MAIN(tst_frmSettings)
#include "tst_frmSettings.moc"
