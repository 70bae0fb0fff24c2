#pragma once

#include "app/Desktop.h"

#include <QList>
#include <QUrl>

// A desktop for tests: message boxes return scripted answers (Yes when the script runs
// out) and everything shown or opened is recorded.
class ScriptedDesktop final : public Desktop
{
public:
    struct Shown
    {
        QString text;
        Icon icon;
        Buttons buttons;
    };

    Answer messageBox(QWidget *parent, const QString &text, Icon icon, Buttons buttons) override;
    void openUrl(const QUrl &url) override;

    QList<Answer> answers;
    QList<Shown> shown;
    QList<QUrl> opened;
};
