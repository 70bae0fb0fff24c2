#pragma once

#include "app/basMain.h"
#include "support/ScriptedDesktop.h"

#include <QHostAddress>
#include <QTemporaryDir>

#include <functional>

class frmMain;

// A settings store in a temporary INI file that can report each write as it happens.
class RecordingSettingsStore final : public SettingsStore
{
public:
    explicit RecordingSettingsStore(const QString &iniFile);
    void write(const QString &key, const QString &value) override;

    std::function<void(const QString &key)> onWrite;
};

// One complete copy of the messenger inside the test process: its own settings file,
// scripted desktop, bind address and ports. Ending the process only counts.
class TestMessenger
{
public:
    struct Ports
    {
        quint16 chat;
        quint16 file;
    };

    // settingsFile: the INI file to use; empty for a new one in a temporary folder.
    // The copy's user is called after the last part of its address ("ali" for 127.0.0.1 ...).
    TestMessenger(const QString &bindAddress, Ports ports, bool trayAvailable = false,
        const QString &settingsFile = {});

    frmMain &window() const;
    Ports ports() const { return m_ports; }
    QString settingsFile() const;
    // Starts the copy: reads the settings and shows the main window.
    void start();
    // Starts the copy for a user of that nickname, full name "<nickname> Khan" and e-mail
    // "<nickname>@example.org".
    void startAs(const QString &nickname);
    // Opens a chat connection from this copy's chat socket to the other copy, which answers
    // it as any call; returns once both sides are connected (the handshake has begun).
    bool callChatSocketOf(TestMessenger &callee, const QString &calleeAddress);
    // Calls address the way a user does: File > Connect, the address typed into the connect
    // dialog, "Connect" pressed. Returns when the connect command has returned.
    void dial(const QString &address);
    // Dials the callee, whose user accepts; true once both sides have opened the session.
    bool openSessionWith(TestMessenger &callee, const QString &calleeAddress);
    // The file names of the sounds played so far, in order.
    QStringList soundsPlayed() const;
    // The texts of the message boxes shown so far, in order.
    QStringList textsShown() const;
    // Sends a file the way a user does: File > Send File, the path typed into the send
    // dialog, "&Send" pressed. Returns when the menu command has returned.
    void sendFile(const QString &path);
    // Sends a file as sendFile does; true once both this copy and the receiver are idle.
    bool sendFileTo(TestMessenger &receiver, const QString &path, int timeoutMs = 20000);
    // Runs action on the dialog of that object name once it is up, and only then.
    static void whenDialogOpens(
        const QString &objectName, std::function<void(QWidget *dialog)> action);
    // True while no transfer runs: not transferring, progress 0, the menu offering to send,
    // the file socket listening.
    bool transferIdle() const;
    // True while no session is open and the chat socket waits for calls, "Listening..." shown.
    bool listening() const;
    // Like QTest::qWaitFor, but runs the event loop without the pauses qWaitFor takes between
    // rounds, which would otherwise dominate a stop-and-wait exchange.
    static bool busyWaitFor(const std::function<bool()> &condition, int timeoutMs = 20000);

    ScriptedDesktop desktop;
    RecordingSettingsStore *store = nullptr;
    int endProcessCalls = 0;
    std::unique_ptr<basMain> program;

    // Two ports that are free on both 127.0.0.1 and 127.0.0.2.
    static Ports freePorts();

private:
    Ports m_ports;
    QTemporaryDir m_settingsDir;
    QString m_settingsFile;
};
