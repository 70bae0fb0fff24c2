#include "ui/UrduRuns.h"

#include "urdu/UrduGlyphFont.h"

#include <QTextCharFormat>

namespace UrduRuns {

bool holdsGlyphs(const QTextCharFormat &format)
{
    return format.fontFamilies().toStringList().value(0).startsWith(UrduGlyphFont::familyPrefix());
}

} // namespace UrduRuns
