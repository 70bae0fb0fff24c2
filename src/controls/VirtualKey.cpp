#include "controls/VirtualKey.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QStringEncoder>

#include <array>
#include <utility>

namespace VirtualKey {

namespace {

    // Named keys and the unshifted sign keys of the standard layout.
    constexpr std::array<std::pair<int, qint16>, 34> NamedKeys { {
        { Qt::Key_Backspace, Backspace },
        { Qt::Key_Tab, Tab },
        { Qt::Key_Backtab, Tab },
        { Qt::Key_Return, Enter },
        { Qt::Key_Enter, Enter },
        { Qt::Key_Shift, 16 },
        { Qt::Key_Control, 17 },
        { Qt::Key_Alt, 18 },
        { Qt::Key_Pause, 19 },
        { Qt::Key_CapsLock, 20 },
        { Qt::Key_Escape, Escape },
        { Qt::Key_Space, 32 },
        { Qt::Key_PageUp, 33 },
        { Qt::Key_PageDown, 34 },
        { Qt::Key_End, 35 },
        { Qt::Key_Home, 36 },
        { Qt::Key_Left, 37 },
        { Qt::Key_Up, 38 },
        { Qt::Key_Right, 39 },
        { Qt::Key_Down, 40 },
        { Qt::Key_Insert, 45 },
        { Qt::Key_Delete, Delete },
        { Qt::Key_NumLock, 144 },
        { Qt::Key_ScrollLock, 145 },
        { Qt::Key_Semicolon, 186 },
        { Qt::Key_Equal, 187 },
        { Qt::Key_Comma, 188 },
        { Qt::Key_Minus, 189 },
        { Qt::Key_Period, PeriodKey },
        { Qt::Key_Slash, 191 },
        { Qt::Key_QuoteLeft, 192 },
        { Qt::Key_BracketLeft, 219 },
        { Qt::Key_Backslash, 220 },
        { Qt::Key_BracketRight, 221 },
    } };

    constexpr qint16 FirstFunctionKeyCode = 112;

    bool isEditingShortcut(const QKeyEvent &event)
    {
        for (const auto standard : { QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste,
                 QKeySequence::SelectAll, QKeySequence::Undo, QKeySequence::Redo }) {
            if (event.matches(standard))
                return true;
        }
        return false;
    }

    int singleByteCode(QChar character)
    {
        if (character.unicode() < 0x80)
            return character.unicode();
        QStringEncoder windows1252("windows-1252");
        const QByteArray bytes = windows1252.encode(QStringView(&character, 1));
        if (windows1252.hasError() || bytes.size() != 1)
            return Unrepresentable;
        return static_cast<quint8>(bytes.front());
    }

} // namespace

qint16 keyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return static_cast<qint16>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<qint16>(FirstFunctionKeyCode + (qtKey - Qt::Key_F1));
    for (const auto &[key, code] : NamedKeys) {
        if (key == qtKey)
            return code;
    }
    return 0;
}

qint16 shiftState(Qt::KeyboardModifiers modifiers)
{
    qint16 state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= 1;
    if (modifiers & Qt::ControlModifier)
        state |= 2;
    if (modifiers & Qt::AltModifier)
        state |= 4;
    return state;
}

qint16 mouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

qint16 mouseButtons(Qt::MouseButtons buttons)
{
    qint16 state = 0;
    for (const Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton }) {
        if (buttons & button)
            state |= mouseButton(button);
    }
    return state;
}

int characterOf(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Backspace:
        return Backspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Enter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Tab;
    case Qt::Key_Escape:
        return Escape;
    default:
        break;
    }
    // The clipboard and select-all chords keep working in the box; a paste rebuilds the
    // key text from what the box then shows. Other control chords type their code.
    if (isEditingShortcut(event))
        return NoCharacter;
    const QString text = event.text();
    if (text.isEmpty())
        return NoCharacter;
    if (text.size() != 1)
        return Unrepresentable;
    return singleByteCode(text.front());
}

} // namespace VirtualKey
