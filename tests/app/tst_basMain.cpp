#include "app/basMain.h"
#include "net/SocketEndpoint.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QSettings>
#include <QTest>

// The identity, address and folder values: what a start reads and what an exit writes.
class tst_basMain : public QObject
{
    Q_OBJECT

private:
    static void storeValues(const QString &file, const QVariantMap &values)
    {
        QSettings settings(file, QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            settings.setValue(QStringLiteral("settings/") + it.key(), it.value());
    }

private slots:
    void startReadsStore_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QStringList>("expected"); // RemoteIP, nickname, full name, e-mail, path

        const QString defaultPath = basMain::defaultDownloadPath();
        QTest::newRow("nothing stored") << QVariantMap()
                                        << QStringList { {}, {}, {}, {}, defaultPath };
        QTest::newRow("all stored")
            << QVariantMap { { u"RemoteIP"_qs, u"10.0.0.7"_qs }, { u"Nickname"_qs, u"ali"_qs },
                             { u"FullName"_qs, u"Ali Raza"_qs }, { u"Email"_qs, u"ali@example.org"_qs },
                             { u"Path"_qs, u"/tmp/in"_qs } }
            << QStringList { u"10.0.0.7"_qs, u"ali"_qs, u"Ali Raza"_qs, u"ali@example.org"_qs, u"/tmp/in"_qs };
        QTest::newRow("empty path is not the default")
            << QVariantMap { { u"Path"_qs, QString() } } << QStringList { {}, {}, {}, {}, QString() };
        QTest::newRow("values kept as stored")
            << QVariantMap { { u"Nickname"_qs, u"  sp, ace  "_qs }, { u"FullName"_qs, u"اردو"_qs },
                             { u"Path"_qs, u"/no/slash"_qs } }
            << QStringList { {}, u"  sp, ace  "_qs, u"اردو"_qs, {}, u"/no/slash"_qs };
    }
    void startReadsStore()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QStringList, expected);
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        storeValues(messenger.settingsFile(), stored);
        messenger.start();
        const basMain &program = *messenger.program;
        QCOMPARE((QStringList { program.RemoteIP, program.LocalNickname, program.LocalFullName,
                                program.LocalEmail, program.DownloadPath }),
                 expected);
        QVERIFY(program.RemoteNickname.isEmpty());
        QVERIFY(program.RemoteUserIP.isEmpty());
    }

    void defaultDownloadFolderEndsWithSeparator()
    {
        const QString path = basMain::defaultDownloadPath();
        QVERIFY(!path.isEmpty());
        QVERIFY(path.endsWith(QDir::separator()));
    }

    void exitWritesAllFiveKeys()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.start();
        basMain &program = *messenger.program;
        program.LocalNickname = u"zara"_qs;
        program.LocalFullName = QString();
        program.LocalEmail = u"a,b@example.org"_qs;
        program.RemoteIP = u"127.0.0.2"_qs;
        program.DownloadPath = u"/home/zara/in/"_qs;
        QStringList written;
        messenger.store->onWrite = [&](const QString &key) { written << key; };

        messenger.window().close();

        QCOMPARE(written, (QStringList { u"Nickname"_qs, u"FullName"_qs, u"Email"_qs, u"RemoteIP"_qs, u"Path"_qs }));
        QSettings stored(messenger.settingsFile(), QSettings::IniFormat);
        stored.beginGroup(u"settings"_qs);
        QCOMPARE(stored.childKeys().size(), 5);
        QCOMPARE(stored.value(u"Nickname"_qs).toString(), u"zara"_qs);
        QVERIFY(stored.contains(u"FullName"_qs));
        QCOMPARE(stored.value(u"FullName"_qs).toString(), QString());
        QCOMPARE(stored.value(u"Email"_qs).toString(), u"a,b@example.org"_qs);
        QCOMPARE(stored.value(u"Path"_qs).toString(), u"/home/zara/in/"_qs);

        // The next start finds what this one left.
        TestMessenger next(u"127.0.0.1"_qs, TestMessenger::freePorts(), false, messenger.settingsFile());
        next.start();
        QCOMPARE(next.program->LocalEmail, u"a,b@example.org"_qs);
        QCOMPARE(next.program->LocalFullName, QString());
        QCOMPARE(next.program->RemoteIP, u"127.0.0.2"_qs);
    }

    void notConnectedWhileListening()
    {
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        QVERIFY(!messenger.program->IsConnected());
        messenger.start();
        QCOMPARE(messenger.window().WskMain().State(), SocketEndpoint::SocketState::Listening);
        QVERIFY(!messenger.program->IsConnected());
    }
};

QTEST_MAIN(tst_basMain)
#include "tst_basMain.moc"
