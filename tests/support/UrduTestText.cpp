#include "support/UrduTestText.h"

#include "controls/UrduText.h"
#include "urdu/UrduGlyphFont.h"

#include <QLineEdit>

namespace UrduTestText {

UrduGlyphText glyphs(std::initializer_list<int> codes)
{
    UrduGlyphText text;
    for (const int code : codes)
        text.append(static_cast<char>(code));
    return text;
}

UrduGlyphText shownBy(const UrduText &composer)
{
    return UrduGlyphFont::fromDisplay(composer.txtMain()->text());
}

} // namespace UrduTestText
