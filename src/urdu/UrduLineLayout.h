#pragma once

#include "urdu/basUrdu.h"

#include <QByteArray>
#include <QFont>
#include <QList>

// The line layout of an outgoing Urdu message. The glyph text is wrapped the way a text box of
// the given width wraps it in the composer's font: at blanks, and inside a word that is wider
// than a line. The glyphs are in visual order, so the first line holds the end of the message;
// the lines are given from the last to the first, which puts the beginning of the message
// first for a right-to-left reader.
//
// LayoutUrduLines is the text to send; UrduLineLayout::lines gives the same lines one by one.
namespace UrduLineLayout {

// The lines from the last to the first, each without the blanks at its end. Of the font only
// the face, the size, bold and italic count; the width is in twips, 15 to a pixel.
QList<UrduGlyphText> lines(const UrduGlyphText &glyphs, const QFont &font, int widthTwips);

} // namespace UrduLineLayout

// The lines of UrduLineLayout::lines, each followed by CR LF, the last one too. An empty text
// is one empty line.
QByteArray LayoutUrduLines(const UrduGlyphText &glyphs, const QFont &font, int widthTwips);
