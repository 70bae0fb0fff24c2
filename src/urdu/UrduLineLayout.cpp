#include "urdu/UrduLineLayout.h"

#include "urdu/UrduGlyphFont.h"

#include <QTextLayout>
#include <QTextOption>

namespace {

constexpr int TwipsPerPixel = 15;

// The glyph font at the composer's face, size and style.
QFont layoutFont(const QFont &composerFont)
{
    QFont font = UrduGlyphFont::font(composerFont.pointSizeF());
    font.setFamily(composerFont.family());
    font.setBold(composerFont.bold());
    font.setItalic(composerFont.italic());
    return font;
}

UrduGlyphText withoutTrailingBlanks(UrduGlyphText line)
{
    while (line.endsWith(' '))
        line.chop(1);
    return line;
}

} // namespace

namespace UrduLineLayout {

QList<UrduGlyphText> lines(const UrduGlyphText &glyphs, const QFont &font, int widthTwips)
{
    QTextLayout layout(UrduGlyphFont::toDisplay(glyphs), layoutFont(font));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<UrduGlyphText> lastToFirst;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(widthTwips / TwipsPerPixel);
        // Numbers are turned back within each line, as the line shows them.
        lastToFirst.prepend(withoutTrailingBlanks(
            UrduGlyphFont::fromDisplay(layout.text().mid(line.textStart(), line.textLength()))));
    }
    layout.endLayout();
    return lastToFirst;
}

} // namespace UrduLineLayout

QByteArray LayoutUrduLines(const UrduGlyphText &glyphs, const QFont &font, int widthTwips)
{
    QByteArray text;
    for (const UrduGlyphText &line : UrduLineLayout::lines(glyphs, font, widthTwips))
        text += line + "\r\n";
    return text;
}
