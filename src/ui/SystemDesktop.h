#pragma once

#include "app/Desktop.h"

#include <QPointer>

class SoundModule;

// Desktop services of the running program: QMessageBox, QDesktopServices, Qt's font,
// colour and file dialogs, and the sound module.
class SystemDesktop final : public Desktop
{
public:
    Answer messageBox(QObject *owner, const QString &text, Icon icon, Buttons buttons) override;
    void openUrl(const QUrl &url) override;
    void playSound(const QString &path) override;
    bool chooseFont(QWidget *parent, QFont &font) override;
    bool chooseColor(QWidget *parent, QColor &color) override;
    bool chooseFile(
        QWidget *parent, FileMode mode, const QString &qtFilter, QString &fileName) override;

private:
    // Made at the first sound and owned by the application object, so that it goes
    // before the application does.
    QPointer<SoundModule> m_sounds;
};
