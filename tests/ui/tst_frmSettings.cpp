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

QLineEdit *field(const frmSettings &dialog, const QString &name)
{
    return dialog.findChild<QLineEdit *>(name);
}

// Nickname, full name, e-mail and folder, given as one text separated by "|".
QStringList values(const char *text)
{
    return QString::fromUtf8(text).split(u'|');
}

} // namespace

// The settings dialog: its rows, what typing can put into its fields, and what OK stores in
// the program and its settings file.
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

    // Each label beside its field, from the top.
    void rows()
    {
        frmSettings dialog(*m_copy.program);
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
                if (box->y() <= middle && middle <= box->geometry().bottom())
                    rows << label->text() + box->objectName();
            }
        }
        QCOMPARE(rows.join(u'|'),
            QStringLiteral("Local IP Address :lblIPAddress|Your NickName :txtNick|Your Full Name "
                           ":txtName|Your Email Address :txtEmail|Download Folder :txtPath"));
    }

    // Each field's length limit, and the signs an e-mail address cannot hold.
    void typing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const char *rows[][4] = {
            { "nickname stops at 10", "txtNick", "abcdefghijk", "abcdefghij" },
            { "full name stops at 30", "txtName", "1234567890123456789012345678901",
                "123456789012345678901234567890" },
            { "folder stops at 30", "txtPath", "1234567890123456789012345678901",
                "123456789012345678901234567890" },
            { "e-mail drops the refused signs", "txtEmail", "a!#$%^&*()=+{}[]|\\;:'/?>,<\"b",
                "ab" },
            { "e-mail takes an address", "txtEmail", "Ali_Raza-1 @mail.org",
                "Ali_Raza-1 @mail.org" },
            { "nickname takes the signs", "txtNick", "+a/b", "+a/b" },
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2])
                                  << QString::fromUtf8(row[3]);
    }
    void typing()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        frmSettings dialog(*m_copy.program);
        QTest::keyClicks(field(dialog, name), typed);
        QCOMPARE(field(dialog, name)->text(), shown);
    }

    // The dialog opens on the program's values; OK trims the three names, ends the folder
    // with a separator (an empty one is the default folder) and stores them at once, or
    // refuses with a message while one of the three is missing.
    void ok_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("stored"); // empty when refused
        const char *rows[][3] = {
            { "blanks around the names removed", "  zara | Zara Khan | z@x.org |/tmp/in",
                "zara|Zara Khan|z@x.org|/tmp/in/" },
            { "folder taken as typed", "z|Z|z@x| /a b/", "z|Z|z@x| /a b/" },
            { "empty folder", "z|Z|z@x|", "z|Z|z@x|/home/zara/Downloads/" },
            { "long stored folder kept whole",
                "z|Z|z@x|/home/zara/with/a/rather/long/download/folder/",
                "z|Z|z@x|/home/zara/with/a/rather/long/download/folder/" },
            { "no nickname", "|Z|z@x|/a/", "" },
            { "blank full name", "z|  |z@x|/a/", "" },
            { "no e-mail", "z|Z||/a/", "" },
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << values(row[1]) << (*row[2] ? values(row[2]) : QStringList());
    }
    void ok()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        TestProgram copy(QStringLiteral("127.0.0.1"), TestProgram::freePorts());
        basMain &program = *copy.program;
        const QStringList before
            = values("old|Old Name|old@x|/home/zara/with/a/rather/long/download/folder/");
        program.LocalNickname = before[0];
        program.LocalFullName = before[1];
        program.LocalEmail = before[2];
        program.DownloadPath = before[3];
        program.LocalUserIP = QStringLiteral("<b>10.1.2.3</b>");
        frmSettings dialog(program);
        dialog.show();
        const auto *ip = dialog.findChild<QLabel *>(QStringLiteral("lblIPAddress"));
        QCOMPARE(
            ip->text() + QString::number(ip->textFormat()), QStringLiteral("<b>10.1.2.3</b>0"));
        for (int i = 0; i < Fields.size(); ++i) {
            QCOMPARE(field(dialog, Fields[i])->text(), before[i]);
            field(dialog, Fields[i])->setText(typed[i]);
        }
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);

        const QSettings file(copy.settingsFile(), QSettings::IniFormat);
        QStringList inFile;
        for (const char *key : { "Nickname", "FullName", "Email", "Path" })
            inFile << file.value(QStringLiteral("settings/") + QLatin1String(key)).toString();
        QCOMPARE(dialog.isVisible(), stored.isEmpty());
        QCOMPARE(copy.textsShown(),
            stored.isEmpty()
                ? QStringList { QStringLiteral("Please Enter Nickname, Fullname & Email.") }
                : QStringList());
        QCOMPARE((QStringList { program.LocalNickname, program.LocalFullName, program.LocalEmail,
                     program.DownloadPath }),
            stored.isEmpty() ? before : stored);
        QCOMPARE(inFile, stored.isEmpty() ? QStringList(4) : stored);
    }

    // While connected the fields are read-only and OK stores nothing, even values that differ.
    void readOnlyWhileConnected()
    {
        m_copy.startAs(QStringLiteral("kept"));
        RawPeer caller;
        QVERIFY(caller.call(QStringLiteral("127.0.0.2"), m_copy.ports().chat));
        QTRY_VERIFY(m_copy.program->IsConnected());
        frmSettings dialog(*m_copy.program);
        dialog.show();
        for (const QString &name : Fields)
            QVERIFY(!field(dialog, name)->isEnabled());
        field(dialog, QStringLiteral("txtNick"))->setText(QStringLiteral("changed"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(m_copy.program->LocalNickname, QStringLiteral("kept"));
        QCOMPARE(m_copy.textsShown(), QStringList());
    }
};

QTEST_MAIN(tst_frmSettings)
#include "tst_frmSettings.moc"
