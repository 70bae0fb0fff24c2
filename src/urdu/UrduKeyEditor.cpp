#include "urdu/UrduKeyEditor.h"

#include <algorithm>

void UrduKeyEditor::setCaret(int position)
{
    m_caret = std::clamp(position, 0, int(m_shown.size()));
    m_selectionStart = m_caret;
    m_selectionLength = 0;
}

void UrduKeyEditor::setSelection(int start, int length)
{
    const int size = int(m_shown.size());
    m_selectionStart = std::clamp(start, 0, size);
    m_selectionLength = std::clamp(length, 0, size - m_selectionStart);
    m_caret = m_selectionStart;
}

void UrduKeyEditor::setLocked(bool locked)
{
    m_locked = locked;
}

void UrduKeyEditor::setText(const UrduKeyText &keys)
{
    m_orgText = keys;
    show(ShapeUrdu(keys));
    setCaret(0);
}

void UrduKeyEditor::restore(const UrduGlyphText &shown, const UrduKeyText &orgText)
{
    show(shown);
    m_editText = orgText;
    m_orgText = orgText;
    setCaret(0);
}

void UrduKeyEditor::showChanged(const UrduGlyphText &shown)
{
    show(shown);
}

bool UrduKeyEditor::isIgnoredCharacter(qint16 code)
{
    switch (code) {
    case 0: // what a container leaves of a character it swallowed
    case 9: // Tab
    case 13: // Enter
    case 27: // Escape
    case '#':
    case '$':
    case '&':
    case '\'':
    case '<':
    case '>':
    case '@':
    case '\\':
    case '^':
    case '_':
    case '`':
    case '{':
    case '|':
    case '}':
    case '~':
        return true;
    default:
        return false;
    }
}

bool UrduKeyEditor::typeCharacter(qint16 code)
{
    if (m_locked) {
        m_orgText = m_editText;
        return false;
    }
    if (isIgnoredCharacter(code))
        return false;

    // Where the caret goes back to: the start of a selection, which the typed key replaces.
    const int start = hasSelection() ? m_selectionStart : m_caret;
    const bool deletes = code == Backspace || code == Delete;
    bool refilled = false;
    if (hasSelection()) {
        removeSelection();
        refilled = true;
        if (deletes) {
            // The glyphs beside the removed ones were shaped for neighbours that are gone;
            // shaping the remaining keys again gives them the forms they need now.
            show(ShapeUrdu(m_editText));
            setCaret(start);
            m_orgText = m_editText;
            return true;
        }
    }

    const int caret = m_caret;
    const bool atLeftEnd = caret == 0;
    if ((code == Backspace && atLeftEnd && m_editText.isEmpty()) || (code == Delete && atLeftEnd))
        return refilled;
    if (!deletes && m_editText.size() >= MaxLength)
        return refilled;

    editAtCaret(code);
    show(ShapeUrdu(m_editText));
    setCaret(code == Delete ? start - 1 : start);
    m_orgText = m_editText;
    return true;
}

void UrduKeyEditor::show(const UrduGlyphText &glyphs)
{
    m_shown = glyphs.left(MaxLength);
    m_editText = UnshapeUrdu(m_shown);
    const int size = int(m_shown.size());
    m_caret = std::min(m_caret, size);
    m_selectionStart = std::min(m_selectionStart, size);
    m_selectionLength = std::min(m_selectionLength, size - m_selectionStart);
}

void UrduKeyEditor::removeSelection()
{
    const int start = m_selectionStart;
    UrduGlyphText remaining = m_shown;
    remaining.remove(start, m_selectionLength);
    show(remaining);
    setCaret(start);
}

void UrduKeyEditor::editAtCaret(qint16 code)
{
    // With the caret at the left end these append and drop the last key.
    const auto caret = static_cast<qint16>(m_caret);
    switch (code) {
    case Backspace:
        m_editText = DeleteKey(m_editText, caret, code);
        break;
    case Delete:
        m_editText = DeleteKey(m_editText, qint16(caret - 1), code);
        break;
    default:
        m_editText = InsertKey(m_editText, caret, code);
        break;
    }
}
