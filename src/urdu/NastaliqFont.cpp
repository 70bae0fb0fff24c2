#include "urdu/NastaliqFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace NastaliqFont {

namespace {

    // Alef, the letter Urdu readers judge a type size by, stands 768 units of 1000 tall in Noto
    // Nastaliq Urdu and 671 in Qirtas1.
    constexpr qreal SizeForSameAlef = 671.0 / 768.0;

} // namespace

QString family()
{
    return QStringLiteral("Noto Nastaliq Urdu");
}

QString standardFile()
{
    return QStringLiteral(":/resources/fonts/nastaliq/NotoNastaliqUrdu-Regular.ttf");
}

bool install()
{
    static const bool installed = QFontDatabase::addApplicationFont(standardFile()) >= 0
        || QFontDatabase::families().contains(family());
    return installed;
}

qreal pointSize(qreal glyphPointSize)
{
    return glyphPointSize * SizeForSameAlef;
}

QFont font(const QFont &glyphFont)
{
    QFont nastaliq = glyphFont;
    nastaliq.setFamilies({ family() });
    nastaliq.setPointSizeF(pointSize(glyphFont.pointSizeF()));
    // Named, or the desktop's bold face of the family may be matched for regular text.
    nastaliq.setStyleName(glyphFont.bold() ? QStringLiteral("Bold") : QStringLiteral("Regular"));
    // Hinting at a small size pulls the cascading letters off their places, some below the
    // line's descent; unhinted they stay as drawn, within it.
    nastaliq.setHintingPreference(QFont::PreferNoHinting);
    return nastaliq;
}

} // namespace NastaliqFont
