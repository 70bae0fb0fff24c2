#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>

// The glyph font Qirtas1 draws one fixed glyph per one-byte code. Qt lays out private-use
// characters strictly left to right without reshaping or mirroring, so each code c is
// shown as the character U+F000 + c; the space stays an ordinary space so that lines can
// still break between words. This is the one place where glyph bytes become the
// characters the font draws, and back. Numbers are shown in reading order: each run of
// digits is turned round on the way (see UrduNumberRuns), so a widget's positions inside
// a number differ from the glyph positions there.
namespace UrduGlyphFont {

inline constexpr char16_t PrivateUseBase = 0xF000;
// Not a glyph code: the font's drawing of the tanween mark on a dotted circle, the way a
// mark is shown alone, for the on-screen keyboard's caption.
inline constexpr char16_t TanweenCaption = 0xF103;

// The face name of the glyph font, and the family prefix every Urdu font name begins with.
QString faceName();
QString familyPrefix();

// Glyph codes to the characters the font draws, numbers turned to read left to right.
QString toDisplay(const QByteArray &glyphs);
// Characters back to glyph codes, numbers turned back. A character outside the font's
// range (pasted from elsewhere) becomes its Windows-1252 byte, or "?" when it has none.
QByteArray fromDisplay(const QString &text);

// Registers the font shipped in the program's resources; safe to call more than once.
// False when the font could not be loaded.
bool install();
// The glyph font at the given size.
QFont font(qreal pointSize);

} // namespace UrduGlyphFont
