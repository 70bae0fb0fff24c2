#include "support/UrduTestText.h"

#include "controls/UrduText.h"
#include "urdu/UrduGlyphFont.h"

#include <QHash>
#include <QLineEdit>
#include <QRawFont>
#include <QTextLayout>

namespace UrduTestText {

namespace {

    QString glyphCharacter(quint8 code)
    {
        return code == ' ' ? QStringLiteral(" ")
                           : QString(QChar(UrduGlyphFont::PrivateUseBase + code));
    }

    // Glyph index to name; every code without a glyph of its own shares one blank.
    QHash<quint32, QString> glyphNames(const QRawFont &font)
    {
        QHash<quint32, QString> names;
        const auto name = [&](const QString &text, const QString &glyphName) {
            const quint32 index = font.glyphIndexesForString(text).value(0);
            names.insert(index, names.contains(index) ? QStringLiteral("blank") : glyphName);
        };
        for (int code = 0; code < 256; ++code)
            name(glyphCharacter(quint8(code)), QString::number(code));
        const char16_t *const contextual[]
            = { u"yehHamza.init", u"yehHamza.medi", u"toe.fina", u"tanween.caption" };
        for (int index = 0; index < 4; ++index)
            name(QString(QChar(0xF100 + index)), QString::fromUtf16(contextual[index]));
        return names;
    }

} // namespace

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

QString onScreen(const UrduGlyphText &codesLeftToRight)
{
    QString shown;
    for (const char code : codesLeftToRight)
        shown += glyphCharacter(quint8(code));
    return shown;
}

QStringList drawnGlyphs(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList drawn;
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QHash<quint32, QString> names = glyphNames(run.rawFont());
        for (const quint32 index : run.glyphIndexes())
            drawn.append(names.value(index, QStringLiteral("?")));
    }
    return drawn;
}

} // namespace UrduTestText
