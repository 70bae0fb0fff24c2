#pragma once

#include <QFont>
#include <QString>

// The Nastaliq font Urdu is drawn in when Nastaliq is chosen: Noto Nastaliq Urdu, which the
// program carries. It is loaded only then, so that a messenger that draws Naskh never reads it,
// and only into the program: the desktop's fonts, which every program's start reads, stay as
// they were.
namespace NastaliqFont {

QString family();
// The font file the program carries.
QString standardFile();

// Makes the font available from standardFile(), or, failing that, finds it among the
// desktop's fonts by its family name. False when it is in neither place; safe to call more than
// once.
bool install();

// The Nastaliq size that looks as large as the glyph font at `glyphPointSize`.
qreal pointSize(qreal glyphPointSize);
// The Nastaliq font for text written in `glyphFont`: its size scaled, its style kept.
QFont font(const QFont &glyphFont);

} // namespace NastaliqFont
