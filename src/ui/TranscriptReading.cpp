#include "ui/TranscriptReading.h"

#include "ui/UrduRuns.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduNumberRuns.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

TranscriptReading::TranscriptReading(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            add(fragment.position(), fragment.text(), UrduRuns::holdsGlyphs(fragment.charFormat()));
        }
        // The paragraph's end reads as a line break, as in the document's own plain text.
        add(block.position() + block.length() - 1, QStringLiteral("\n"), false);
    }
}

void TranscriptReading::add(int position, const QString &shown, bool glyphRun)
{
    Piece piece { position, int(shown.size()), int(m_text.size()), {}, UrduReadingMap() };
    if (glyphRun) {
        piece.glyphs = UrduGlyphFont::fromDisplay(shown);
        piece.reading = UrduReadingMap(piece.glyphs);
        m_text += piece.reading.text();
    } else {
        m_text += shown;
    }
    m_pieces.append(std::move(piece));
}

const TranscriptReading::Piece &TranscriptReading::pieceAtPosition(int position) const
{
    const auto after = std::upper_bound(m_pieces.cbegin(), m_pieces.cend(), position,
        [](int wanted, const Piece &piece) { return wanted < piece.position; });
    return after == m_pieces.cbegin() ? m_pieces.front() : *(after - 1);
}

const TranscriptReading::Piece &TranscriptReading::pieceAtOffset(int offset) const
{
    const auto after = std::upper_bound(m_pieces.cbegin(), m_pieces.cend(), offset,
        [](int wanted, const Piece &piece) { return wanted < piece.offset; });
    return after == m_pieces.cbegin() ? m_pieces.front() : *(after - 1);
}

int TranscriptReading::offsetOf(int position) const
{
    const Piece &piece = pieceAtPosition(position);
    const int inside = std::clamp(position - piece.position, 0, piece.length);
    if (piece.glyphs.isEmpty())
        return piece.offset + inside;
    // Positions in a glyph run count what it shows from the left, numbers turned round.
    return piece.offset + piece.reading.offsetOf(UrduNumberRuns::caret(piece.glyphs, inside));
}

int TranscriptReading::positionAt(int offset) const
{
    const Piece &piece = pieceAtOffset(offset);
    const int inside = offset - piece.offset;
    if (piece.glyphs.isEmpty())
        return piece.position + std::clamp(inside, 0, piece.length);
    return piece.position + UrduNumberRuns::caret(piece.glyphs, piece.reading.caretAt(inside));
}
