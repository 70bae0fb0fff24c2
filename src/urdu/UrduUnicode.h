#pragma once

#include "urdu/basUrdu.h"

#include <QMimeData>
#include <QString>

#include <memory>

// Urdu as other programs know it: Unicode Arabic-script text in reading order. Glyph texts
// go out as the letters they draw; Unicode text comes in as the keys that type it.
namespace UrduUnicode {

// The Unicode Urdu a glyph text draws, first letter first: each glyph as its letter
// (U+06xx, digits U+06F0 to U+06F9), a hamza with a letter after it as yeh hamza, as the
// glyph font draws it. Codes that draw nothing give nothing.
QString fromGlyphs(const UrduGlyphText &glyphs);
// What the glyph at `index` of a glyph text reads as, in its place in fromGlyphs.
QStringView letterAt(const UrduGlyphText &glyphs, qsizetype index);

struct Typed
{
    UrduKeyText keys;
    // Characters that no key types; they are left out.
    int dropped = 0;
};

// The keys that type a glyph text; glyphs that no key draws count as dropped.
Typed keysFromGlyphs(const UrduGlyphText &glyphs);

// The keys that type a Unicode text. Glyph characters of our font (text shown by an older
// copy of the program, or copied from a transcript as it is drawn) type their keys. Besides the
// letters and signs of the keys, Western and Arabic-Indic digits type digits, a Latin full stop the
// Urdu one, and line breaks and tabs a space. Invisible formatting characters (direction and
// joining marks) are left out without being counted.
Typed toKeys(QStringView text);

// The keys that characters typed on the desktop's keyboard, or committed by an input method,
// type in the Urdu composer: a printable ASCII character is the phonetic key of that name (the
// full stop the period key), anything else types the key that draws it, as in toKeys.
Typed typedKeys(QStringView text);

// Clipboard contents for a glyph text: its Unicode text for other programs, and the glyph
// bytes themselves under a type of our own, for an exact paste back.
std::unique_ptr<QMimeData> mimeData(const UrduGlyphText &glyphs);
QString glyphMimeType();

// The keys a clipboard's contents type: the keys of our own glyph bytes where they are
// present, else those of its text.
Typed keysFrom(const QMimeData &data);

} // namespace UrduUnicode
