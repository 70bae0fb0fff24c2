#pragma once

#include <QString>

class QUrl;
class QWidget;

// The desktop services the windows ask for: message boxes and handing a file or link to
// the program registered for it. Windows receive a Desktop instead of calling the desktop
// themselves, so that a test can script the answers and read what was shown.
class Desktop
{
public:
    enum class Icon { Information, Exclamation, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Desktop() = default;

    // Shows a modal message box with the program's title; the text is always plain text,
    // never markup, since it may hold a partner's words.
    virtual Answer messageBox(QWidget *parent, const QString &text, Icon icon, Buttons buttons) = 0;

    // Hands a file or link to the desktop's registered program; failures are not reported.
    virtual void openUrl(const QUrl &url) = 0;

    // The real desktop, for windows that were given no other.
    static Desktop &system();
};
