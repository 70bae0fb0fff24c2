#include "support/RawPeer.h"
#include "support/TestProgram.h"
#include "ui/frmSettings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {

const QStringList Fields { QStringLiteral("txtNick"), QStringLiteral("txtName"),
    QStringLiteral("txtEmail"), QStringLiteral("txtPath") };

QStringList values(const char *text)
{
    return QString::fromUtf8(text).split(u'|');
}

} // namespace

class tst_frmSettings : public QObject
{
    Q_OBJECT

    TestProgram m_copy { QStringLiteral("127.0.0.1"), TestProgram::freePorts() };

private slots:
    // The default download folder is the user's download folder.
    void initTestCase()
    {
        qputenv("HOME", "/home/zara");
        qputenv("XDG_CONFIG_HOME", "/home/zara/.config-of-tests");
    }

    // Each field's length limit, and the signs an e-mail address cannot hold.
    void typing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const char *rows[][3] = {
            { "txtNick", "abcdefghijk", "abcdefghij" },
            { "txtName", "1234567890123456789012345678901", "123456789012345678901234567890" },
            { "txtPath", "1234567890123456789012345678901", "123456789012345678901234567890" },
            { "txtEmail", "a!#$%^&*()=+{}[]|\\;:'/?>,<\"b", "ab" },
            { "txtEmail", "Ali_Raza-1 @mail.org", "Ali_Raza-1 @mail.org" },
        };
        for (const auto &row : rows)
            QTest::addRow("%s %s", row[0], row[1])
                << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1])
                << QString::fromUtf8(row[2]);
    }
    void typing()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        frmSettings dialog(*m_copy.program);
        auto *field = dialog.findChild<QLineEdit *>(name);
        QTest::keyClicks(field, typed);
        QCOMPARE(field->text(), shown);
    }

    // The dialog opens on the program's values, read-only while connected. OK trims the three
    // names, ends the folder with a separator (an empty one is the default folder) and stores
    // them at once, or refuses with a message while one of the three is missing; while
    // connected it stores nothing, even values that differ.
    void ok_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("stored"); // empty when refused
        const char *rows[][4] = {
            { "", "blanks around the names removed", "  zara | Zara Khan | z@x.org |/tmp/in",
                "zara|Zara Khan|z@x.org|/tmp/in/" },
            { "", "folder taken as typed", "z|Z|z@x| /a b/", "z|Z|z@x| /a b/" },
            { "", "empty folder", "z|Z|z@x|", "z|Z|z@x|/home/zara/Downloads/" },
            { "", "no nickname", "|Z|z@x|/a/", "" },
            { "", "blank full name", "z|  |z@x|/a/", "" },
            { "", "no e-mail", "z|Z||/a/", "" },
            { "x", "connected", "z|Z|z@x|/a/", "" },
        };
        for (const auto &row : rows)
            QTest::newRow(row[1]) << bool(*row[0]) << values(row[2])
                                  << (*row[3] ? values(row[3]) : QStringList());
    }
    void ok()
    {
        QFETCH(bool, connected);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        TestProgram copy(QStringLiteral("127.0.0.1"), TestProgram::freePorts());
        copy.startAs(QStringLiteral("old"));
        RawPeer caller;
        QVERIFY(!connected || caller.call(QStringLiteral("127.0.0.2"), copy.ports().chat));
        QTRY_COMPARE(copy.program->IsConnected(), connected);
        basMain &program = *copy.program;
        const QStringList before
            = values("old|old Khan|old@example.org|/home/zara/with/a/rather/long/download/folder/");
        program.DownloadPath = before[3];
        program.LocalUserIP = QStringLiteral("<b>10.1.2.3</b>");
        frmSettings dialog(program);
        dialog.show();
        const auto *ip = dialog.findChild<QLabel *>(QStringLiteral("lblIPAddress"));
        QCOMPARE(
            ip->text() + QString::number(ip->textFormat()), QStringLiteral("<b>10.1.2.3</b>0"));
        for (int i = 0; i < Fields.size(); ++i) {
            auto *field = dialog.findChild<QLineEdit *>(Fields[i]);
            QCOMPARE(field->text(), before[i]);
            QCOMPARE(field->isEnabled(), !connected);
            field->setText(typed[i]);
        }
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);

        const QSettings file(copy.settingsFile(), QSettings::IniFormat);
        QStringList inFile;
        for (const char *key : { "Nickname", "FullName", "Email", "Path" })
            inFile << file.value(QStringLiteral("settings/") + QLatin1String(key)).toString();
        const bool refused = stored.isEmpty() && !connected;
        QCOMPARE(dialog.isVisible(), refused);
        QCOMPARE(copy.textsShown().join(u'|'),
            refused ? QStringLiteral("Please Enter Nickname, Fullname & Email.") : QString());
        QCOMPARE((QStringList { program.LocalNickname, program.LocalFullName, program.LocalEmail,
                     program.DownloadPath }),
            stored.isEmpty() ? before : stored);
        QCOMPARE(inFile, stored.isEmpty() ? QStringList(4) : stored);
    }
};

QTEST_MAIN(tst_frmSettings)
#include "tst_frmSettings.moc"
