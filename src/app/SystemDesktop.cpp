#include "app/SystemDesktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {

QMessageBox::Icon toMessageBoxIcon(Desktop::Icon icon)
{
    switch (icon) {
    case Desktop::Icon::Information:
        return QMessageBox::Information;
    case Desktop::Icon::Exclamation:
        return QMessageBox::Warning;
    case Desktop::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Desktop &Desktop::system()
{
    static SystemDesktop desktop;
    return desktop;
}

Desktop::Answer SystemDesktop::messageBox(QWidget *parent, const QString &text, Icon icon,
                                          Buttons buttons)
{
    QMessageBox box(parent);
    box.setWindowTitle(QApplication::applicationName());
    box.setIcon(toMessageBoxIcon(icon));
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void SystemDesktop::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
