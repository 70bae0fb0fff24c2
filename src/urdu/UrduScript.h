#pragma once

#include <QString>

// The script Urdu is drawn in on screen and on paper. Naskh draws the glyph codes themselves
// in the glyph font; Nastaliq draws the Unicode Urdu they stand for in a Nastaliq font. What is
// sent, saved and typed stays the glyph codes either way.
enum class UrduScript { Naskh, Nastaliq };

namespace UrduScripts {

// "Naskh" or "Nastaliq", as the choice is stored.
QString name(UrduScript script);
// The script of a stored name; anything but "Nastaliq" is Naskh.
UrduScript named(const QString &name);

} // namespace UrduScripts
