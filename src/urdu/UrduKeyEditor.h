#pragma once

#include "urdu/basUrdu.h"

// The editing state behind an Urdu text box, without the box: the glyphs it shows, its
// caret and selection (counted in glyphs from the left), its locked flag, and the two key
// texts it stands for. Every typed character becomes an edit of the key text, which is
// then shaped again, so the box always shows ShapeUrdu of what was typed.
//
// `editText` is the live key text; it follows every change of the shown glyphs at once.
// `orgText` is what the control reports as its Text; it catches up at the end of every
// handled character, and directly when Text is assigned.
class UrduKeyEditor
{
public:
    // The longest glyph text a box holds, as QLineEdit's default maximum length; it also
    // keeps every caret position within the 16-bit range of InsertKey and DeleteKey.
    static constexpr int MaxLength = 32767;

    // Character codes with a meaning of their own.
    static constexpr qint16 Backspace = 8;
    static constexpr qint16 Delete = 46;

    const UrduGlyphText &shown() const { return m_shown; }
    const UrduKeyText &editText() const { return m_editText; }
    const UrduKeyText &orgText() const { return m_orgText; }

    int caret() const { return m_caret; }
    int selectionStart() const { return m_selectionStart; }
    int selectionLength() const { return m_selectionLength; }
    bool hasSelection() const { return m_selectionLength > 0; }
    bool isLocked() const { return m_locked; }

    // The box's caret and selection as the user left them; clamped to the shown glyphs.
    // Setting the caret clears the selection.
    void setCaret(int position);
    void setSelection(int start, int length);
    void setLocked(bool locked);

    // Text assigned by the program: reported unchanged, shown shaped, caret at the left end
    // (the end of the key text) so that typing goes on after it.
    void setText(const UrduKeyText &keys);

    // Saved state: the glyphs the box showed and the key text it reported.
    void restore(const UrduGlyphText &shown, const UrduKeyText &orgText);

    // The box's text was changed by other means than a handled character (a paste, a cut):
    // the key text follows it at once, the reported text only at the next character.
    void showChanged(const UrduGlyphText &shown);

    // Handles one typed character code. True when the shown glyphs were refilled (the
    // caret is then where the box must put it); false when nothing but orgText changed.
    // Every character is consumed: the box never inserts one of its own.
    bool typeCharacter(qint16 code);

    // Characters that are swallowed without any change: Enter, Escape, Tab, the signs that
    // the layout leaves out, and 0, the code a container sets to swallow a character.
    static bool isIgnoredCharacter(qint16 code);

private:
    void show(const UrduGlyphText &glyphs);
    void removeSelection();
    void editAtCaret(qint16 code);

    UrduGlyphText m_shown;
    UrduKeyText m_editText;
    UrduKeyText m_orgText;
    int m_caret = 0;
    int m_selectionStart = 0;
    int m_selectionLength = 0;
    bool m_locked = false;
};
