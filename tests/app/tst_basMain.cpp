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
            << QStringList { {}, QStringLiteral("  sp, ace  "), QStringLiteral("اردو"), {},
                   QStringLiteral("/no/slash") };
        QTest::newRow("comma and blank")
            << QByteArray("[settings]\nNickname=a, b\n") << nickname(QStringLiteral("a, b"));
        QTest::newRow("only a comma, last line")
            << QByteArray("[settings]\nNickname=,") << nickname(QStringLiteral(","));
        QTest::newRow("same key in another section")
            << QByteArray("[other]\nNickname=p, q\n[settings]\nNickname=r, s\n")
            << nickname(QStringLiteral("r, s"));
    }
    void startReadsStore()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString settingsFile
            = TestFiles::write(dir.filePath(QStringLiteral("Kalvex.conf")), file);
        TestMessenger messenger(
            QStringLiteral("127.0.0.1"), TestMessenger::freePorts(), false, settingsFile);
        messenger.start();
        const basMain &program = *messenger.program;
        QCOMPARE((QStringList { program.RemoteIP, program.LocalNickname, program.LocalFullName,
                     program.LocalEmail, program.DownloadPath }),
            expected);
    }

    // An exit writes the five values; the next start reads them back.
    void exitWritesAllFiveKeys()
    {
        TestMessenger messenger(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
        messenger.start();
        basMain &program = *messenger.program;
        program.LocalNickname = QStringLiteral("zara");
        program.LocalFullName = QString();
        program.LocalEmail = QStringLiteral("a,b@example.org");
        program.RemoteIP = QStringLiteral("127.0.0.2");
        program.DownloadPath = QStringLiteral("/home/zara/in/");
        QStringList written;
        messenger.store->onWrite = [&](const QString &key) { written << key; };

        messenger.window().close();

        QCOMPARE(written,
            (QStringList { QStringLiteral("Nickname"), QStringLiteral("FullName"),
                QStringLiteral("Email"), QStringLiteral("RemoteIP"), QStringLiteral("Path") }));

        // The next start finds what this one left.
        TestMessenger next(QStringLiteral("127.0.0.1"), TestMessenger::freePorts(), false,
            messenger.settingsFile());
        next.start();
        const basMain &read = *next.program;
        QCOMPARE((QStringList { read.LocalNickname, read.LocalFullName, read.LocalEmail,
                     read.RemoteIP, read.DownloadPath }),
            (QStringList { QStringLiteral("zara"), QString(), QStringLiteral("a,b@example.org"),
                QStringLiteral("127.0.0.2"), QStringLiteral("/home/zara/in/") }));
    }

    void programStoreIsPerUserKalvex()
    {
        SettingsStore store;
        QCOMPARE(store.fileName(),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                + QStringLiteral("/Kalvex/Kalvex.conf"));
    }

    // The settings folder is blocked by a file: the user hears of it once, with the reason,
    // and again only after a save in between has worked.
    void failedSaveIsToldOnce()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("blocker"));
        const QString file = blocker + QStringLiteral("/Kalvex.conf");
        TestFiles::write(blocker, "not a folder");
        TestMessenger messenger(
            QStringLiteral("127.0.0.1"), TestMessenger::freePorts(), false, file);
        messenger.start();
        basMain &program = *messenger.program;
        program.LocalNickname = QStringLiteral("zara");
        const QString message = QStringLiteral("Your settings could not be saved in ") + file
            + QStringLiteral(":\n") + blocker + QStringLiteral(" is not a folder.");

        program.SaveSettings();
        program.SaveSettings();
        QCOMPARE(messenger.desktop.shown.size(), 1);
        QCOMPARE(messenger.desktop.shown.at(0).text, message);
        QCOMPARE(messenger.desktop.shown.at(0).icon, Desktop::Icon::Exclamation);

        QVERIFY(QFile::remove(blocker));
        program.SaveSettings();
        QCOMPARE(messenger.desktop.shown.size(), 1);
        QCOMPARE(QSettings(file, QSettings::IniFormat)
                     .value(QStringLiteral("settings/Nickname"))
                     .toString(),
            QStringLiteral("zara"));

        QVERIFY(QDir(blocker).removeRecursively());
        TestFiles::write(blocker, "not a folder");
        program.LocalNickname = QStringLiteral("zara2");
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
        TestMessenger messenger(QStringLiteral("127.0.0.1"), TestMessenger::freePorts());
        messenger.start();
        messenger.program->LocalNickname = QStringLiteral("sig");
        messenger.window().hide();
        ShutdownSignals shutdownSignals;
        connect(&shutdownSignals, &ShutdownSignals::received, this,
            [&] { messenger.program->Unload(); });

        QCOMPARE(std::raise(signalNumber), 0);

        QTRY_COMPARE(messenger.endProcessCalls, 1);
        QCOMPARE(QSettings(messenger.settingsFile(), QSettings::IniFormat)
                     .value(QStringLiteral("settings/Nickname"))
                     .toString(),
            QStringLiteral("sig"));
        QCOMPARE(messenger.window().WskMain().State(), SocketEndpoint::SocketState::Closed);
        messenger.program->Unload();
        QCOMPARE(messenger.endProcessCalls, 1);
    }
};

QTEST_MAIN(tst_basMain)
#include "tst_basMain.moc"
