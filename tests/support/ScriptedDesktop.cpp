#include "support/ScriptedDesktop.h"

Desktop::Answer ScriptedDesktop::messageBox(QWidget *, const QString &text, Icon icon,
                                            Buttons buttons)
{
    shown.append({ text, icon, buttons });
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
}

void ScriptedDesktop::openUrl(const QUrl &url)
{
    opened.append(url);
}
