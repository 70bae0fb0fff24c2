#pragma once

#include "app/Desktop.h"

// Desktop services of the running program: QMessageBox and QDesktopServices.
class SystemDesktop final : public Desktop
{
public:
    Answer messageBox(QWidget *parent, const QString &text, Icon icon, Buttons buttons) override;
    void openUrl(const QUrl &url) override;
};
