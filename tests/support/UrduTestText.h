#pragma once

#include "controls/UrduText.h"
#include "urdu/UrduGlyphFont.h"

#include <QLineEdit>

// Glyph texts written as their codes, and what a composer shows, for the Urdu tests.
namespace UrduTestText {

inline UrduGlyphText glyphs(std::initializer_list<int> codes)
{
    UrduGlyphText text;
    for (const int code : codes)
        text.append(static_cast<char>(code));
    return text;
}

inline UrduGlyphText shownBy(const UrduText &composer)
{
    return UrduGlyphFont::fromDisplay(composer.txtMain()->text());
}

// What a box shows for glyph codes given left to right as seen, numbers in reading order.
inline QString onScreen(const QByteArray &codesLeftToRight)
{
    QString shown;
    for (const char code : codesLeftToRight)
        shown += code == ' ' ? QChar(u' ') : QChar(UrduGlyphFont::PrivateUseBase + quint8(code));
    return shown;
}

} // namespace UrduTestText
