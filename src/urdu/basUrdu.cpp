#include "urdu/basUrdu.h"

#include <array>

namespace {

struct LetterRow
{
    quint8 key;
    quint8 isolated;
    quint8 final;
};

// Every key with a letter glyph. The initial and medial forms are not listed: they are
// what JoiningForm makes of the isolated and final glyphs.
constexpr LetterRow LetterRows[] = {
    { 'a', 65, 66 },
    { 'b', 76, 75 },
    { 'c', 137, 136 },
    { 'd', 101, 102 },
    { 'e', 170, 169 },
    { 'f', 178, 177 },
    { 'g', 143, 142 },
    { 'h', 235, 234 },
    { 'i', 212, 211 },
    { 'j', 88, 87 },
    { 'k', 186, 185 },
    { 'l', 190, 189 },
    { 'm', 194, 193 },
    { 'n', 198, 197 },
    { 'o', 202, 201 },
    { 'p', 133, 132 },
    { 'q', 182, 181 },
    { 'r', 105, 106 },
    { 's', 112, 111 },
    { 't', 80, 79 },
    { 'u', 213, 213 },
    { 'v', 162, 161 },
    { 'w', 203, 204 },
    { 'x', 116, 115 },
    { 'y', 155, 154 },
    { 'z', 107, 108 },
    { 'A', 69, 69 },
    { 'B', 34, 34 },
    { 'C', 84, 83 },
    { 'D', 148, 149 },
    { 'E', 217, 216 },
    { 'G', 174, 173 },
    { 'H', 96, 92 },
    { 'J', 126, 124 },
    { 'K', 100, 99 },
    { 'L', 220, 221 },
    { 'N', 231, 230 },
    { 'O', 209, 210 },
    { 'R', 152, 153 },
    { 'S', 120, 119 },
    { 'T', 147, 146 },
    { 'V', 166, 165 },
    { 'W', 157, 156 },
    { 'X', 138, 139 },
    { 'Y', 218, 219 },
    { 'Z', 103, 104 },
    { 190, 160, 160 },
};

// Digits and signs that stand for themselves; the double quote is the one sign whose
// glyph differs (62).
constexpr quint8 SelfGlyphKeys[] = { 8, 32, 33, 37, 40, 41, 42, 43, 44, 45, 47, 48, 49, 50, 51, 52,
    53, 54, 55, 56, 57, 58, 59, 61, 63, 91, 93 };
constexpr quint8 DoubleQuoteKey = 34;
constexpr quint8 DoubleQuoteGlyph = 62;

constexpr quint8 NonJoiningCodes[] = { 0, 8, 32, 33, 34, 37, 40, 41, 42, 43, 44, 45, 47, 48, 49, 50,
    51, 52, 53, 54, 55, 56, 57, 58, 59, 61, 62, 63, 69, 91, 93, 160, 213 };
constexpr quint8 RightJoiningCodes[] = { 65, 66, 101, 102, 103, 104, 105, 106, 107, 108, 138, 139,
    148, 149, 152, 153, 156, 157, 203, 204, 209, 210, 216, 217, 218, 219, 220, 221, 230, 231 };

// Isolated glyphs whose initial form lies three codes below them.
constexpr quint8 InitialThreeBelow[] = { 76, 80, 84, 88, 100, 112, 116, 120, 133, 137, 143, 147,
    166, 170, 174, 178, 182, 186, 190, 194, 198, 202, 235 };
// Glyphs with only one shape towards the next letter.
constexpr quint8 NeverConnecting[] = { 65, 66, 101, 102, 103, 104, 105, 106, 107, 108, 138, 139,
    148, 149, 152, 153, 161, 162, 203, 204 };

constexpr quint8 SpaceGlyph = 32;
constexpr int LowestKeyWithGlyph = 8;
constexpr int HighestKeyWithGlyph = 190;
constexpr int HighestLetterGlyph = 235;

using ByteTable = std::array<quint8, 256>;

template<std::size_t N> constexpr bool contains(const quint8 (&codes)[N], int code)
{
    for (const quint8 listed : codes) {
        if (listed == code)
            return true;
    }
    return false;
}

constexpr ByteTable makeJoinClasses()
{
    ByteTable classes {};
    for (int code = 0; code < 256; ++code) {
        if (contains(NonJoiningCodes, code))
            classes[code] = NonJoining;
        else if (contains(RightJoiningCodes, code))
            classes[code] = RightJoining;
        else
            classes[code] = DualJoining;
    }
    return classes;
}

constexpr ByteTable makeGlyphs(bool finalForm)
{
    ByteTable glyphs {};
    glyphs.fill(SpaceGlyph);
    for (const quint8 key : SelfGlyphKeys)
        glyphs[key] = key;
    glyphs[DoubleQuoteKey] = DoubleQuoteGlyph;
    for (const LetterRow &row : LetterRows)
        glyphs[row.key] = finalForm ? row.final : row.isolated;
    return glyphs;
}

constexpr ByteTable JoinClasses = makeJoinClasses();
constexpr ByteTable IsolatedGlyphs = makeGlyphs(false);
constexpr ByteTable FinalGlyphs = makeGlyphs(true);

constexpr quint8 joiningFormOf(int glyph)
{
    if (contains(InitialThreeBelow, glyph))
        return quint8(glyph - 3);
    switch (glyph) {
    case 96:
        return 89;
    case 92:
        return 90;
    case 126:
        return 121;
    case 124:
        return 122;
    case 212:
    case 155:
        return 205;
    case 211:
    case 154:
        return 206;
    default:
        break;
    }
    if (contains(NeverConnecting, glyph) || JoinClasses[glyph] == NonJoining)
        return quint8(glyph);
    return quint8(glyph - 1);
}

constexpr ByteTable makeJoiningForms()
{
    ByteTable forms {};
    for (int glyph = 0; glyph < 256; ++glyph)
        forms[glyph] = joiningFormOf(glyph);
    return forms;
}

constexpr ByteTable JoiningForms = makeJoiningForms();

constexpr ByteTable makeKeysForGlyphs()
{
    ByteTable keys {};
    for (const LetterRow &row : LetterRows) {
        keys[row.isolated] = row.key;
        keys[row.final] = row.key;
        // Only letters that connect onwards have initial and medial forms.
        if (JoinClasses[row.isolated] == DualJoining) {
            keys[joiningFormOf(row.isolated)] = row.key;
            keys[joiningFormOf(row.final)] = row.key;
        }
    }
    for (const quint8 key : SelfGlyphKeys)
        keys[key] = key;
    keys[DoubleQuoteGlyph] = DoubleQuoteKey;
    // i and y share their joined forms; those read back as y.
    keys[205] = 'y';
    keys[206] = 'y';
    // Old texts carry 127 for v.
    keys[127] = 'v';
    return keys;
}

constexpr ByteTable KeysForGlyphs = makeKeysForGlyphs();

inline quint8 byteAt(const QByteArray &bytes, qsizetype index)
{
    return static_cast<quint8>(bytes[index]);
}

} // namespace

UrduGlyphText ShapeUrdu(const UrduKeyText &keys)
{
    // The glyph of each key goes in front of those of the keys before it, so the result is
    // filled from its end; `front` is the index of the glyph of the previous key.
    const qsizetype length = keys.size();
    UrduGlyphText glyphs(length, Qt::Uninitialized);
    char *const out = glyphs.data();
    qsizetype front = length;
    for (qsizetype i = 0; i < length; ++i) {
        const quint8 key = byteAt(keys, i);
        quint8 glyph = IsolatedGlyphs[key];
        if (JoinClasses[key] != NonJoining && front < length) {
            const auto previous = static_cast<quint8>(out[front]);
            if (JoinClasses[previous] == DualJoining) {
                out[front] = static_cast<char>(JoiningForms[previous]);
                glyph = FinalGlyphs[key];
            }
        }
        out[--front] = static_cast<char>(glyph);
    }
    qsizetype kept = length;
    while (kept > 0 && out[kept - 1] == char(SpaceGlyph))
        --kept;
    glyphs.truncate(kept);
    return glyphs;
}

UrduKeyText UnshapeUrdu(const UrduGlyphText &glyphs)
{
    const qsizetype length = glyphs.size();
    UrduKeyText keys(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i)
        keys[i] = static_cast<char>(KeysForGlyphs[byteAt(glyphs, length - 1 - i)]);
    return keys;
}

qint16 GlyphForForm(qint16 key, quint8 form)
{
    if (key < LowestKeyWithGlyph || key > HighestKeyWithGlyph)
        return SpaceGlyph;
    return form == IsolatedForm ? IsolatedGlyphs[key] : FinalGlyphs[key];
}

qint32 JoinClass(quint8 code)
{
    return JoinClasses[code];
}

quint8 JoiningForm(quint8 glyph)
{
    return JoiningForms[glyph];
}

qint16 KeyForGlyph(qint16 glyph)
{
    if (glyph < 0 || glyph > HighestLetterGlyph)
        return 0;
    return KeysForGlyphs[glyph];
}

UrduKeyText InsertKey(const UrduKeyText &text, qint16 caret, qint16 key)
{
    const qsizetype before = qBound(qsizetype(0), text.size() - caret, text.size());
    UrduKeyText edited = text;
    edited.insert(before, static_cast<char>(key));
    return edited;
}

UrduKeyText DeleteKey(const UrduKeyText &text, qint16 caret, qint16)
{
    const qsizetype position = text.size() - caret;
    if (caret < 0 || position < 1)
        return text;
    UrduKeyText edited = text;
    edited.remove(position - 1, 1);
    return edited;
}
