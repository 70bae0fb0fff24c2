#include "ui/KeyAsciiFilter.h"

#include <QKeyEvent>
#include <QWidget>

KeyAsciiFilter::KeyAsciiFilter(QWidget *target, std::function<bool(int keyAscii)> accepts)
    : QObject(target)
    , m_accepts(std::move(accepts))
{
    target->installEventFilter(this);
}

int KeyAsciiFilter::keyAscii(const QKeyEvent &event)
{
    const int key = event.key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0;
    case Qt::Key_Backspace:
        return 8;
    default:
        break;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier)
        && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    const QString text = event.text();
    if (text.size() == 1 && text.at(0) >= u' ' && text.at(0) != QChar(0x7F))
        return text.at(0).unicode();
    return 0;
}

bool KeyAsciiFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int code = keyAscii(*static_cast<QKeyEvent *>(event));
        if (code != 0 && !m_accepts(code))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
