#include "support/RawPeer.h"
#include "support/TestProgram.h"
#include "ui/frmSettings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {

const QString LongFolder = QStringLiteral("/home/zara/with/a/rather/long/download/folder/");

QLineEdit *field(const frmSettings &dialog, const QString &name)
{
    return dialog.findChild<QLineEdit *>(name);
}

const QStringList Fields { QStringLiteral("txtNick"), QStringLiteral("txtName"),
    QStringLiteral("txtEmail"), QStringLiteral("txtPath") };

} // namespace

// The settings dialog: its rows, what typing can put into its fields, and what OK stores in
// the program and its settings file.
class tst_frmSettings : public QObject
{
    Q_OBJECT

private slots:
    // The default download folder is the user's download folder.
    void initTestCase()
    {
        qputenv("HOME", "/home/zara");
        qputenv("XDG_CONFIG_HOME", "/home/zara/.config-of-tests");
    }

    // Each label beside its field, from the top.
    void rows()
    {
        TestProgram program(QStringLiteral("127.0.0.1"), TestProgram::freePorts());
        frmSettings dialog(*program.program);
        QList<QLabel *> labels = dialog.findChildren<QLabel *>(QStringLiteral("lblDesc"));
        std::sort(
            labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->y() < b->y(); });
        QList<QWidget *> boxes { dialog.findChild<QLabel *>(QStringLiteral("lblIPAddress")) };
        for (const QString &name : Fields)
            boxes << field(dialog, name);
        QStringList rows;
        for (const QLabel *label : labels) {
            const int middle = label->geometry().center().y();
            for (const QWidget *box : boxes) {
                if (box->y() <= middle && middle <= box->geometry().bottom()
                    && box->x() > label->x())
                    rows << label->text() + u' ' + box->objectName();
            }
        }
        QCOMPARE(rows,
            (QStringList { QStringLiteral("Local IP Address : lblIPAddress"),
                QStringLiteral("Your NickName : txtNick"),
                QStringLiteral("Your Full Name : txtName"),
                QStringLiteral("Your Email Address : txtEmail"),
                QStringLiteral("Download Folder : txtPath") }));
    }

    // Each field's length limit, and the signs an e-mail address cannot hold.
    void typing_data()
    {
        QTest::addColumn<QString>("name");
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
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TestProgram program(QStringLiteral("127.0.0.1"), TestProgram::freePorts());
        frmSettings dialog(*program.program);
        QTest::keyClicks(field(dialog, name), typed);
        QCOMPARE(field(dialog, name)->text(), shown);
    }

    // The dialog opens on the program's values; OK trims the three names, ends the folder
    // with a separator (an empty one is the default folder) and stores them at once, or
    // refuses while one of the three is missing.
    void ok_data()
    {
        QTest::addColumn<QStringList>("typed"); // nickname, full name, e-mail, folder
        QTest::addColumn<QStringList>("stored"); // empty when refused
        QTest::newRow("blanks around the names removed")
            << QStringList { QStringLiteral("  zara "), QStringLiteral(" Zara Khan "),
                   QStringLiteral(" z@example.org "), QStringLiteral("/tmp/in") }
            << QStringList { QStringLiteral("zara"), QStringLiteral("Zara Khan"),
                   QStringLiteral("z@example.org"), QStringLiteral("/tmp/in/") };
        QTest::newRow("folder taken as typed")
            << QStringList { QStringLiteral("z"), QStringLiteral("Z"), QStringLiteral("z@x"),
                   QStringLiteral(" /a b/") }
            << QStringList { QStringLiteral("z"), QStringLiteral("Z"), QStringLiteral("z@x"),
                   QStringLiteral(" /a b/") };
        QTest::newRow("empty folder")
            << QStringList { QStringLiteral("z"), QStringLiteral("Z"), QStringLiteral("z@x"),
                   QString() }
            << QStringList { QStringLiteral("z"), QStringLiteral("Z"), QStringLiteral("z@x"),
                   QStringLiteral("/home/zara/Downloads/") };
        QTest::newRow("long stored folder kept whole")
            << QStringList { QStringLiteral("z"), QStringLiteral("Z"), QStringLiteral("z@x"),
                   LongFolder }
            << QStringList { QStringLiteral("z"), QStringLiteral("Z"), QStringLiteral("z@x"),
                   LongFolder };
        QTest::newRow("no nickname")
            << QStringList { QString(), QStringLiteral("Z"), QStringLiteral("z@x"), QString() }
            << QStringList();
        QTest::newRow("blank full name") << QStringList { QStringLiteral("z"), QStringLiteral("  "),
            QStringLiteral("z@x"), QString() }
                                         << QStringList();
        QTest::newRow("no e-mail") << QStringList { QStringLiteral("z"), QStringLiteral("Z"),
            QString(), QString() } << QStringList();
    }
    void ok()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        TestProgram copy(QStringLiteral("127.0.0.1"), TestProgram::freePorts());
        basMain &program = *copy.program;
        const QStringList before { QStringLiteral("old"), QStringLiteral("Old Name"),
            QStringLiteral("old@x"), LongFolder };
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
        for (int i = 0; i < Fields.size(); ++i) {
            QCOMPARE(field(dialog, Fields[i])->text(), before[i]);
            field(dialog, Fields[i])->setText(typed[i]);
        }

        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);

        const QStringList values { program.LocalNickname, program.LocalFullName, program.LocalEmail,
            program.DownloadPath };
        const QSettings file(copy.settingsFile(), QSettings::IniFormat);
        QStringList inFile;
        for (const char *key : { "Nickname", "FullName", "Email", "Path" })
            inFile << file.value(QStringLiteral("settings/") + QLatin1String(key)).toString();
        QCOMPARE(dialog.isVisible(), stored.isEmpty());
        if (stored.isEmpty()) {
            QCOMPARE(copy.textsShown(),
                QStringList { QStringLiteral("Please Enter Nickname, Fullname & Email.") });
            QCOMPARE(copy.desktop.shown.first().icon, Desktop::Icon::Exclamation);
            QCOMPARE(values, before);
            for (int i = 0; i < Fields.size(); ++i)
                QCOMPARE(field(dialog, Fields[i])->text(), typed[i]);
            QCOMPARE(inFile, QStringList(4));
            return;
        }
        QCOMPARE(copy.textsShown(), QStringList());
        QCOMPARE(values, stored);
        QCOMPARE(inFile, stored);
    }

    // While connected the fields are read-only and OK stores nothing, even values that differ.
    void readOnlyWhileConnected()
    {
        TestProgram copy(QStringLiteral("127.0.0.1"), TestProgram::freePorts());
        copy.startAs(QStringLiteral("kept"));
        RawPeer caller;
        QVERIFY(caller.call(QStringLiteral("127.0.0.2"), copy.ports().chat));
        QTRY_VERIFY(copy.program->IsConnected());
        frmSettings dialog(*copy.program);
        dialog.show();
        for (const QString &name : Fields)
            QVERIFY(!field(dialog, name)->isEnabled());
        field(dialog, QStringLiteral("txtNick"))->setText(QStringLiteral("changed"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(copy.program->LocalNickname, QStringLiteral("kept"));
        QCOMPARE(copy.textsShown(), QStringList());
    }
};

QTEST_MAIN(tst_frmSettings)
#include "tst_frmSettings.moc"
