#include "app/DataFiles.h"
#include "app/SecureStart.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "app/basMain.h"
#include "support/TestFiles.h"
#include "support/TestProgram.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString Address = QStringLiteral("127.0.0.1");

// RemoteIP, nickname, full name, e-mail and download folder, separated by "|", whether
// the history is off and whether Urdu is drawn in Nastaliq.
QString loaded(const basMain &program)
{
    return QStringList { program.RemoteIP, program.LocalNickname, program.LocalFullName,
        program.LocalEmail, program.DownloadPath }
               .join(u'|')
        + (program.KeepHistory ? QString() : QStringLiteral(" (no history)"))
        + (program.Script == UrduScript::Nastaliq ? QStringLiteral(" (Nastaliq)") : QString());
}

} // namespace

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
        QTest::addColumn<QString>("values"); // RemoteIP, nickname, full name, e-mail, path
        QTest::newRow("nothing stored")
            << QByteArray() << QStringLiteral("||||/home/zara/Downloads/");
        QTest::newRow("everything stored") << QByteArray(
            "[settings]\nRemoteIP=10.0.0.5\nNickname=zara\nFullName=Zara "
            "Khan\nEmail=z@x\nPath=/in/\n") << QStringLiteral("10.0.0.5|zara|Zara Khan|z@x|/in/");
        QTest::newRow("empty path is not the default")
            << QByteArray("[settings]\nPath=\n") << QStringLiteral("||||");
        QTest::newRow("commas written by hand, in its own section")
            << QByteArray("[other]\nNickname=p, q\n[settings]\nNickname=r, s\nEmail=,")
            << QStringLiteral("|r, s||,|/home/zara/Downloads/");
        QTest::newRow("history off, Nastaliq")
            << QByteArray("[settings]\nKeepHistory=False\nUrduScript=Nastaliq\nPath=/")
            << QStringLiteral("||||/ (no history) (Nastaliq)");
        QTest::newRow("history and script damaged")
            << QByteArray("[settings]\nKeepHistory=nein\nUrduScript=nastaliq\nPath=/")
            << QStringLiteral("||||/");
    }
    void startReadsStore()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, values);
        QTemporaryDir dir;
        TestProgram copy(Address, TestProgram::freePorts(),
            TestFiles::write(dir.filePath(QStringLiteral("k.conf")), file));
        copy.start();
        QCOMPARE(loaded(*copy.program), values);
    }

    // A save writes the five keys in order, empty ones too, and the newest ten partners as Qt
    // writes a list; the next start reads them back. What is no address is not read.
    void saveWritesFiveKeys()
    {
        QTemporaryDir dir;
        TestProgram copy(Address, TestProgram::freePorts(),
            TestFiles::write(dir.filePath(QStringLiteral("k.conf")),
                "[settings]\nRecentIPs=10.0.0.11, <b>x</b>, 10.0.0.10, 10.0.0.9, 10.0.0.8, a b, "
                "10.0.0.7, 10.0.0.6, 10.0.0.5, 10.0.0.3, 10.0.0.4, 10.0.0.2, 10.0.0.1"));
        copy.start();
        copy.program->rememberPartner(QStringLiteral("10.0.0.3"));
        copy.program->LocalEmail = QStringLiteral("a,b@example.org");
        copy.program->RemoteIP = QStringLiteral("127.0.0.2");
        copy.program->DownloadPath = QStringLiteral("/home/zara/in/");
        copy.program->Script = UrduScript::Nastaliq;
        QStringList written;
        copy.store->onWrite = [&](const QString &key) { written << key; };
        copy.program->SaveSettings();
        QCOMPARE(written.join(u' '),
            QStringLiteral("Nickname FullName Email RemoteIP Path KeepHistory UrduScript"));
        QVERIFY(TestFiles::read(copy.settingsFile())
                    .contains("RecentIPs=10.0.0.3, 10.0.0.11, 10.0.0.10, 10.0.0.9, 10.0.0.8, "
                              "10.0.0.7, 10.0.0.6, 10.0.0.5, 10.0.0.4, 10.0.0.2\n"));
        TestProgram next(Address, TestProgram::freePorts(), copy.settingsFile());
        next.start();
        QCOMPARE(loaded(*next.program),
            QStringLiteral("127.0.0.2|||a,b@example.org|/home/zara/in/ (Nastaliq)"));
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
        QVERIFY(QFile::exists(file) && QDir(blocker).removeRecursively());
        TestFiles::write(blocker, "not a folder");
        program.SaveSettings();
        QCOMPARE(copy.textsShown(), (QStringList { message, message }));
    }

    // The help page and sounds are found beside the program (a build tree), else where an
    // installation puts them, else looked for beside it.
    void dataFiles_data()
    {
        QTest::addColumn<QString>("present"); // the folders below the root that hold the page
        QTest::addColumn<QString>("found");
        QTest::newRow("build tree") << QStringLiteral("bin") << QStringLiteral("bin");
        QTest::newRow("installed")
            << QStringLiteral("share/kalvex") << QStringLiteral("share/kalvex");
        QTest::newRow("both") << QStringLiteral("bin share/kalvex") << QStringLiteral("bin");
        QTest::newRow("nowhere") << QStringLiteral("share") << QStringLiteral("bin");
    }
    void dataFiles()
    {
        QFETCH(QString, present);
        QFETCH(QString, found);
        QTemporaryDir root;
        for (const QString &folder : present.split(u' '))
            QVERIFY(QDir(root.path()).mkpath(folder)
                && QFile(root.filePath(folder + QStringLiteral("/help.html")))
                       .open(QIODevice::WriteOnly));
        QCOMPARE(DataFiles::path(QStringLiteral("help.html"), root.filePath(QStringLiteral("bin"))),
            root.filePath(found + QStringLiteral("/help.html")));
    }

    // Each signal that ends a desktop session reaches the event loop.
    void shutdownSignals()
    {
        for (const int signalNumber : { SIGTERM, SIGINT, SIGHUP }) {
            ShutdownSignals shutdown;
            QSignalSpy received(&shutdown, &ShutdownSignals::received);
            QCOMPARE(std::raise(signalNumber), 0);
            QTRY_COMPARE(received.count(), 1);
            QCOMPARE(received.first().first().toInt(), signalNumber);
        }
    }

    // A copy starts as the first and hears the next start, or hands over to the one running.
    void secondStartHandsOver_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("first");
        QTest::newRow("socket file of a crashed copy") << QStringLiteral("stale") << true;
        QTest::newRow("another user's copy") << QStringLiteral("other user") << true;
        QTest::newRow("a running copy") << QStringLiteral("running") << false;
    }
    void secondStartHandsOver()
    {
        QFETCH(QString, before);
        QFETCH(bool, first);
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("kalvex.socket"));
        SingleInstance running(before == u"other user" ? dir.filePath(QStringLiteral("o")) : name);
        if (before == u"running" || before == u"other user")
            QVERIFY(running.claim());
        if (before == u"stale") {
            // Bound but never listening, as a crash leaves it: a connect is refused at once.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = { AF_UNIX, {} };
            qstrcpy(address.sun_path, QFile::encodeName(name).constData());
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(fd);
        }
        SingleInstance copy(name);
        QSignalSpy runningShown(&running, &SingleInstance::showRequested);
        QSignalSpy copyShown(&copy, &SingleInstance::showRequested);
        QCOMPARE(copy.claim(), first);
        if (first)
            QCOMPARE(SingleInstance(name).claim(), false);
        QVERIFY((first ? copyShown : runningShown).wait(5000));
        QCOMPARE(runningShown.count() + copyShown.count(), 1);
    }

    // Started with a right its user lacks, the program loads no plugin from a folder its
    // starter names; the other arguments stay in order.
    void secureStartDropsPluginFolders()
    {
        qputenv("QT_PLUGIN_PATH", "/tmp/evil");
        qputenv("QT_QPA_PLATFORM_PLUGIN_PATH", "/tmp/evil");
        QByteArrayList args { "kalvex", "-platformpluginpath", "/tmp/evil", "-style", "fusion",
            "--platformpluginpath", "/tmp/evil", "-platformpluginpath" };
        QList<char *> argv;
        for (QByteArray &arg : args)
            argv << arg.data();
        int argc = argv.size();
        argv << nullptr;
        SecureStart::dropPluginFolders(argc, argv.data());
        QCOMPARE(QByteArrayList(argv.begin(), argv.begin() + argc).join(' '),
            QByteArray("kalvex -style fusion"));
        QCOMPARE(argv[argc], nullptr);
        QVERIFY(!qEnvironmentVariableIsSet("QT_PLUGIN_PATH")
            && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH"));
    }
};

QTEST_GUILESS_MAIN(tst_basMain)
#include "tst_basMain.moc"
