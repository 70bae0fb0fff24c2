#include "support/TestProgram.h"

#include "chat/ChatSession.h"
#include "transfer/TransferSession.h"

#include <QEventLoop>
#include <QTcpServer>
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

TestProgram::TestProgram(const QString &bindAddress, Ports ports, const QString &settingsFile,
    WindowMaker makeMainWindow, bool trayAvailable,
    std::function<QDBusConnection()> notificationBus)
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
    environment.notificationBus = notificationBus ? std::move(notificationBus) : [] {
        return QDBusConnection(QStringLiteral("kalvex-test-no-bus"));
    };
    environment.makeMainWindow = std::move(makeMainWindow);
    program = std::make_unique<basMain>(std::move(settings), environment);
}

void TestProgram::start()
{
    program->Main();
    if (program->mainWindow())
        return;
    chat().start();
    transfer().start();
}

void TestProgram::startAs(const QString &nickname)
{
    start();
    program->LocalNickname = nickname;
    program->LocalFullName = nickname + QStringLiteral(" Khan");
    program->LocalEmail = nickname + QStringLiteral("@example.org");
}

QStringList TestProgram::textsShown() const
{
    QStringList texts;
    for (const ScriptedDesktop::Shown &shown : desktop.shown)
        texts << shown.text;
    return texts;
}

bool TestProgram::busyWaitFor(const std::function<bool()> &condition, int timeoutMs)
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

// A port other than `other` that is free on both 127.0.0.1 and 127.0.0.2.
quint16 freePort(quint16 other)
{
    for (;;) {
        QTcpServer first;
        QTcpServer second;
        first.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
        const quint16 port = first.serverPort();
        if (port != other && second.listen(QHostAddress(QStringLiteral("127.0.0.2")), port))
            return port;
    }
}

} // namespace

TestProgram::Ports TestProgram::freePorts()
{
    const quint16 chat = freePort(0);
    return { chat, freePort(chat) };
}
