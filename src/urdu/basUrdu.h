#pragma once

#include <QByteArray>
#include <QtGlobal>

// The Urdu shaping engine: pure functions over one-byte codes, no state.
//
// A key text holds the codes of the typed keys in typing order (the period key as 190).
// A glyph text holds codes of the glyph font Qirtas1 in visual order: the leftmost glyph
// first, so the last letter typed is the first code. Both travel and are stored one byte
// per character, which is why they are byte arrays and not strings.
using UrduKeyText = QByteArray;
using UrduGlyphText = QByteArray;

// Joining classes as JoinClass reports them.
inline constexpr qint32 NonJoining = 1;
inline constexpr qint32 RightJoining = 2;
inline constexpr qint32 DualJoining = 4;

// Forms asked of GlyphForForm: isolated (not joined to the letter before) and final.
inline constexpr quint8 IsolatedForm = 0;
inline constexpr quint8 FinalForm = 1;

// The glyph text of a key text, each letter in the form that its neighbours call for,
// with the spaces at the start of the key text (the end of the glyph text) removed.
UrduGlyphText ShapeUrdu(const UrduKeyText &keys);

// The key text that a glyph text shows, in typing order. Glyphs that no key produces
// read back as code 0; nothing is trimmed.
UrduKeyText UnshapeUrdu(const UrduGlyphText &glyphs);

// The isolated (form 0) or final (any other form) glyph of a key; 32, a space, for keys
// without a glyph and for every code below 8 or above 190.
qint16 GlyphForForm(qint16 key, quint8 form);

// NonJoining, RightJoining or DualJoining. Key codes and glyph codes share one byte
// range and one classification, quirks included (key E is non-joining because glyph 69
// is, the period key 190 joins because glyph 190 does).
qint32 JoinClass(quint8 code);

// The form of an isolated or final glyph that also connects to the letter after it
// (initial from isolated, medial from final); glyphs that cannot connect come back as
// they are.
quint8 JoiningForm(quint8 glyph);

// The key whose glyph this is, in any of its forms; 0 for glyphs no key produces.
qint16 KeyForGlyph(qint16 glyph);

// Keystroke editing positions. The caret counts glyphs from the left of the glyph text,
// so it stands after the first (length - caret) keys of the key text.

// The key text with `key` inserted at the caret. A caret outside the text is taken as
// the nearest end.
UrduKeyText InsertKey(const UrduKeyText &text, qint16 caret, qint16 key);

// The key text without the key typed just before the caret, or unchanged when the caret
// stands before the first key or outside the text. `key` is not used; it is kept so the
// two helpers are called alike.
UrduKeyText DeleteKey(const UrduKeyText &text, qint16 caret, qint16 key);
