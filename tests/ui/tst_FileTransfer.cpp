#include "net/SocketEndpoint.h"
#include "support/TestFiles.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString Interrupted = QStringLiteral("File Transfer Interrupted!");

QByteArray contentOf(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 31 + i / 1024) % 256);
    return data;
}

// Triggers the menu entry of that name on that side once its progress bar reaches 10.
void atTenPercent(const TestMessenger &messenger, const QString &entry)
{
    auto *bar = messenger.window().findChild<QProgressBar *>(QStringLiteral("PBFTP"));
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(
        bar, &QProgressBar::valueChanged, bar, [&messenger, entry, connection](int value) {
            if (value < 10)
                return;
            QObject::disconnect(*connection);
            QTimer::singleShot(0,
                [&messenger, entry] { messenger.window().findChild<QAction *>(entry)->trigger(); });
        });
}

} // namespace

// Two complete messengers in a session send real files between temporary folders.
class tst_FileTransfer : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        const TestMessenger::Ports ports = TestMessenger::freePorts();
        m_sender = std::make_unique<TestMessenger>(QStringLiteral("127.0.0.1"), ports);
        m_receiver = std::make_unique<TestMessenger>(QStringLiteral("127.0.0.2"), ports);
        m_sender->startAs(QStringLiteral("ali"));
        m_receiver->startAs(QStringLiteral("sara"));
        m_files = std::make_unique<QTemporaryDir>();
        m_downloads = m_files->filePath(QStringLiteral("downloads/new"));
        m_receiver->program->DownloadPath = m_downloads;
        QVERIFY(m_sender->openSessionWith(*m_receiver, QStringLiteral("127.0.0.2")));
        m_sender->desktop.shown.clear();
        m_receiver->desktop.shown.clear();
        m_receiver->desktop.sounds.clear();
    }

    // The receiver is asked, and the file lands in its download folder (made with all its
    // missing levels) as sent, under its bare name; the sender's bar shows each chunk.
    void fileArrivesByteForByte_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<QList<int>>("lastProgress");
        QTest::newRow("empty") << qsizetype(0) << QList<int>();
        QTest::newRow("a chunk and a byte") << qsizetype(1025) << QList<int>({ 99, 100, 0 });
        QTest::newRow("largest") << qsizetype(2097152) << QList<int>({ 99, 100, 0 });
    }

    void fileArrivesByteForByte()
    {
        QFETCH(qsizetype, size);
        QFETCH(QList<int>, lastProgress);
        const QByteArray content = contentOf(size);
        QList<int> progress;
        connect(m_sender->window().findChild<QProgressBar *>(QStringLiteral("PBFTP")),
            &QProgressBar::valueChanged, this, [&](int value) { progress << value; });
        QVERIFY(m_sender->sendFileTo(*m_receiver,
            TestFiles::write(m_files->filePath(QStringLiteral("report.doc")), content)));
        QCOMPARE(TestFiles::read(m_downloads + QStringLiteral("/report.doc")), content);
        QCOMPARE(m_sender->textsShown(),
            QStringList { QStringLiteral("File has been Sent Successfully.") });
        QCOMPARE(m_receiver->textsShown(),
            QStringList({ QStringLiteral("ali wants to send a file.\r\nreport.doc\r\nDo you want "
                                         "to accept his request?"),
                QStringLiteral("File has been Received Successfully.") }));
        QCOMPARE(m_receiver->soundsPlayed(), QStringList { QStringLiteral("request.wav") });
        QCOMPARE(progress.mid(progress.size() - lastProgress.size()), lastProgress);
    }

    // A refusal, or a name clash left by Cancel, keeps what the folder held; both sides idle.
    void receiverDecides_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QByteArray>("kept");
        QTest::addColumn<QByteArray>("renamed");
        QTest::newRow("overwrite")
            << QStringLiteral("overwrite") << QByteArray("new") << QByteArray("(missing)");
        QTest::newRow("rename") << QStringLiteral("rename") << QByteArray("older content")
                                << QByteArray("new");
        QTest::newRow("cancel") << QStringLiteral("cancel") << QByteArray("older content")
                                << QByteArray("(missing)");
        QTest::newRow("refuse") << QStringLiteral("refuse") << QByteArray("older content")
                                << QByteArray("(missing)");
    }

    void receiverDecides()
    {
        QFETCH(QString, choice);
        QFETCH(QByteArray, kept);
        QFETCH(QByteArray, renamed);
        QVERIFY(QDir().mkpath(m_downloads));
        TestFiles::write(m_downloads + QStringLiteral("/a.txt"), "older content");
        if (choice == u"refuse")
            m_receiver->desktop.answers = { Desktop::Answer::No };
        TestMessenger::whenDialogOpens(QStringLiteral("frmFileExists"), [choice](QWidget *dialog) {
            if (choice == u"rename") {
                dialog->findChildren<QRadioButton *>(QStringLiteral("OptFile")).at(1)->click();
                dialog->findChild<QLineEdit *>(QStringLiteral("txtFilename"))
                    ->setText(QStringLiteral("b.txt"));
            }
            dialog
                ->findChild<QPushButton *>(
                    choice == u"cancel" ? QStringLiteral("cmdCancel") : QStringLiteral("cmdOk"))
                ->click();
        });
        QVERIFY(m_sender->sendFileTo(
            *m_receiver, TestFiles::write(m_files->filePath(QStringLiteral("a.txt")), "new")));
        QCOMPARE(TestFiles::read(m_downloads + QStringLiteral("/a.txt")), kept);
        QCOMPARE(TestFiles::read(m_downloads + QStringLiteral("/b.txt")), renamed);
        if (choice == u"cancel" || choice == u"refuse")
            QCOMPARE(m_sender->textsShown(),
                QStringList { QStringLiteral("sara refuse to take file!") });
    }

    // Cancelling or ending the chat mid-transfer: both sides idle, nothing stored; the side
    // that did not act hears of it once, and ending the chat says nothing on its own side.
    void transferStopsMidway_data()
    {
        QTest::addColumn<bool>("byReceiver");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("actorSaw");
        const QStringList cancelled { QStringLiteral("Are you sure you want to Cancel?"),
            Interrupted };
        QTest::newRow("receiver cancels") << true << QStringLiteral("mnuSendFile") << cancelled;
        QTest::newRow("sender cancels") << false << QStringLiteral("mnuSendFile") << cancelled;
        QTest::newRow("receiver ends the chat")
            << true << QStringLiteral("mnuConnect") << QStringList();
    }

    void transferStopsMidway()
    {
        QFETCH(bool, byReceiver);
        QFETCH(QString, entry);
        QFETCH(QStringList, actorSaw);
        TestMessenger &actor = byReceiver ? *m_receiver : *m_sender;
        TestMessenger &other = byReceiver ? *m_sender : *m_receiver;
        atTenPercent(actor, entry);
        QVERIFY(m_sender->sendFileTo(*m_receiver,
            TestFiles::write(m_files->filePath(QStringLiteral("big.bin")), contentOf(2097152))));
        QTRY_COMPARE(other.textsShown().count(Interrupted), 1);
        QCOMPARE(actor.textsShown().mid(byReceiver ? 1 : 0), actorSaw);
        QVERIFY(!QDir(m_downloads).exists(QStringLiteral("big.bin")));
    }

    // A download folder that cannot be made: the user hears why, and nothing is touched.
    void failedSaveIsReported()
    {
        TestFiles::write(m_files->filePath(QStringLiteral("downloads")), "not a folder");
        QVERIFY(m_sender->sendFileTo(
            *m_receiver, TestFiles::write(m_files->filePath(QStringLiteral("a.txt")), "abc")));
        QVERIFY(m_receiver->textsShown().last().startsWith(
            QStringLiteral("The file a.txt could not be saved.\r\n")));
        QCOMPARE(TestFiles::read(m_files->filePath(QStringLiteral("downloads"))),
            QByteArray("not a folder"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<TestMessenger> m_sender;
    std::unique_ptr<TestMessenger> m_receiver;
    QString m_downloads;
};

QTEST_MAIN(tst_FileTransfer)
#include "tst_FileTransfer.moc"
