#include "urdu/UrduReadingMap.h"

#include "urdu/UrduUnicode.h"

#include <algorithm>

UrduReadingMap::UrduReadingMap(const UrduGlyphText &glyphs)
    : m_offsets(glyphs.size() + 1, 0)
{
    m_text.reserve(glyphs.size());
    // The last glyph is read first: the caret left of glyph i stands after it in reading order.
    for (qsizetype index = glyphs.size() - 1; index >= 0; --index) {
        m_text += UrduUnicode::letterAt(glyphs, index);
        m_offsets[index] = int(m_text.size());
    }
}

int UrduReadingMap::offsetOf(int caret) const
{
    return m_offsets.at(std::clamp(caret, 0, glyphCount()));
}

int UrduReadingMap::caretAt(int offset) const
{
    // The offsets fall from left to right: the first caret whose offset is not past the one
    // asked for is the glyph boundary at or before it in reading order.
    const auto found = std::partition_point(
        m_offsets.cbegin(), m_offsets.cend(), [offset](int boundary) { return boundary > offset; });
    return found == m_offsets.cend() ? glyphCount() : int(found - m_offsets.cbegin());
}
