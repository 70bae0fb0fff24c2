#include "urdu/UrduGlyphFont.h"

#include "urdu/UrduNumberRuns.h"

#include <QFontDatabase>
#include <QStringEncoder>

namespace UrduGlyphFont {

namespace {
    constexpr char16_t PrivateUseLast = PrivateUseBase + 0xFF;

    char encodeForeign(QChar character)
    {
        QStringEncoder encoder("windows-1252");
        const QByteArray bytes = encoder.encode(QStringView(&character, 1));
        if (encoder.hasError() || bytes.size() != 1)
            return '?';
        return bytes.front();
    }
} // namespace

QString faceName()
{
    return QStringLiteral("Qirtas1");
}

QString familyPrefix()
{
    return QStringLiteral("Qirtas");
}

QString toDisplay(const QByteArray &glyphs)
{
    QString text(glyphs.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char glyph : UrduNumberRuns::turned(glyphs)) {
        const auto code = static_cast<unsigned char>(glyph);
        *out++ = code == ' ' ? QChar(u' ') : QChar(char16_t(PrivateUseBase + code));
    }
    return text;
}

QByteArray fromDisplay(const QString &text)
{
    QByteArray glyphs(text.size(), Qt::Uninitialized);
    char *out = glyphs.data();
    for (const QChar character : text) {
        const char16_t unit = character.unicode();
        if (unit >= PrivateUseBase && unit <= PrivateUseLast)
            *out++ = static_cast<char>(unit - PrivateUseBase);
        else if (unit == u' ')
            *out++ = ' ';
        else
            *out++ = encodeForeign(character);
    }
    return UrduNumberRuns::turned(glyphs);
}

bool install()
{
    static const bool installed
        = QFontDatabase::addApplicationFont(QStringLiteral(":/resources/fonts/Qirtas1.ttf")) >= 0;
    return installed;
}

QFont font(qreal pointSize)
{
    QFont glyphFont(faceName());
    glyphFont.setPointSizeF(pointSize);
    return glyphFont;
}

} // namespace UrduGlyphFont
