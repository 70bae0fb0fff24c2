#pragma once

class QTextCharFormat;

// The transcript's Urdu runs and their formats.
namespace UrduRuns {

// A run in a glyph font: its text is the font's characters, as UrduGlyphFont shows them.
bool holdsGlyphs(const QTextCharFormat &format);

} // namespace UrduRuns
