#pragma once

#include "app/basMain.h"
#include "support/ScriptedDesktop.h"

#include <QTemporaryDir>

#include <functional>

class ChatSession;
class TransferSession;

// A settings store in a temporary INI file that can report each write as it happens.
class RecordingSettingsStore final : public SettingsStore
{
public:
    explicit RecordingSettingsStore(const QString &iniFile);
    void write(const QString &key, const QString &value) override;

    std::function<void(const QString &key)> onWrite;
};

// One copy of the messenger inside the test process, without a window unless one is made:
// its own settings file, scripted desktop, bind address and ports. Ending the process counts.
class TestProgram
{
public:
    struct Ports
    {
        quint16 chat;
        quint16 file;
    };
    using WindowMaker = std::function<std::unique_ptr<QObject>(basMain &)>;

    // settingsFile: the INI file to use; empty for a new one in a temporary folder.
    // notificationBus: where the copy's notifications go; unset, to no bus at all, so that
    // no test shows them on the desktop it runs on.
    TestProgram(const QString &bindAddress, Ports ports, const QString &settingsFile = {},
        WindowMaker makeMainWindow = {}, bool trayAvailable = false,
        std::function<QDBusConnection()> notificationBus = {});
    virtual ~TestProgram() = default;

    ChatSession &chat() const { return program->chat(); }
    TransferSession &transfer() const { return program->transfer(); }
    Ports ports() const { return m_ports; }
    QString settingsFile() const { return m_settingsFile; }
    // Reads the settings and starts the copy's window, or without one its two sessions.
    void start();
    // Starts the copy for "<nickname>", "<nickname> Khan", "<nickname>@example.org".
    void startAs(const QString &nickname);
    // The texts of the boxes shown, in order.
    QStringList textsShown() const;

    // QTest::qWaitFor without its pauses between rounds, which would dominate an exchange.
    static bool busyWaitFor(const std::function<bool()> &condition, int timeoutMs = 20000);
    // Two ports that are free on both 127.0.0.1 and 127.0.0.2.
    static Ports freePorts();

    ScriptedDesktop desktop;
    RecordingSettingsStore *store = nullptr;
    int endProcessCalls = 0;
    std::unique_ptr<basMain> program;

private:
    Ports m_ports;
    QTemporaryDir m_settingsDir;
    QString m_settingsFile;
};
