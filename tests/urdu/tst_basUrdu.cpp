#include "support/UrduTestText.h"

#include <QTest>

using namespace UrduTestText;

class tst_basUrdu : public QObject
{
    Q_OBJECT

private slots:
    // A key text, its glyphs, and what they read back as.
    void shape_data()
    {
        QTest::addColumn<UrduKeyText>("typed");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::addColumn<UrduKeyText>("readBack");
        const auto row = [](const char *name, const UrduKeyText &typed,
                             std::initializer_list<int> shown, const UrduKeyText &readBack) {
            QTest::newRow(name) << typed << glyphs(shown) << readBack;
        };
        row("leading spaces trimmed", "  b", { 76 }, "b");
        row("spaces alone vanish", "  ", {}, "");
        row("trailing and inner spaces kept", "b b ", { 32, 76, 32, 76 }, "b b ");
        row("E does not join", "bEb", { 76, 217, 76 }, "bEb");
        row("glyphless key joins, reads back as space", "bF", { 32, 73 }, "b ");
        row("code 0 does not join", UrduKeyText("b\0b", 3), { 76, 32, 76 }, "b b");
        row("code above 190 is a space", "b\xc8", { 32, 73 }, "b ");
    }
    void shape()
    {
        QFETCH(UrduKeyText, typed);
        QFETCH(UrduGlyphText, shown);
        QFETCH(UrduKeyText, readBack);
        QCOMPARE(ShapeUrdu(typed), shown);
        QCOMPARE(UnshapeUrdu(shown), readBack);
    }

    // Each letter k typed as k b, space, b k b shows its initial and medial forms, or, when it
    // does not join the next letter, its isolated and final forms with the b after it alone.
    // All read back as typed, but i joined to the next letter reads back as y. The table holds
    // key, isolated, final, initial and medial form (0: it does not join the next letter).
    void everyLetter()
    {
        const int letters[] = { 'a', 65, 66, 0, 0, 'b', 76, 75, 73, 74, 'c', 137, 136, 134, 135,
            'd', 101, 102, 0, 0, 'e', 170, 169, 167, 168, 'f', 178, 177, 175, 176, 'g', 143, 142,
            140, 141, 'h', 235, 234, 232, 233, 'i', 212, 211, 205, 206, 'j', 88, 87, 85, 86, 'k',
            186, 185, 183, 184, 'l', 190, 189, 187, 188, 'm', 194, 193, 191, 192, 'n', 198, 197,
            195, 196, 'o', 202, 201, 199, 200, 'p', 133, 132, 130, 131, 'q', 182, 181, 179, 180,
            'r', 105, 106, 0, 0, 's', 112, 111, 109, 110, 't', 80, 79, 77, 78, 'u', 213, 213, 0, 0,
            'v', 162, 161, 162, 161, 'w', 203, 204, 0, 0, 'x', 116, 115, 113, 114, 'y', 155, 154,
            205, 206, 'z', 107, 108, 0, 0, 'A', 69, 69, 0, 0, 'B', 34, 34, 0, 0, 'C', 84, 83, 81,
            82, 'D', 148, 149, 0, 0, 'G', 174, 173, 171, 172, 'H', 96, 92, 89, 90, 'J', 126, 124,
            121, 122, 'K', 100, 99, 97, 98, 'L', 220, 221, 0, 0, 'N', 231, 230, 0, 0, 'O', 209, 210,
            0, 0, 'R', 152, 153, 0, 0, 'S', 120, 119, 117, 118, 'T', 147, 146, 144, 145, 'V', 166,
            165, 163, 164, 'W', 157, 156, 0, 0, 'X', 138, 139, 0, 0, 'Y', 218, 219, 0, 0, 'Z', 103,
            104, 0, 0, 190, 160, 160, 0, 0 };
        for (const int *l = std::begin(letters); l != std::end(letters); l += 5) {
            const char k = char(l[0]);
            const UrduKeyText typed = k + UrduKeyText("b b") + k + 'b';
            const UrduGlyphText shown = l[3] ? glyphs({ 75, l[4], 73, 32, 75, l[3] })
                                             : glyphs({ 76, l[2], 73, 32, 76, l[1] });
            QCOMPARE(ShapeUrdu(typed), shown);
            QCOMPARE(UnshapeUrdu(shown), k == 'i' ? UrduKeyText("yb byb") : typed);
        }
    }

    // Digits and signs stand for themselves (the double quote shows 62) and join nothing.
    // Glyphs that no key produces read back as code 0; 127 is an old v.
    void signsAndUnknownGlyphs()
    {
        for (const char sign : QByteArray("\b!\"%()*+,-/0123456789:;=?[]")) {
            const UrduKeyText typed = 'b' + UrduKeyText(1, sign) + 'b';
            const UrduGlyphText shown = glyphs({ 76, sign == '"' ? 62 : sign, 76 });
            QCOMPARE(ShapeUrdu(typed), shown);
            QCOMPARE(UnshapeUrdu(shown), typed);
        }
        QCOMPARE(UnshapeUrdu(glyphs({ 32, 70, 127, 236, 60 })), UrduKeyText("\0\0v\0 ", 5));
    }
};

QTEST_GUILESS_MAIN(tst_basUrdu)
#include "tst_basUrdu.moc"
