#pragma once

#include "app/Desktop.h"

#include <QList>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <functional>

// A desktop for tests: message boxes and pickers return scripted answers, and everything
// shown, opened or played is recorded.
class ScriptedDesktop final : public Desktop
{
public:
    struct Shown
    {
        QString text;
        Icon icon;
        Buttons buttons;
    };

    Answer messageBox(QObject *owner, const QString &text, Icon icon, Buttons buttons) override;
    void openUrl(const QUrl &url) override;
    void playSound(const QString &path) override;
    bool chooseFont(QWidget *parent, QFont &font) override;
    bool chooseColor(QWidget *parent, QColor &color) override;
    bool chooseFile(
        QWidget *parent, FileMode mode, const QString &qtFilter, QString &fileName) override;

    // Message box answers, taken from the front; Yes when the script runs out.
    QList<Answer> answers;
    QList<Shown> shown;
    // Runs while a message box is up, as the events a real modal box lets through would.
    std::function<void(const QString &text)> onShow;
    QList<QUrl> opened;
    QStringList sounds;
    std::function<void(const QString &path)> onSound;

    // Picker answers, taken from the front: a QFont, QColor or QString (a file name) of the
    // picker's own kind is chosen; anything else, or none, closes it without a choice.
    QList<QVariant> dialogAnswers;
    // The value each picker opened on (QFont, QColor, or the file name), in order.
    QList<QVariant> dialogsOpenedOn;
    // The Qt filter of each file picker.
    QStringList fileFilters;

private:
    template<typename T> bool choose(T &value);
};
