#include "net/SocketEndpoint.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString SenderAddress = QStringLiteral("127.0.0.1");
const QString ReceiverAddress = QStringLiteral("127.0.0.2");
const QString Sent = QStringLiteral("File has been Sent Successfully.");
const QString Received = QStringLiteral("File has been Received Successfully.");
const QString Interrupted = QStringLiteral("File Transfer Interrupted!");

QByteArray contentOf(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 31 + i / 1024) % 256);
    return data;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList textsShown(const TestMessenger &messenger)
{
    QStringList texts;
    for (const ScriptedDesktop::Shown &shown : messenger.desktop.shown)
        texts << shown.text;
    return texts;
}

QProgressBar *progressOf(const TestMessenger &messenger)
{
    return messenger.window().findChild<QProgressBar *>(QStringLiteral("PBFTP"));
}

// Runs once, when the side's progress bar first reaches 10.
void atTenPercent(const TestMessenger &messenger, std::function<void()> action)
{
    QProgressBar *bar = progressOf(messenger);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection
        = QObject::connect(bar, &QProgressBar::valueChanged, bar, [connection, action](int value) {
              if (value < 10)
                  return;
              QObject::disconnect(*connection);
              QTimer::singleShot(0, action);
          });
}

void trigger(const TestMessenger &messenger, const QString &name)
{
    messenger.window().findChild<QAction *>(name)->trigger();
}

} // namespace

// Two complete messengers in a session send each other real files through their folders.
class tst_FileTransfer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fileArrivesByteForByte_data();
    void fileArrivesByteForByte();
    void senderProgressShowsEachChunk();
    void nameClashIsSettledByTheReceiver_data();
    void nameClashIsSettledByTheReceiver();
    void refusalReturnsBothToIdle();
    void cancelReturnsBothToIdle_data();
    void cancelReturnsBothToIdle();
    void chatEndingMidTransferReturnsBothToIdle();
    void failedSaveKeepsTheOldFileAndSaysSo();

private:
    bool transferRuns(const QString &path);

    std::unique_ptr<TestMessenger> m_sender;
    std::unique_ptr<TestMessenger> m_receiver;
    std::unique_ptr<QTemporaryDir> m_files;
    QString m_downloads;
};

void tst_FileTransfer::init()
{
    const TestMessenger::Ports ports = TestMessenger::freePorts();
    m_sender = std::make_unique<TestMessenger>(SenderAddress, ports);
    m_receiver = std::make_unique<TestMessenger>(ReceiverAddress, ports);
    m_files = std::make_unique<QTemporaryDir>();
    for (TestMessenger *messenger : { m_sender.get(), m_receiver.get() }) {
        messenger->start();
        messenger->program->LocalNickname = messenger == m_sender.get() ? u"ali"_qs : u"sara"_qs;
    }
    m_downloads = m_files->filePath(QStringLiteral("downloads/new"));
    m_receiver->program->DownloadPath = m_downloads;
    QVERIFY(m_sender->openSessionWith(*m_receiver, ReceiverAddress));
    m_sender->desktop.shown.clear();
    m_receiver->desktop.shown.clear();
    m_receiver->desktop.sounds.clear();
}

void tst_FileTransfer::cleanup()
{
    m_sender.reset();
    m_receiver.reset();
    m_files.reset();
}

bool tst_FileTransfer::transferRuns(const QString &path)
{
    m_sender->sendFile(path);
    return TestMessenger::busyWaitFor(
        [this] { return m_sender->transferIdle() && m_receiver->transferIdle(); });
}

void tst_FileTransfer::fileArrivesByteForByte_data()
{
    QTest::addColumn<qsizetype>("size");
    QTest::newRow("empty") << qsizetype(0);
    QTest::newRow("a chunk and a byte") << qsizetype(1025);
    QTest::newRow("largest") << qsizetype(2097152);
}

// The receiver is asked, and the file lands in its download folder (made when missing)
// exactly as sent, under the bare name; both sides say so.
void tst_FileTransfer::fileArrivesByteForByte()
{
    QFETCH(qsizetype, size);
    const QByteArray content = contentOf(size);
    const QString path = m_files->filePath(QStringLiteral("report.doc"));
    writeFile(path, content);

    QVERIFY(transferRuns(path));
    QCOMPARE(readFile(m_downloads + u"/report.doc"_qs), content);
    QCOMPARE(textsShown(*m_sender), QStringList { Sent });
    QCOMPARE(textsShown(*m_receiver),
        QStringList(
            { u"ali wants to send a file.\r\nreport.doc\r\nDo you want to accept his request?"_qs,
                Received }));
    QCOMPARE(m_receiver->soundsPlayed(), QStringList { u"request.wav"_qs });
    QCOMPARE(QDir(m_downloads).entryList(QDir::Files), QStringList { u"report.doc"_qs });
}

void tst_FileTransfer::senderProgressShowsEachChunk()
{
    const QString path = m_files->filePath(QStringLiteral("a.bin"));
    writeFile(path, contentOf(1025));
    QList<int> values;
    connect(progressOf(*m_sender), &QProgressBar::valueChanged, this,
        [&values](int value) { values << value; });
    QVERIFY(transferRuns(path));
    QCOMPARE(values, QList<int>({ 99, 100, 0 }));
}

void tst_FileTransfer::nameClashIsSettledByTheReceiver_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QByteArray>("kept");
    QTest::addColumn<QByteArray>("renamed");
    QTest::newRow("overwrite") << u"overwrite"_qs << QByteArray("new") << QByteArray("(missing)");
    QTest::newRow("rename") << u"rename"_qs << QByteArray("older content") << QByteArray("new");
    QTest::newRow("cancel") << u"cancel"_qs << QByteArray("older content")
                            << QByteArray("(missing)");
}

void tst_FileTransfer::nameClashIsSettledByTheReceiver()
{
    QFETCH(QString, choice);
    QFETCH(QByteArray, kept);
    QFETCH(QByteArray, renamed);
    QVERIFY(QDir().mkpath(m_downloads));
    writeFile(m_downloads + u"/a.txt"_qs, "older content");
    const QString path = m_files->filePath(QStringLiteral("a.txt"));
    writeFile(path, "new");
    TestMessenger::whenDialogOpens(QStringLiteral("frmFileExists"), [choice](QWidget *dialog) {
        if (choice == u"cancel") {
            dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
            return;
        }
        if (choice == u"rename") {
            dialog->findChildren<QRadioButton *>(QStringLiteral("OptFile")).at(1)->click();
            dialog->findChild<QLineEdit *>(QStringLiteral("txtFilename"))
                ->setText(QStringLiteral("b.txt"));
        }
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOk"))->click();
    });

    QVERIFY(transferRuns(path));
    QCOMPARE(readFile(m_downloads + u"/a.txt"_qs), kept);
    QCOMPARE(readFile(m_downloads + u"/b.txt"_qs), renamed);
    if (choice == u"cancel")
        QCOMPARE(textsShown(*m_sender), QStringList { u"sara refuse to take file!"_qs });
}

void tst_FileTransfer::refusalReturnsBothToIdle()
{
    const QString path = m_files->filePath(QStringLiteral("a.txt"));
    writeFile(path, "abc");
    m_receiver->desktop.answers = { Desktop::Answer::No };
    QVERIFY(transferRuns(path));
    QCOMPARE(textsShown(*m_sender), QStringList { u"sara refuse to take file!"_qs });
    QCOMPARE(m_receiver->desktop.shown.size(), 1);
    QVERIFY(!QDir(m_downloads).exists(QStringLiteral("a.txt")));
}

void tst_FileTransfer::cancelReturnsBothToIdle_data()
{
    QTest::addColumn<bool>("byReceiver");
    QTest::newRow("by the receiver") << true;
    QTest::newRow("by the sender") << false;
}

void tst_FileTransfer::cancelReturnsBothToIdle()
{
    QFETCH(bool, byReceiver);
    const QString path = m_files->filePath(QStringLiteral("big.bin"));
    writeFile(path, contentOf(2097152));
    TestMessenger &canceller = byReceiver ? *m_receiver : *m_sender;
    TestMessenger &other = byReceiver ? *m_sender : *m_receiver;
    atTenPercent(canceller, [&canceller] { trigger(canceller, QStringLiteral("mnuSendFile")); });

    QVERIFY(transferRuns(path));
    QCOMPARE(textsShown(canceller).mid(textsShown(canceller).size() - 2),
        QStringList({ u"Are you sure you want to Cancel?"_qs, Interrupted }));
    QTRY_COMPARE(textsShown(other).last(), Interrupted);
    QCOMPARE(textsShown(other).count(Interrupted), 1);
    QVERIFY(!QDir(m_downloads).exists(QStringLiteral("big.bin")));
}

// The receiver ends the chat during the chunks: it goes back to idle without a word, and
// the sender hears of it once.
void tst_FileTransfer::chatEndingMidTransferReturnsBothToIdle()
{
    const QString path = m_files->filePath(QStringLiteral("big.bin"));
    writeFile(path, contentOf(2097152));
    atTenPercent(*m_receiver, [this] { trigger(*m_receiver, QStringLiteral("mnuConnect")); });

    QVERIFY(transferRuns(path));
    QTRY_VERIFY(m_sender->window().WskMain().State() == SocketEndpoint::SocketState::Listening);
    QCOMPARE(textsShown(*m_sender).count(Interrupted), 1);
    QCOMPARE(textsShown(*m_receiver).count(Interrupted), 0);
}

// A download folder that is a file cannot be written: the user hears why, and a file
// already stored under that name is untouched.
void tst_FileTransfer::failedSaveKeepsTheOldFileAndSaysSo()
{
    writeFile(m_files->filePath(QStringLiteral("downloads")), "not a folder");
    const QString path = m_files->filePath(QStringLiteral("a.txt"));
    writeFile(path, "abc");
    QVERIFY(transferRuns(path));
    QVERIFY(
        textsShown(*m_receiver).last().startsWith(u"The file a.txt could not be saved.\r\n"_qs));
    QCOMPARE(readFile(m_files->filePath(QStringLiteral("downloads"))), QByteArray("not a folder"));
}

QTEST_MAIN(tst_FileTransfer)
#include "tst_FileTransfer.moc"
