#include "support/ScriptedDesktop.h"

#include <QColor>
#include <QFont>

Desktop::Answer ScriptedDesktop::messageBox(
    QObject *, const QString &text, Icon icon, Buttons buttons)
{
    shown.append({ text, icon, buttons });
    if (onShow)
        onShow(text);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
}

void ScriptedDesktop::openUrl(const QUrl &url)
{
    opened.append(url);
}

void ScriptedDesktop::playSound(const QString &path)
{
    sounds.append(path);
    if (onSound)
        onSound(path);
}

template<typename T> bool ScriptedDesktop::choose(T &value)
{
    dialogsOpenedOn.append(QVariant::fromValue(value));
    const QVariant answer = dialogAnswers.isEmpty() ? QVariant() : dialogAnswers.takeFirst();
    if (answer.metaType() != QMetaType::fromType<T>())
        return false;
    value = answer.value<T>();
    return true;
}

bool ScriptedDesktop::chooseFont(QWidget *, QFont &font)
{
    return choose(font);
}

bool ScriptedDesktop::chooseColor(QWidget *, QColor &color)
{
    return choose(color);
}

bool ScriptedDesktop::chooseFile(QWidget *, FileMode, const QString &qtFilter, QString &fileName)
{
    fileFilters.append(qtFilter);
    return choose(fileName);
}
