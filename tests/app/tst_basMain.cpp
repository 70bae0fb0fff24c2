#include "app/ShutdownSignals.h"
#include "app/basMain.h"
#include "net/SocketEndpoint.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

// The identity, address and folder values: what a start reads and what an exit writes.
class tst_basMain : public QObject
{
    Q_OBJECT

private slots:
    // What a start reads from the settings file, as the program or a user wrote it.
    void startReadsStore_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected"); // RemoteIP, nickname, full name, e-mail, path
        const QString defaultPath = basMain::defaultDownloadPath();
        const auto nickname = [&](const QString &nick) {
            return QStringList { {}, nick, {}, {}, defaultPath };
        };
        QTest::newRow("nothing stored") << QByteArray() << nickname(QString());
        QTest::newRow("empty path is not the default")
            << QByteArray("[settings]\nPath=\n") << QStringList { {}, {}, {}, {}, QString() };
        QTest::newRow("values kept as stored, quoted by Qt")
            << QByteArray("[settings]\nNickname=\"  sp, ace  \"\nFullName=اردو\nPath=/no/slash\n")
            << QStringList { {}, u"  sp, ace  "_qs, u"اردو"_qs, {}, u"/no/slash"_qs };
        QTest::newRow("comma and blank")
            << QByteArray("[settings]\nNickname=a, b\n") << nickname(u"a, b"_qs);
        QTest::newRow("only a comma, last line")
            << QByteArray("[settings]\nNickname=,") << nickname(u","_qs);
        QTest::newRow("same key in another section")
            << QByteArray("[other]\nNickname=p, q\n[settings]\nNickname=r, s\n")
            << nickname(u"r, s"_qs);
    }
    void startReadsStore()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString settingsFile = TestFiles::write(dir.filePath(u"Kalvex.conf"_qs), file);
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts(), false, settingsFile);
        messenger.start();
        const basMain &program = *messenger.program;
        QCOMPARE((QStringList { program.RemoteIP, program.LocalNickname, program.LocalFullName,
                     program.LocalEmail, program.DownloadPath }),
            expected);
    }

    // An exit writes the five values; the next start reads them back.
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

        QCOMPARE(written,
            (QStringList {
                u"Nickname"_qs, u"FullName"_qs, u"Email"_qs, u"RemoteIP"_qs, u"Path"_qs }));

        // The next start finds what this one left.
        TestMessenger next(
            u"127.0.0.1"_qs, TestMessenger::freePorts(), false, messenger.settingsFile());
        next.start();
        const basMain &read = *next.program;
        QCOMPARE((QStringList { read.LocalNickname, read.LocalFullName, read.LocalEmail,
                     read.RemoteIP, read.DownloadPath }),
            (QStringList { u"zara"_qs, QString(), u"a,b@example.org"_qs, u"127.0.0.2"_qs,
                u"/home/zara/in/"_qs }));
    }

    void programStoreIsPerUserKalvex()
    {
        SettingsStore store;
        QCOMPARE(store.fileName(),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                + u"/Kalvex/Kalvex.conf"_qs);
    }

    // The settings folder is blocked by a file: the user hears of it once, with the reason,
    // and again only after a save in between has worked.
    void failedSaveIsToldOnce()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(u"blocker"_qs);
        const QString file = blocker + u"/Kalvex.conf"_qs;
        TestFiles::write(blocker, "not a folder");
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts(), false, file);
        messenger.start();
        basMain &program = *messenger.program;
        program.LocalNickname = u"zara"_qs;
        const QString message = u"Your settings could not be saved in "_qs + file + u":\n"_qs
            + blocker + u" is not a folder."_qs;

        program.SaveSettings();
        program.SaveSettings();
        QCOMPARE(messenger.desktop.shown.size(), 1);
        QCOMPARE(messenger.desktop.shown.at(0).text, message);
        QCOMPARE(messenger.desktop.shown.at(0).icon, Desktop::Icon::Exclamation);

        QVERIFY(QFile::remove(blocker));
        program.SaveSettings();
        QCOMPARE(messenger.desktop.shown.size(), 1);
        QCOMPARE(QSettings(file, QSettings::IniFormat).value(u"settings/Nickname"_qs).toString(),
            u"zara"_qs);

        QVERIFY(QDir(blocker).removeRecursively());
        TestFiles::write(blocker, "not a folder");
        program.LocalNickname = u"zara2"_qs;
        messenger.window().close();
        QCOMPARE(messenger.desktop.shown.size(), 2);
        QCOMPARE(messenger.desktop.shown.at(1).text, message);
        QCOMPARE(messenger.endProcessCalls, 1);
    }

    // A signal from outside ends the program through its shut-down, also while the window
    // is hidden in the tray, and the settings reach the file.
    void signalWritesSettings_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalWritesSettings()
    {
        QFETCH(int, signalNumber);
        TestMessenger messenger(u"127.0.0.1"_qs, TestMessenger::freePorts());
        messenger.start();
        messenger.program->LocalNickname = u"sig"_qs;
        messenger.window().hide();
        ShutdownSignals shutdownSignals;
        connect(&shutdownSignals, &ShutdownSignals::received, this,
            [&] { messenger.program->Unload(); });

        QCOMPARE(std::raise(signalNumber), 0);

        QTRY_COMPARE(messenger.endProcessCalls, 1);
        QCOMPARE(QSettings(messenger.settingsFile(), QSettings::IniFormat)
                     .value(u"settings/Nickname"_qs)
                     .toString(),
            u"sig"_qs);
        QCOMPARE(messenger.window().WskMain().State(), SocketEndpoint::SocketState::Closed);
        messenger.program->Unload();
        QCOMPARE(messenger.endProcessCalls, 1);
    }
};

QTEST_MAIN(tst_basMain)
#include "tst_basMain.moc"
