#pragma once

#include "urdu/basUrdu.h"

#include <QList>
#include <QString>

// A glyph text as the Unicode Urdu it reads as (see UrduUnicode::fromGlyphs), with the positions
// of the two tied together: a caret counted in glyphs from the left, as a box of glyphs counts
// it, and the offset between the same two letters in the Unicode text, counted from its start in
// reading order. A glyph reads as one character, as two (lam alef) or as none, so the counts
// differ; numbers need no care, as both follow the order the keys were typed in.
class UrduReadingMap
{
public:
    explicit UrduReadingMap(const UrduGlyphText &glyphs = {});

    const QString &text() const { return m_text; }
    int glyphCount() const { return int(m_offsets.size()) - 1; }

    // The offset in text() of the caret with `caret` glyphs on its left.
    int offsetOf(int caret) const;
    // The caret at an offset in text(). An offset inside the characters of one glyph goes back
    // to where the glyph begins in reading order; offsets beyond the text are held to it.
    int caretAt(int offset) const;

private:
    QString m_text;
    // For each caret from 0 (left end) to the glyph count: its offset, falling to 0.
    QList<int> m_offsets;
};
