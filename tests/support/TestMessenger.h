#pragma once

#include "support/TestProgram.h"

#include <functional>

class QAction;
class QWidget;
class frmMain;

// One complete copy of the messenger with its main window (see TestProgram).
class TestMessenger : public TestProgram
{
public:
    TestMessenger(const QString &bindAddress, Ports ports, bool trayAvailable = false);

    frmMain &window() const;
    // The window's menu entry of that name.
    QAction *action(const QString &name) const;
    // The window's transcript, one line per run (see TranscriptRuns).
    QStringList transcriptRuns() const;
    // Opens a chat connection from this copy to the other one, which answers it as any call;
    // returns once both sides are connected (the handshake has begun).
    bool callChatSocketOf(TestMessenger &callee, const QString &calleeAddress);
    // Calls address the way a user does: File > Connect, the address typed into the connect
    // dialog, "Connect" pressed. Returns when the connect command has returned.
    void dial(const QString &address);
    // Dials the callee, whose user accepts; true once both sides have opened the session.
    bool openSessionWith(TestMessenger &callee, const QString &calleeAddress);
    // Sends a file the way a user does: File > Send File, the path typed into the send
    // dialog, "&Send" pressed. Returns when the menu command has returned.
    void sendFile(const QString &path);
    // Sends a file as sendFile does; true once both this copy and the receiver are idle.
    bool sendFileTo(TestMessenger &receiver, const QString &path, int timeoutMs = 20000);
    // Runs onOpen on the dialog of that object name once it is up, and only then.
    static void whenDialogOpens(
        const QString &objectName, std::function<void(QWidget *dialog)> onOpen);
    // True while no transfer runs: not transferring, progress 0, the menu offering to send,
    // the file socket listening.
    bool transferIdle() const;
    // True while no session is open and the chat socket waits for calls, "Listening..." shown.
    bool listening() const;
};
