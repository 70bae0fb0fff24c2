#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

// Gives a text box a key-press filter on character codes: each key that types a code
// (a printable character, Backspace as 8, Ctrl with a letter as 1 to 26) is offered to a
// test and swallowed when the test refuses it. Enter, Esc and Tab are left to the dialog,
// and keys that type nothing (arrows, Delete) always pass. Pasting with the mouse is not
// filtered.
class KeyAsciiFilter final : public QObject
{
public:
    KeyAsciiFilter(QWidget *target, std::function<bool(int keyAscii)> accepts);

    // The character code a key press types; 0 when it types none.
    static int keyAscii(const QKeyEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool(int)> m_accepts;
};
