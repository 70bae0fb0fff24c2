#pragma once

#include "support/TestProgram.h"

#include <QFont>

#include <functional>

class QAction;
class QTextDocument;
class QWidget;
class frmMain;

// A font as the font picker returns it.
QFont pickedFont(const char *family, qreal size, bool bold = false, bool italic = false);

// What a transcript shows, one line per run: paragraph alignment (L or R), font face, size,
// colour, B and I for bold and italic, then the text in quotes. A paragraph break is a line
// of its own, "|". Comparing such lines shows at once which attribute differs.
QStringList transcriptRuns(const QTextDocument &document);

// One complete copy of the messenger with its main window (see TestProgram).
class TestMessenger : public TestProgram
{
public:
    TestMessenger(const QString &bindAddress, Ports ports, bool trayAvailable = false);

    frmMain &window() const;
    QAction *action(const QString &name) const;
    QStringList transcriptRuns() const;
    // Runs steps separated by blanks: a chat state (the window shows it as the session
    // reports it) or the name of a menu entry, triggered.
    void play(const QString &steps);
    // Puts text into the composer of the chosen language.
    void type(const QString &text);
    // Dials address as a user does: File > Connect, the address typed, "Connect" pressed.
    void dial(const QString &address);
    // Dials the callee, whose user accepts; true once both sides have opened the session.
    bool openSessionWith(TestMessenger &callee, const QString &calleeAddress);
    // Sends a file as a user does: File > Send File, the path typed, "&Send" pressed; true
    // once both this copy and the receiver are idle again.
    bool sendFileTo(TestMessenger &receiver, const QString &path);
    // Runs onOpen on the dialog of that object name once it is up, and only then.
    static void whenDialogOpens(
        const QString &objectName, std::function<void(QWidget *dialog)> onOpen);
    // No transfer runs: progress 0, the menu offering to send, the file socket listening.
    bool transferIdle() const;
    // No session is open and the chat socket waits for calls, "Listening..." shown.
    bool listening() const;
};
