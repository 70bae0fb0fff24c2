#pragma once

#include "support/TestProgram.h"

#include <QFont>

#include <functional>

class QAction;
class QTextDocument;
class QWidget;
class frmMain;

QFont pickedFont(const char *family, qreal size, bool bold = false, bool italic = false);

// One line per run: alignment (L or R), face, size, colour, B and I for bold and italic, the
// text in quotes; "|" between paragraphs.
QStringList transcriptRuns(const QTextDocument &document);

// One complete copy of the messenger with its main window (see TestProgram).
class TestMessenger : public TestProgram
{
public:
    TestMessenger(const QString &bindAddress, Ports ports, bool trayAvailable = false,
        std::function<QDBusConnection()> notificationBus = {});

    frmMain &window() const;
    QAction *action(const QString &name) const;
    QStringList transcriptRuns() const;
    // Steps separated by blanks: a chat state, shown as the session reports it, or the name
    // of a menu entry, triggered.
    void play(const QString &steps);
    void type(const QString &text);
    // Triggers the menu entry, puts text into the field of the dialog it opens and clicks the
    // dialog's button.
    void fillIn(const char *entry, const char *dialog, const char *field, const QString &text,
        const char *button);
    // Dials the callee, whose user accepts; true once both sides have opened the session.
    bool openSessionWith(TestMessenger &callee, const QString &calleeAddress);
    // Sends a file as a user does, through File > Send File.
    void sendFile(const QString &path);
    // Sends as sendFile does; true once this copy and the receiver are idle again.
    bool sendFileTo(TestMessenger &receiver, const QString &path, int timeoutMs = 20000);
    // Runs onOpen on the dialog of that object name once it is up, and only then.
    static void whenDialogOpens(
        const QString &objectName, std::function<void(QWidget *dialog)> onOpen);
    // No transfer runs: progress 0, the menu offering to send, the file socket listening.
    bool transferIdle() const;
    // No session is open and the chat socket waits for calls, "Listening..." shown.
    bool listening() const;
};
