#pragma once

#include "urdu/basUrdu.h"

#include <QList>

// Numbers in Urdu read left to right inside right-to-left text. A glyph text holds every
// code in visual order of the letters, which puts the digits of a number in reverse; a
// widget shows each run of digits turned round again. A run is digits, with one of the
// separators - / : . , between two digits (so 0300-1234567, 12:30 and 3.14 are one run
// each), and it covers the same positions before and after turning, which makes every
// mapping here its own inverse: it takes glyph positions to shown ones and back alike.
namespace UrduNumberRuns {

struct Run
{
    int start;
    int end; // one past the last code
};

// The runs of a glyph text (or of the codes of what a widget shows), left to right.
QList<Run> find(const UrduGlyphText &codes);

// The codes with every run reversed.
UrduGlyphText turned(UrduGlyphText codes);

// A caret between two codes of a run moves to where the same two digits meet once the
// run is turned; a caret at a run's edge or outside runs stays where it is.
int caret(const UrduGlyphText &codes, int position);

// A selection as [start, end). Inside one run it is reflected within the run; one that
// covers runs whole, or none, stays.
Run selection(const UrduGlyphText &codes, Run selected);

// A selection that takes part of a run and goes on beyond it, grown to the whole run, so
// that what is selected on screen is one stretch of glyphs as well.
Run wholeRuns(const UrduGlyphText &codes, Run selected);

} // namespace UrduNumberRuns
