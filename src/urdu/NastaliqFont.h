#pragma once

#include <QFont>
#include <QString>

// The Nastaliq font Urdu is drawn in when Nastaliq is chosen: Noto Nastaliq Urdu, from the
// desktop's fonts. It is loaded only then, so that a messenger that draws Naskh never reads it.
namespace NastaliqFont {

QString family();
// The file the Debian package fonts-noto-core installs it as.
QString standardFile();

// Makes the font available from standardFile(), or finds it among the desktop's fonts by its
// family name. False when it is in neither place; safe to call more than once.
bool install();

// The Nastaliq size that looks as large as the glyph font at `glyphPointSize`.
qreal pointSize(qreal glyphPointSize);
// The Nastaliq font for text written in `glyphFont`: its size scaled, its style kept.
QFont font(const QFont &glyphFont);

} // namespace NastaliqFont
