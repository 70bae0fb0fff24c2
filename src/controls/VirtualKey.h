#pragma once

#include <Qt>
#include <QtGlobal>

class QKeyEvent;

// Keys, modifiers and mouse buttons as the numbers the UrduText control reports to its
// container: key codes of the classic desktop keyboard (Delete 46, the period key 190),
// a shift state of 1 for Shift, 2 for Ctrl and 4 for Alt, and buttons 1 left, 2 right,
// 4 middle.
namespace VirtualKey {

inline constexpr qint16 Backspace = 8;
inline constexpr qint16 Tab = 9;
inline constexpr qint16 Enter = 13;
inline constexpr qint16 Escape = 27;
inline constexpr qint16 Delete = 46;
inline constexpr qint16 PeriodKey = 190;

// The key code of a Qt key; 0 for keys that have none, among them the shifted signs,
// whose physical key depends on the keyboard layout.
qint16 keyCode(int qtKey);

qint16 shiftState(Qt::KeyboardModifiers modifiers);

qint16 mouseButton(Qt::MouseButton button);
qint16 mouseButtons(Qt::MouseButtons buttons);

// What a key press types. NoCharacter: the key edits or moves within the box by itself
// (arrows, Home, the clipboard and select-all shortcuts). Unrepresentable: a character
// outside the single-byte code page, which an Urdu key text cannot hold.
inline constexpr int NoCharacter = -1;
inline constexpr int Unrepresentable = -2;
int characterOf(const QKeyEvent &event);

} // namespace VirtualKey
