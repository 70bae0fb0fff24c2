#include "urdu/UrduUnicode.h"

#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduLetterTable.h"
#include "urdu/UrduReadingMap.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace UrduUnicode {

namespace {

    constexpr char PeriodKey = char(190);

    const UrduLetterTable::GlyphLetter *glyphLetter(quint8 code)
    {
        const auto &table = UrduLetterTable::Glyphs;
        const auto found = std::lower_bound(table.cbegin(), table.cend(), code,
            [](const UrduLetterTable::GlyphLetter &entry, quint8 wanted) {
                return entry.code < wanted;
            });
        return found != table.cend() && found->code == code ? &*found : nullptr;
    }

    bool takesYehHamza(const UrduGlyphText &glyphs, qsizetype index)
    {
        if (index < 0)
            return false;
        const auto *next = glyphLetter(static_cast<quint8>(glyphs.at(index)));
        return next && next->takesYehHamza;
    }

    // Other spellings that Urdu text on the web uses for a letter or digit with a key.
    constexpr std::array<std::pair<char16_t, char>, 7> Variants { {
        { u'\u0626', 'u' }, // yeh hamza: the hamza key draws it before a letter
        { u'\u0643', 'k' }, // Arabic kaf
        { u'\u0647', 'o' }, // Arabic heh
        { u'\u0649', 'i' }, // alef maksura
        { u'.', PeriodKey },
        { u'\n', ' ' },
        { u'\t', ' ' },
    } };

    // Characters left out without a word: direction and joining marks, which draw nothing,
    // and the carriage return before a line break.
    bool isInvisible(QChar character)
    {
        return character.category() == QChar::Other_Format || character == u'\r';
    }

    // Unicode text to key, the two-letter lam alef included.
    QHash<QString, char> keysByText()
    {
        QHash<QString, char> keys;
        for (const auto &entry : UrduLetterTable::Keys)
            keys.insert(QString::fromUtf16(entry.text), static_cast<char>(entry.code));
        for (const auto &[character, key] : Variants)
            keys.insert(QString(QChar(character)), key);
        for (char digit = '0'; digit <= '9'; ++digit) {
            keys.insert(QString(QLatin1Char(digit)), digit);
            keys.insert(QString(QChar(u'\u0660' + (digit - '0'))), digit);
        }
        return keys;
    }

    bool isPhoneticKey(QChar character)
    {
        return character.unicode() >= 0x20 && character.unicode() < 0x7F;
    }

    bool isGlyphCharacter(QChar character)
    {
        const char16_t unit = character.unicode();
        return unit >= UrduGlyphFont::PrivateUseBase
            && unit <= UrduGlyphFont::PrivateUseBase + 0xFF;
    }

    // The length of the glyph characters from `start` on, with the spaces between them: text
    // that a box or transcript of ours showed, in visual order.
    qsizetype glyphRunLength(QStringView text, qsizetype start)
    {
        qsizetype end = start;
        for (qsizetype index = start; index < text.size(); ++index) {
            if (isGlyphCharacter(text.at(index)))
                end = index + 1;
            else if (text.at(index) != u' ')
                break;
        }
        return end - start;
    }

} // namespace

QString fromGlyphs(const UrduGlyphText &glyphs)
{
    return UrduReadingMap(glyphs).text();
}

QStringView letterAt(const UrduGlyphText &glyphs, qsizetype index)
{
    const auto code = static_cast<quint8>(glyphs.at(index));
    static const char16_t yehHamza = UrduLetterTable::YehHamza;
    if (code == UrduLetterTable::HamzaGlyph && takesYehHamza(glyphs, index - 1))
        return QStringView(&yehHamza, 1);
    const auto *letter = glyphLetter(code);
    return letter ? QStringView(letter->text) : QStringView();
}

Typed toKeys(QStringView text)
{
    static const QHash<QString, char> keys = keysByText();
    Typed typed;
    typed.keys.reserve(text.size());
    for (qsizetype index = 0; index < text.size(); ++index) {
        if (isGlyphCharacter(text.at(index))) {
            const qsizetype length = glyphRunLength(text, index);
            const Typed shown
                = keysFromGlyphs(UrduGlyphFont::fromDisplay(text.mid(index, length).toString()));
            typed.keys.append(shown.keys);
            typed.dropped += shown.dropped;
            index += length - 1;
            continue;
        }
        const auto pair = keys.constFind(text.mid(index, 2).toString());
        if (pair != keys.cend()) {
            typed.keys.append(*pair);
            ++index;
            continue;
        }
        const QChar character = text.at(index);
        const auto single = keys.constFind(QString(character));
        if (single != keys.cend()) {
            typed.keys.append(*single);
        } else if (!isInvisible(character)) {
            ++typed.dropped;
            // A character beyond the first 65,536 counts once, not as its two halves.
            if (character.isHighSurrogate() && index + 1 < text.size()
                && text.at(index + 1).isLowSurrogate())
                ++index;
        }
    }
    return typed;
}

Typed typedKeys(QStringView text)
{
    Typed typed;
    qsizetype index = 0;
    while (index < text.size()) {
        const qsizetype start = index;
        while (index < text.size() && !isPhoneticKey(text.at(index)))
            ++index;
        if (index > start) {
            const Typed drawn = toKeys(text.mid(start, index - start));
            typed.keys += drawn.keys;
            typed.dropped += drawn.dropped;
            continue;
        }
        const char key = text.at(index++).toLatin1();
        typed.keys += key == '.' ? PeriodKey : key;
    }
    return typed;
}

Typed keysFromGlyphs(const UrduGlyphText &glyphs)
{
    Typed typed { UnshapeUrdu(glyphs), 0 };
    typed.dropped = int(typed.keys.count('\0'));
    typed.keys.replace(QByteArray(1, '\0'), QByteArray());
    return typed;
}

QString glyphMimeType()
{
    return QStringLiteral("application/x-kalvex-urdu-glyphs");
}

std::unique_ptr<QMimeData> mimeData(const UrduGlyphText &glyphs)
{
    auto data = std::make_unique<QMimeData>();
    data->setText(fromGlyphs(glyphs));
    data->setData(glyphMimeType(), glyphs);
    return data;
}

Typed keysFrom(const QMimeData &data)
{
    if (!data.hasFormat(glyphMimeType()))
        return toKeys(data.text());
    return keysFromGlyphs(data.data(glyphMimeType()));
}

} // namespace UrduUnicode
