#include "urdu/basUrdu.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

UrduGlyphText glyphs(std::initializer_list<int> codes)
{
    UrduGlyphText text;
    for (const int code : codes)
        text.append(static_cast<char>(code));
    return text;
}

UrduKeyText keys(const char *typed)
{
    return UrduKeyText(typed);
}

// A letter key with its four forms as the glyph font numbers them; 0 where the letter has
// no joined form.
struct Letter
{
    int key;
    int isolated, final, initial, medial;
};

const Letter Letters[] = {
    { 'a', 65, 66, 0, 0 },
    { 'b', 76, 75, 73, 74 },
    { 'c', 137, 136, 134, 135 },
    { 'd', 101, 102, 0, 0 },
    { 'e', 170, 169, 167, 168 },
    { 'f', 178, 177, 175, 176 },
    { 'g', 143, 142, 140, 141 },
    { 'h', 235, 234, 232, 233 },
    { 'i', 212, 211, 205, 206 },
    { 'j', 88, 87, 85, 86 },
    { 'k', 186, 185, 183, 184 },
    { 'l', 190, 189, 187, 188 },
    { 'm', 194, 193, 191, 192 },
    { 'n', 198, 197, 195, 196 },
    { 'o', 202, 201, 199, 200 },
    { 'p', 133, 132, 130, 131 },
    { 'q', 182, 181, 179, 180 },
    { 'r', 105, 106, 0, 0 },
    { 's', 112, 111, 109, 110 },
    { 't', 80, 79, 77, 78 },
    { 'u', 213, 213, 0, 0 },
    { 'v', 162, 161, 162, 161 },
    { 'w', 203, 204, 0, 0 },
    { 'x', 116, 115, 113, 114 },
    { 'y', 155, 154, 205, 206 },
    { 'z', 107, 108, 0, 0 },
    { 'A', 69, 69, 0, 0 },
    { 'B', 34, 34, 0, 0 },
    { 'C', 84, 83, 81, 82 },
    { 'D', 148, 149, 0, 0 },
    { 'E', 217, 216, 0, 0 },
    { 'G', 174, 173, 171, 172 },
    { 'H', 96, 92, 89, 90 },
    { 'J', 126, 124, 121, 122 },
    { 'K', 100, 99, 97, 98 },
    { 'L', 220, 221, 0, 0 },
    { 'N', 231, 230, 0, 0 },
    { 'O', 209, 210, 0, 0 },
    { 'R', 152, 153, 0, 0 },
    { 'S', 120, 119, 117, 118 },
    { 'T', 147, 146, 144, 145 },
    { 'V', 166, 165, 163, 164 },
    { 'W', 157, 156, 0, 0 },
    { 'X', 138, 139, 0, 0 },
    { 'Y', 218, 219, 0, 0 },
    { 'Z', 103, 104, 0, 0 },
    { 190, 160, 160, 0, 0 },
};

const char SignKeys[] = "\b !%()*+,-/0123456789:;=?[]";

// Every key that has a glyph: letters, digits and signs.
QList<int> keysWithGlyphs()
{
    QList<int> all;
    for (const Letter &letter : Letters)
        all.append(letter.key);
    for (const char sign : SignKeys)
        if (sign != '\0')
            all.append(sign);
    all.append('"');
    return all;
}

} // namespace

class tst_basUrdu : public QObject
{
    Q_OBJECT

private slots:
    void shape_data()
    {
        QTest::addColumn<UrduKeyText>("typed");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::newRow("empty") << keys("") << glyphs({});
        QTest::newRow("one letter isolated") << keys("b") << glyphs({ 76 });
        QTest::newRow("final medial initial") << keys("bbb") << glyphs({ 75, 74, 73 });
        QTest::newRow("right-joining after dual") << keys("ba") << glyphs({ 66, 73 });
        QTest::newRow("dual after right-joining") << keys("ab") << glyphs({ 76, 65 });
        QTest::newRow("b a b") << keys("bab") << glyphs({ 76, 66, 73 });
        QTest::newRow("leading space trimmed") << keys(" b") << glyphs({ 76 });
        QTest::newRow("only spaces") << keys("   ") << glyphs({});
        QTest::newRow("trailing space kept") << keys("b ") << glyphs({ 32, 76 });
        QTest::newRow("inner space breaks joining") << keys("b b") << glyphs({ 76, 32, 76 });
        QTest::newRow("E does not join") << keys("bE") << glyphs({ 217, 76 });
        QTest::newRow("period key joins") << keys("b\xbe") << glyphs({ 160, 73 });
        QTest::newRow("no-glyph key still joins") << keys("bF") << glyphs({ 32, 73 });
        QTest::newRow("v keeps its glyph") << keys("vb") << glyphs({ 75, 162 });
        QTest::newRow("i and y share") << keys("iy") << glyphs({ 154, 205 });
        QTest::newRow("H irregular forms") << keys("HHH") << glyphs({ 92, 90, 89 });
        QTest::newRow("J irregular forms") << keys("JJJ") << glyphs({ 124, 122, 121 });
        QTest::newRow("y medial") << keys("yyy") << glyphs({ 154, 206, 205 });
        QTest::newRow("A joins back only") << keys("bAb") << glyphs({ 76, 69, 73 });
        QTest::newRow("B joins back only") << keys("bBb") << glyphs({ 76, 34, 73 });
        QTest::newRow("u joins back only") << keys("bub") << glyphs({ 76, 213, 73 });
        QTest::newRow("digit stops joining") << keys("b1b") << glyphs({ 76, 49, 76 });
        QTest::newRow("double quote glyph") << keys("\"") << glyphs({ 62 });
        QTest::newRow("filtered sign is a space") << keys("b#") << glyphs({ 32, 73 });
        QTest::newRow("code above 190") << keys("\xc8") << glyphs({});
        QTest::newRow("control code") << keys("b\x16") << glyphs({ 32, 73 });
        QTest::newRow("code 0 does not join") << UrduKeyText("b\0b", 3) << glyphs({ 76, 32, 76 });
        QTest::newRow("word") << keys("pakistan")
                              << glyphs({ 198, 66, 78, 110, 206, 183, 66, 130 });
    }
    void shape()
    {
        QFETCH(UrduKeyText, typed);
        QFETCH(UrduGlyphText, shown);
        QCOMPARE(ShapeUrdu(typed), shown);
    }

    void unshape_data()
    {
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::addColumn<UrduKeyText>("typed");
        QTest::newRow("empty") << glyphs({}) << keys("");
        QTest::newRow("visual to logical") << glyphs({ 76, 66, 73 }) << keys("bab");
        QTest::newRow("shared forms read as y") << glyphs({ 154, 205 }) << keys("yy");
        QTest::newRow("i isolated and final") << glyphs({ 211, 212 }) << keys("ii");
        QTest::newRow("unknown glyph gives 0") << glyphs({ 70 }) << UrduKeyText("\0", 1);
        QTest::newRow("above the font") << glyphs({ 236, 255 }) << UrduKeyText("\0\0", 2);
        QTest::newRow("nothing trimmed") << glyphs({ 32, 76, 32 }) << keys(" b ");
        QTest::newRow("full stop") << glyphs({ 160 }) << keys("\xbe");
        QTest::newRow("double quote") << glyphs({ 62 }) << keys("\"");
        QTest::newRow("old v") << glyphs({ 127 }) << keys("v");
        QTest::newRow("B's glyph") << glyphs({ 34 }) << keys("B");
    }
    void unshape()
    {
        QFETCH(UrduGlyphText, shown);
        QFETCH(UrduKeyText, typed);
        QCOMPARE(UnshapeUrdu(shown), typed);
    }

    void codeTable_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("isolated");
        QTest::addColumn<int>("final");
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("medial");
        for (const Letter &letter : Letters)
            QTest::addRow("key %d", letter.key)
                << letter.key << letter.isolated << letter.final << letter.initial << letter.medial;
    }
    void codeTable()
    {
        QFETCH(int, key);
        QFETCH(int, isolated);
        QFETCH(int, final);
        QFETCH(int, initial);
        QFETCH(int, medial);
        QCOMPARE(GlyphForForm(qint16(key), IsolatedForm), isolated);
        QCOMPARE(GlyphForForm(qint16(key), FinalForm), final);
        const bool joinsNext = initial != 0;
        QCOMPARE(JoinClass(quint8(isolated)) == DualJoining, joinsNext);
        QCOMPARE(JoinClass(quint8(final)) == DualJoining, joinsNext);
        if (joinsNext) {
            QCOMPARE(JoiningForm(quint8(isolated)), initial);
            QCOMPARE(JoiningForm(quint8(final)), medial);
        }
        // Every form reads back as its key; the shared joined forms of i read back as y.
        const int joinedKey = key == 'i' ? 'y' : key;
        QCOMPARE(KeyForGlyph(qint16(isolated)), key);
        QCOMPARE(KeyForGlyph(qint16(final)), key);
        if (joinsNext) {
            QCOMPARE(KeyForGlyph(qint16(initial)), joinedKey);
            QCOMPARE(KeyForGlyph(qint16(medial)), joinedKey);
        }
    }

    void signs()
    {
        for (const char sign : SignKeys) {
            if (sign == '\0')
                continue;
            QCOMPARE(GlyphForForm(sign, IsolatedForm), sign);
            QCOMPARE(GlyphForForm(sign, FinalForm), sign);
            QCOMPARE(JoinClass(quint8(sign)), NonJoining);
            QCOMPARE(KeyForGlyph(sign), sign);
        }
        QCOMPARE(GlyphForForm('"', IsolatedForm), 62);
        QCOMPARE(KeyForGlyph(62), '"');
        // Glyphs that no key produces, and codes outside the font.
        for (const qint16 glyph : { -1, 0, 60, 70, 236, 1000 })
            QCOMPARE(KeyForGlyph(glyph), 0);
    }

    void glyphless_data()
    {
        QTest::addColumn<int>("key");
        for (const int key : { 0, 1, 7, 9, 13, 35, 36, 38, 39, 46, 60, 62, 64, 70, 73, 77, 80, 81,
                 85, 92, 94, 95, 96, 123, 124, 125, 126, 127, 189, 191, 255, -1, 300 })
            QTest::addRow("key %d", key) << key;
    }
    void glyphless()
    {
        QFETCH(int, key);
        QCOMPARE(GlyphForForm(qint16(key), IsolatedForm), 32);
        QCOMPARE(GlyphForForm(qint16(key), FinalForm), 32);
    }

    void joinClass_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("joinClass");
        QTest::newRow("code 0") << 0 << NonJoining;
        QTest::newRow("space") << 32 << NonJoining;
        QTest::newRow("E as key") << 69 << NonJoining;
        QTest::newRow("double quote glyph") << 62 << NonJoining;
        QTest::newRow("full stop glyph") << 160 << NonJoining;
        QTest::newRow("u glyph") << 213 << NonJoining;
        QTest::newRow("a as key") << 97 << DualJoining;
        QTest::newRow("A as key") << 65 << RightJoining;
        QTest::newRow("B as key") << 66 << RightJoining;
        QTest::newRow("u as key") << 117 << DualJoining;
        QTest::newRow("period key") << 190 << DualJoining;
        QTest::newRow("last right-joining") << 231 << RightJoining;
        QTest::newRow("between sets") << 232 << DualJoining;
        QTest::newRow("top") << 255 << DualJoining;
    }
    void joinClass()
    {
        QFETCH(int, code);
        QFETCH(int, joinClass);
        QCOMPARE(JoinClass(quint8(code)), joinClass);
    }

    void insertKey_data()
    {
        QTest::addColumn<UrduKeyText>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<UrduKeyText>("edited");
        QTest::newRow("empty") << keys("") << 0 << keys("t");
        QTest::newRow("caret left end appends") << keys("bab") << 0 << keys("babt");
        QTest::newRow("caret right end prepends") << keys("bab") << 3 << keys("tbab");
        QTest::newRow("middle") << keys("bab") << 1 << keys("batb");
        QTest::newRow("caret past the right end") << keys("ba") << 9 << keys("tba");
        QTest::newRow("negative caret") << keys("ba") << -1 << keys("bat");
    }
    void insertKey()
    {
        QFETCH(UrduKeyText, text);
        QFETCH(int, caret);
        QFETCH(UrduKeyText, edited);
        QCOMPARE(InsertKey(text, qint16(caret), 't'), edited);
    }

    void deleteKey_data()
    {
        QTest::addColumn<UrduKeyText>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<UrduKeyText>("edited");
        QTest::newRow("empty") << keys("") << 0 << keys("");
        QTest::newRow("left end drops last") << keys("bat") << 0 << keys("ba");
        QTest::newRow("middle") << keys("bat") << 1 << keys("bt");
        QTest::newRow("before first") << keys("bat") << 2 << keys("at");
        QTest::newRow("right end unchanged") << keys("bat") << 3 << keys("bat");
        QTest::newRow("past the right end") << keys("bat") << 7 << keys("bat");
        QTest::newRow("negative caret") << keys("bat") << -1 << keys("bat");
    }
    void deleteKey()
    {
        QFETCH(UrduKeyText, text);
        QFETCH(int, caret);
        QFETCH(UrduKeyText, edited);
        QCOMPARE(DeleteKey(text, qint16(caret), 8), edited);
    }

    // Any text of table keys that does not start with a space reads back as typed, except
    // that i before a joining key reads back as y.
    void randomRoundTrip()
    {
        const QList<int> alphabet = keysWithGlyphs();
        QRandomGenerator random(20240607);
        for (int round = 0; round < 2000; ++round) {
            UrduKeyText typed;
            const int length = random.bounded(1, 40);
            for (int i = 0; i < length; ++i)
                typed.append(static_cast<char>(alphabet.at(random.bounded(alphabet.size()))));
            while (!typed.isEmpty() && typed.front() == ' ')
                typed.remove(0, 1);

            UrduKeyText expected = typed;
            for (qsizetype i = 0; i + 1 < expected.size(); ++i)
                if (expected[i] == 'i' && JoinClass(quint8(expected[i + 1])) != NonJoining)
                    expected[i] = 'y';

            const UrduGlyphText shaped = ShapeUrdu(typed);
            QCOMPARE(shaped.size(), typed.size());
            QCOMPARE(UnshapeUrdu(shaped), expected);
        }
    }

    // Shaping is linear: a megabyte of joining letters must not take quadratic time.
    void longTextShapesWhole()
    {
        const UrduKeyText typed(1 << 20, 'b');
        const UrduGlyphText shaped = ShapeUrdu(typed);
        QCOMPARE(shaped.size(), typed.size());
        QCOMPARE(quint8(shaped.front()), quint8(75));
        QCOMPARE(quint8(shaped.back()), quint8(73));
        QCOMPARE(quint8(shaped.at(shaped.size() / 2)), quint8(74));
    }
};

QTEST_GUILESS_MAIN(tst_basUrdu)
#include "tst_basUrdu.moc"
