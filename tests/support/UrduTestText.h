#pragma once

#include "urdu/basUrdu.h"

#include <QFont>
#include <QStringList>

#include <initializer_list>

class UrduText;

// Glyph texts written as their codes, and what a composer shows, for the Urdu tests.
namespace UrduTestText {

UrduGlyphText glyphs(std::initializer_list<int> codes);
UrduGlyphText shownBy(const UrduText &composer);

// The characters a box shows for glyph codes given from left to right as they appear on
// screen, numbers already in reading order.
QString onScreen(const UrduGlyphText &codesLeftToRight);

// The glyphs the font draws for a text, left to right, after Qt's shaping: a glyph code's
// number, or the name of a form only the font's contextual rules reach (yehHamza.init,
// yehHamza.medi, toe.fina, tanween.caption).
QStringList drawnGlyphs(const QString &text, const QFont &font);

} // namespace UrduTestText
