#pragma once

#include "urdu/UrduReadingMap.h"

#include <QList>
#include <QString>

class QTextDocument;

// A transcript as a screen reader reads it: its text with every Urdu run given as Unicode
// Urdu in reading order, English as it stands, paragraphs ended by a line break; and the
// positions in the document and in that text tied together.
class TranscriptReading final
{
public:
    explicit TranscriptReading(const QTextDocument &document);

    const QString &text() const { return m_text; }
    // The offset in text() of a position in the document, and back.
    int offsetOf(int position) const;
    int positionAt(int offset) const;

private:
    // A stretch of the document and the stretch of text() it reads as; an Urdu run held as
    // glyph characters carries its glyphs, in the order the run shows them.
    struct Piece
    {
        int position;
        int length;
        int offset;
        UrduGlyphText glyphs;
        UrduReadingMap reading;
    };

    void add(int position, const QString &shown, bool glyphRun);
    const Piece &pieceAtPosition(int position) const;
    const Piece &pieceAtOffset(int offset) const;

    QString m_text;
    QList<Piece> m_pieces;
};
