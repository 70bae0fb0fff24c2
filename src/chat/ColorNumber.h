#pragma once

#include <QColor>

// Colours as 32-bit numbers: red in the low byte, then green, then blue (0x00BBGGRR); a
// number with the top bit set names a system colour by its index in the low byte, which
// follows the desktop's current palette.
namespace ColorNumber {

inline constexpr qint32 SystemFlag = qint32(0x80000000u);
inline constexpr qint32 WindowBackground = qint32(0x80000005u);
inline constexpr qint32 WindowText = qint32(0x80000008u);

bool isSystemColor(qint32 number);

// The colour a number stands for now; system colours come from the application palette,
// an unknown system index gives the window text colour.
QColor toColor(qint32 number);

} // namespace ColorNumber
