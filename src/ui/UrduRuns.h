#pragma once

#include "urdu/UrduScript.h"

#include <QString>

class QTextCharFormat;
class QTextDocument;

// The transcript's Urdu runs. A run is held as the glyph font's characters (Naskh) or, when
// Nastaliq is chosen, as the Unicode Urdu they read as in the Nastaliq font; such a run keeps
// its glyph characters, glyph font and size in its format, so that it is saved, copied and
// drawn in Naskh again exactly as it came.
namespace UrduRuns {

// A run in a glyph font: its text is the font's characters, as UrduGlyphFont shows them.
bool holdsGlyphs(const QTextCharFormat &format);
// A run drawn in Nastaliq.
bool isNastaliq(const QTextCharFormat &format);
// The glyph characters a Nastaliq run stands for.
QString glyphsShown(const QTextCharFormat &format);
// The format a run has in Naskh: a Nastaliq run's as it came, any other's as it is.
QTextCharFormat naskhFormat(const QTextCharFormat &format);

// Draws every Urdu run from `from` to the end of the document in the script, in one edit.
void redraw(QTextDocument &document, int from, UrduScript script);

} // namespace UrduRuns
