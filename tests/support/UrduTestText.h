#pragma once

#include "urdu/basUrdu.h"

#include <initializer_list>

class UrduText;

// Glyph texts written as their codes, and what a composer shows, for the Urdu tests.
namespace UrduTestText {

UrduGlyphText glyphs(std::initializer_list<int> codes);
UrduGlyphText shownBy(const UrduText &composer);

} // namespace UrduTestText
