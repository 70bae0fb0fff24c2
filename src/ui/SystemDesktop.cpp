#include "ui/SystemDesktop.h"

#include "media/SoundModule.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
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

// The window a box belongs to: owner itself, or the nearest window it lives in.
QWidget *windowOf(QObject *owner)
{
    for (QObject *object = owner; object; object = object->parent()) {
        if (auto *widget = qobject_cast<QWidget *>(object))
            return widget;
    }
    return nullptr;
}

} // namespace

Desktop &Desktop::system()
{
    static SystemDesktop desktop;
    return desktop;
}

Desktop::Answer SystemDesktop::messageBox(
    QObject *owner, const QString &text, Icon icon, Buttons buttons)
{
    QMessageBox box(windowOf(owner));
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

void SystemDesktop::playSound(const QString &path)
{
    if (!m_sounds)
        m_sounds = new SoundModule(QCoreApplication::instance());
    m_sounds->play(path);
}

bool SystemDesktop::chooseFont(QWidget *parent, QFont &font)
{
    bool chosen = false;
    const QFont choice = QFontDialog::getFont(&chosen, font, parent);
    if (chosen)
        font = choice;
    return chosen;
}

bool SystemDesktop::chooseColor(QWidget *parent, QColor &color)
{
    const QColor choice = QColorDialog::getColor(color, parent);
    if (!choice.isValid())
        return false;
    color = choice;
    return true;
}

bool SystemDesktop::chooseFile(
    QWidget *parent, FileMode mode, const QString &qtFilter, QString &fileName)
{
    const QString choice = mode == FileMode::Open
        ? QFileDialog::getOpenFileName(parent, QString(), fileName, qtFilter)
        : QFileDialog::getSaveFileName(parent, QString(), fileName, qtFilter);
    if (choice.isEmpty())
        return false;
    fileName = choice;
    return true;
}
