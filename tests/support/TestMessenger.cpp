#include "support/TestMessenger.h"

#include "net/SocketEndpoint.h"
#include "transfer/TransferSession.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

RecordingSettingsStore::RecordingSettingsStore(const QString &iniFile)
    : SettingsStore(iniFile)
{
}

void RecordingSettingsStore::write(const QString &key, const QString &value)
{
    if (onWrite)
        onWrite(key);
    SettingsStore::write(key, value);
}

TestMessenger::TestMessenger(
    const QString &bindAddress, Ports ports, bool trayAvailable, const QString &settingsFile)
    : m_ports(ports)
    , m_settingsFile(settingsFile.isEmpty() ? m_settingsDir.filePath(QStringLiteral("Kalvex.conf"))
                                            : settingsFile)
{
    auto settings = std::make_unique<RecordingSettingsStore>(m_settingsFile);
    store = settings.get();
    Environment environment;
    environment.bindAddress = QHostAddress(bindAddress);
    environment.chatPort = ports.chat;
    environment.filePort = ports.file;
    environment.desktop = &desktop;
    environment.systemTrayAvailable = [trayAvailable] { return trayAvailable; };
    environment.endProcess = [this] { ++endProcessCalls; };
    environment.makeMainWindow = &frmMain::make;
    program = std::make_unique<basMain>(std::move(settings), environment);
}

frmMain &TestMessenger::window() const
{
    return *static_cast<frmMain *>(program->mainWindow());
}

QString TestMessenger::settingsFile() const
{
    return m_settingsFile;
}

void TestMessenger::start()
{
    program->Main();
}

void TestMessenger::startAs(const QString &nickname)
{
    start();
    program->LocalNickname = nickname;
    program->LocalFullName = nickname + QStringLiteral(" Khan");
    program->LocalEmail = nickname + QStringLiteral("@example.org");
}

bool TestMessenger::callChatSocketOf(TestMessenger &callee, const QString &calleeAddress)
{
    if (program->LocalNickname.isEmpty())
        program->LocalNickname = QStringLiteral("caller");
    program->RemoteIP = calleeAddress;
    window().chat().ConnectRemote();
    const auto connected = SocketEndpoint::SocketState::Connected;
    return QTest::qWaitFor([&] {
        return window().WskMain().State() == connected
            && callee.window().WskMain().State() == connected;
    });
}

void TestMessenger::dial(const QString &address)
{
    frmMain &main = window();
    QTimer::singleShot(0, &main, [address] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || dialog->objectName() != u"frmConnect")
            return;
        dialog->findChild<QLineEdit *>(QStringLiteral("txtIP"))->setText(address);
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOk"))->click();
    });
    main.findChild<QAction *>(QStringLiteral("mnuConnect"))->trigger();
}

bool TestMessenger::openSessionWith(TestMessenger &callee, const QString &calleeAddress)
{
    dial(calleeAddress);
    return QTest::qWaitFor(
        [&] { return window().chat().sessionOpen() && callee.window().chat().sessionOpen(); });
}

QStringList TestMessenger::soundsPlayed() const
{
    QStringList names;
    for (const QString &path : desktop.sounds)
        names << QFileInfo(path).fileName();
    return names;
}

QStringList TestMessenger::textsShown() const
{
    QStringList texts;
    for (const ScriptedDesktop::Shown &shown : desktop.shown)
        texts << shown.text;
    return texts;
}

void TestMessenger::sendFile(const QString &path)
{
    whenDialogOpens(QStringLiteral("frmFileTransfer"), [path](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("txtFileName"))->setText(path);
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    });
    window().findChild<QAction *>(QStringLiteral("mnuSendFile"))->trigger();
}

bool TestMessenger::sendFileTo(TestMessenger &receiver, const QString &path, int timeoutMs)
{
    sendFile(path);
    return busyWaitFor(
        [this, &receiver] { return transferIdle() && receiver.transferIdle(); }, timeoutMs);
}

void TestMessenger::whenDialogOpens(
    const QString &objectName, std::function<void(QWidget *dialog)> action)
{
    auto *poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, objectName, action] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto open
            = std::find_if(windows.cbegin(), windows.cend(), [&](const QWidget *widget) {
                  return widget->isVisible() && widget->objectName() == objectName;
              });
        if (open == windows.cend())
            return;
        poll->deleteLater();
        poll->stop();
        action(*open);
    });
    poll->start(5);
}

bool TestMessenger::transferIdle() const
{
    const frmMain &main = window();
    return !main.transfer().Transferring()
        && main.findChild<QProgressBar *>(QStringLiteral("PBFTP"))->value() == 0
        && main.findChild<QAction *>(QStringLiteral("mnuSendFile"))->text() == u"&Send File"
        && main.WskFTP().State() == SocketEndpoint::SocketState::Listening;
}

bool TestMessenger::listening() const
{
    const frmMain &main = window();
    return !main.chat().sessionOpen()
        && main.WskMain().State() == SocketEndpoint::SocketState::Listening
        && main.statusText(0) == u"Listening...";
}

bool TestMessenger::busyWaitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(1);
    if (!condition())
        loop.exec();
    return condition();
}

namespace {
bool portFreeOnBoth(quint16 port)
{
    QTcpServer first;
    QTcpServer second;
    return first.listen(QHostAddress(QStringLiteral("127.0.0.1")), port)
        && second.listen(QHostAddress(QStringLiteral("127.0.0.2")), port);
}

quint16 freePort(quint16 other)
{
    for (;;) {
        QTcpServer probe;
        probe.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
        const quint16 port = probe.serverPort();
        probe.close();
        if (port != other && portFreeOnBoth(port))
            return port;
    }
}
} // namespace

TestMessenger::Ports TestMessenger::freePorts()
{
    const quint16 chat = freePort(0);
    return { chat, freePort(chat) };
}
