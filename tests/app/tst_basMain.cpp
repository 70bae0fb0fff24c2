#include "app/ShutdownSignals.h"
#include "app/basMain.h"
#include "support/RawPeer.h"
#include "support/TestFiles.h"
#include "support/TestProgram.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QString Address = QStringLiteral("127.0.0.1");

QStringList loaded(const basMain &program)
{
    return { program.RemoteIP, program.LocalNickname, program.LocalFullName, program.LocalEmail,
        program.DownloadPath };
}

} // namespace

// The program's values: what a start reads, what a save writes, a save that fails, the
// chat connection it reports, the sounds it plays, and the signals that end it.
class tst_basMain : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        qputenv("HOME", "/home/zara");
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void startReadsStore_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("values"); // RemoteIP, nickname, full name, e-mail, path
        QTest::newRow("nothing stored")
            << QByteArray()
            << QStringList { {}, {}, {}, {}, QStringLiteral("/home/zara/Downloads/") };
        QTest::newRow("everything stored")
            << QByteArray("[settings]\nRemoteIP=10.0.0.5\nNickname=zara\nFullName=Zara Khan\n"
                          "Email=z@x\nPath=/in/\n")
            << QStringList { QStringLiteral("10.0.0.5"), QStringLiteral("zara"),
                   QStringLiteral("Zara Khan"), QStringLiteral("z@x"), QStringLiteral("/in/") };
        QTest::newRow("empty path is not the default")
            << QByteArray("[settings]\nPath=\n") << QStringList { {}, {}, {}, {}, QString() };
        QTest::newRow("values as stored, quoted by Qt")
            << QByteArray("[settings]\nNickname=\"  sp, ace  \"\nFullName=اردو\nPath=/no/slash\n")
            << QStringList { {}, QStringLiteral("  sp, ace  "), QStringLiteral("اردو"), {},
                   QStringLiteral("/no/slash") };
        QTest::newRow("a comma written by hand, in its own section")
            << QByteArray("[other]\nNickname=p, q\n[settings]\nNickname=r, s\nEmail=,")
            << QStringList { {}, QStringLiteral("r, s"), {}, QStringLiteral(","),
                   QStringLiteral("/home/zara/Downloads/") };
    }
    void startReadsStore()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, values);
        QTemporaryDir dir;
        TestProgram copy(Address, TestProgram::freePorts(),
            TestFiles::write(dir.filePath(QStringLiteral("k.conf")), file));
        copy.start();
        QCOMPARE(loaded(*copy.program), values);
    }

    // A save writes the five keys in order, empty ones too; the next start reads them back.
    void saveWritesFiveKeys()
    {
        TestProgram copy(Address, TestProgram::freePorts());
        copy.start();
        basMain &program = *copy.program;
        program.LocalNickname = QStringLiteral("zara");
        program.LocalFullName = QString();
        program.LocalEmail = QStringLiteral("a,b@example.org");
        program.RemoteIP = QStringLiteral("127.0.0.2");
        program.DownloadPath = QStringLiteral("/home/zara/in/");
        QStringList written;
        copy.store->onWrite = [&](const QString &key) { written << key; };
        program.SaveSettings();
        QCOMPARE(written,
            (QStringList { QStringLiteral("Nickname"), QStringLiteral("FullName"),
                QStringLiteral("Email"), QStringLiteral("RemoteIP"), QStringLiteral("Path") }));
        TestProgram next(Address, TestProgram::freePorts(), copy.settingsFile());
        next.start();
        QCOMPARE(loaded(*next.program),
            (QStringList { QStringLiteral("127.0.0.2"), QStringLiteral("zara"), QString(),
                QStringLiteral("a,b@example.org"), QStringLiteral("/home/zara/in/") }));
    }

    // The settings folder is blocked by a file: the user hears of it once, with the reason,
    // and again only after a save in between has worked.
    void failedSaveIsToldOnce()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("blocker"));
        const QString file = blocker + QStringLiteral("/Kalvex.conf");
        TestFiles::write(blocker, "not a folder");
        TestProgram copy(Address, TestProgram::freePorts(), file);
        copy.start();
        basMain &program = *copy.program;
        program.LocalNickname = QStringLiteral("zara");
        const QString message = QStringLiteral("Your settings could not be saved in ") + file
            + QStringLiteral(":\n") + blocker + QStringLiteral(" is not a folder.");
        program.SaveSettings();
        program.SaveSettings();
        QCOMPARE(copy.textsShown(), QStringList { message });
        QCOMPARE(copy.desktop.shown.first().icon, Desktop::Icon::Exclamation);

        QVERIFY(QFile::remove(blocker));
        program.SaveSettings();
        QCOMPARE(QSettings(file, QSettings::IniFormat)
                     .value(QStringLiteral("settings/Nickname"))
                     .toString(),
            QStringLiteral("zara"));
        QVERIFY(QDir(blocker).removeRecursively());
        TestFiles::write(blocker, "not a folder");
        program.SaveSettings();
        QCOMPARE(copy.textsShown(), (QStringList { message, message }));
    }

    void programStoreIsPerUserKalvex()
    {
        QCOMPARE(
            SettingsStore().fileName(), m_config.filePath(QStringLiteral("Kalvex/Kalvex.conf")));
    }

    // Connected means the chat socket's connected state: not listening, not closing.
    void isConnectedAsksChat()
    {
        TestProgram copy(Address, TestProgram::freePorts());
        copy.start();
        QVERIFY(!copy.program->IsConnected());
        RawPeer caller;
        QVERIFY(caller.call(QStringLiteral("127.0.0.2"), copy.ports().chat));
        QTRY_VERIFY(copy.program->IsConnected());
        caller.hangUp();
        QTRY_VERIFY(!copy.program->IsConnected());
    }

    void playSound_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("file");
        QTest::newRow("message") << 0 << QStringLiteral("message.wav");
        QTest::newRow("request") << 1 << QStringLiteral("request.wav");
        QTest::newRow("error") << 2 << QStringLiteral("error.wav");
        QTest::newRow("any other kind") << 5 << QStringLiteral("error.wav");
    }
    // Each kind plays its file from the program's folder.
    void playSound()
    {
        QFETCH(int, kind);
        QFETCH(QString, file);
        TestProgram copy(Address, TestProgram::freePorts());
        copy.program->PlaySound(kind);
        QCOMPARE(copy.desktop.sounds,
            QStringList { QCoreApplication::applicationDirPath() + u'/' + file });
    }

    void shutdownSignals_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    // Each signal that ends a session of the desktop reaches the event loop.
    void shutdownSignals()
    {
        QFETCH(int, signalNumber);
        ShutdownSignals shutdown;
        QSignalSpy received(&shutdown, &ShutdownSignals::received);
        QCOMPARE(std::raise(signalNumber), 0);
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.first().first().toInt(), signalNumber);
    }
};

QTEST_GUILESS_MAIN(tst_basMain)
#include "tst_basMain.moc"
