#pragma once

#include <QString>

class QColor;
class QFont;
class QObject;
class QUrl;
class QWidget;

// The desktop services the windows ask for: message boxes, sounds, the font, colour and
// file pickers, and handing a file or link to the program registered for it. Windows
// receive a Desktop instead of calling the desktop themselves, so that a test can script
// the answers and read what was shown and played.
class Desktop
{
public:
    enum class Icon { Information, Exclamation, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };
    enum class FileMode { Open, Save };

    virtual ~Desktop() = default;

    // Shows a modal message box with the program's title over the window that owner is or
    // lives in (none when null); the text is always plain text, never markup, since it may
    // hold a partner's words.
    virtual Answer messageBox(QObject *owner, const QString &text, Icon icon, Buttons buttons) = 0;

    // Hands a file or link to the desktop's registered program; failures are not reported.
    virtual void openUrl(const QUrl &url) = 0;

    // Starts playing a WAV file and returns at once. A new sound cuts off the one playing;
    // a missing or unreadable file gives the desktop's beep; on a machine without a sound
    // device nothing plays and nothing is reported.
    virtual void playSound(const QString &path) = 0;

    // Modal pickers. Each opens on the value passed in and returns true with the choice
    // written back, or false, leaving the argument unchanged, when the user closed it
    // without choosing.
    virtual bool chooseFont(QWidget *parent, QFont &font) = 0;
    virtual bool chooseColor(QWidget *parent, QColor &color) = 0;
    // qtFilter is a Qt name filter list ("All Files (*)"); fileName is the full path.
    virtual bool chooseFile(
        QWidget *parent, FileMode mode, const QString &qtFilter, QString &fileName)
        = 0;

    // The real desktop, for windows that were given no other; it lives in the windows
    // library (ui/SystemDesktop).
    static Desktop &system();
};
