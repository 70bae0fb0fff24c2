#pragma once

#include "urdu/basUrdu.h"

class UrduText;

// What the keystroke benchmarks of the Urdu composer share.
namespace ComposerKeystrokes {

// Keys of random Urdu words and numbers, the same on every run.
UrduKeyText randomKeyText(qsizetype length);

// Microseconds per key for typing and taking back a letter in the middle of the composer's
// text, `keystrokes` times, so that every stroke edits inside the text; with `painted`, the
// box is drawn after each key as well, as on screen.
double microsecondsPerKey(UrduText &composer, int keystrokes, bool painted);

} // namespace ComposerKeystrokes
