#include "support/UrduTestText.h"
#include "urdu/basUrdu.h"

#include <QRandomGenerator>
#include <QTest>

using namespace UrduTestText;

namespace {

// A key text, its glyphs, and what they read back as when that is not the key text.
void shapeRow(const char *name, const UrduKeyText &typed, std::initializer_list<int> shown,
    const char *readBack = nullptr)
{
    QTest::newRow(name) << typed << glyphs(shown) << (readBack ? UrduKeyText(readBack) : typed);
}

// Rows of a function of one code: the code and what it gives.
void codeRows(std::initializer_list<std::pair<int, int>> cases)
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("expected");
    for (const auto &[code, expected] : cases)
        QTest::addRow("%d", code) << code << expected;
}

// Every key of the code table: letters, the period key, digits and signs.
const UrduKeyText TableKeys = UrduKeyText("abcdefghijklmnopqrstuvwxyzABCDEGHJKLNORSTVWXYZ")
    + "\b !%()*+,-/0123456789:;=?[]\"" + "\xbe";

} // namespace

class tst_basUrdu : public QObject
{
    Q_OBJECT

private slots:
    void shape_data()
    {
        QTest::addColumn<UrduKeyText>("typed");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::addColumn<UrduKeyText>("readBack");
        shapeRow("empty", "", {});
        shapeRow("isolated", "b", { 76 });
        shapeRow("final medial initial", "bbb", { 75, 74, 73 });
        shapeRow("right-joining after dual", "ba", { 66, 73 });
        shapeRow("dual after right-joining", "ab", { 76, 65 });
        shapeRow("b a b", "bab", { 76, 66, 73 });
        shapeRow("leading spaces trimmed", "  b", { 76 }, "b");
        shapeRow("trailing and inner spaces kept", "b b ", { 32, 76, 32, 76 });
        shapeRow("E does not join", "bE", { 217, 76 });
        shapeRow("period key joins", "b\xbe", { 160, 73 });
        shapeRow("glyphless key joins, reads back as space", "bF", { 32, 73 }, "b ");
        shapeRow("v keeps its glyph", "vb", { 75, 162 });
        shapeRow("i before a joining key reads back as y", "iy", { 154, 205 }, "yy");
        shapeRow("irregular forms of H", "HHH", { 92, 90, 89 });
        shapeRow("irregular forms of J", "JJJ", { 124, 122, 121 });
        shapeRow("A, B, u join back only", "bAbBbub", { 76, 213, 73, 34, 73, 69, 73 });
        shapeRow("digit stops joining", "b1b", { 76, 49, 76 });
        shapeRow("double quote", "\"", { 62 });
        shapeRow("code 0 does not join", UrduKeyText("b\0b", 3), { 76, 32, 76 }, "b b");
        shapeRow("code above 190 is a space", "b\xc8", { 32, 73 }, "b ");
    }
    void shape()
    {
        QFETCH(UrduKeyText, typed);
        QFETCH(UrduGlyphText, shown);
        QFETCH(UrduKeyText, readBack);
        QCOMPARE(ShapeUrdu(typed), shown);
        QCOMPARE(UnshapeUrdu(shown), readBack);
    }

    void unshapeKeepsUnknownGlyphsAndSpaces()
    {
        QCOMPARE(UnshapeUrdu(glyphs({ 32, 70, 76, 236, 32 })), UrduKeyText(" \0b\0 ", 5));
    }

    void glyphForForm()
    {
        // Keys outside 8 to 190 and keys without a row show a space in both forms.
        for (const int key : { -1, 7, int('F'), 191 }) {
            QCOMPARE(GlyphForForm(qint16(key), IsolatedForm), 32);
            QCOMPARE(GlyphForForm(qint16(key), FinalForm), 32);
        }
        QCOMPARE(GlyphForForm(8, FinalForm), 8);
        QCOMPARE(GlyphForForm('E', FinalForm), 216);
        QCOMPARE(GlyphForForm(190, IsolatedForm), 160);
    }

    // Key and glyph codes share one classification, which gives keys E, A, B, u and the
    // period key a class that their own glyphs do not have.
    void joinClass_data()
    {
        codeRows({ { 0, NonJoining }, { 'E', NonJoining }, { 160, NonJoining }, { 213, NonJoining },
            { 62, NonJoining }, { 'A', RightJoining }, { 'B', RightJoining }, { 231, RightJoining },
            { 'u', DualJoining }, { 'v', DualJoining }, { 190, DualJoining }, { 232, DualJoining },
            { 255, DualJoining } });
    }
    void joinClass()
    {
        QFETCH(int, code);
        QFETCH(int, expected);
        QCOMPARE(JoinClass(quint8(code)), expected);
    }

    void joiningForm_data()
    {
        codeRows({ { 76, 73 }, { 235, 232 }, { 96, 89 }, { 92, 90 }, { 126, 121 }, { 124, 122 },
            { 212, 205 }, { 155, 205 }, { 211, 206 }, { 154, 206 }, { 162, 162 }, { 161, 161 },
            { 65, 65 }, { 160, 160 }, { 75, 74 }, { 201, 200 } });
    }
    void joiningForm()
    {
        QFETCH(int, code);
        QFETCH(int, expected);
        QCOMPARE(JoiningForm(quint8(code)), expected);
    }

    void keyForGlyph_data()
    {
        codeRows({ { 73, 'b' }, { 74, 'b' }, { 89, 'H' }, { 122, 'J' }, { 212, 'i' }, { 211, 'i' },
            { 205, 'y' }, { 206, 'y' }, { 127, 'v' }, { 160, 190 }, { 62, '"' }, { 34, 'B' },
            { 69, 'A' }, { 32, 32 }, { 8, 8 }, { 60, 0 }, { 70, 0 }, { 7, 0 }, { 236, 0 },
            { -1, 0 } });
    }
    void keyForGlyph()
    {
        QFETCH(int, code);
        QFETCH(int, expected);
        QCOMPARE(KeyForGlyph(qint16(code)), expected);
    }

    void editingPositions()
    {
        QCOMPARE(InsertKey("bab", 0, 't'), UrduKeyText("babt"));
        QCOMPARE(InsertKey("bab", 3, 't'), UrduKeyText("tbab"));
        QCOMPARE(InsertKey("ba", 9, 't'), UrduKeyText("tba"));
        QCOMPARE(DeleteKey("bat", 0, 8), UrduKeyText("ba"));
        QCOMPARE(DeleteKey("bat", 3, 8), UrduKeyText("bat"));
        QCOMPARE(DeleteKey("bat", -1, 8), UrduKeyText("bat"));
    }

    // Text of table keys that does not start with a space reads back as typed, except that
    // i before a joining key reads back as y.
    void randomRoundTrip()
    {
        QRandomGenerator random(20240607);
        for (int round = 0; round < 2000; ++round) {
            UrduKeyText typed;
            for (int i = random.bounded(1, 40); i > 0; --i)
                typed.append(TableKeys.at(random.bounded(TableKeys.size())));
            while (typed.startsWith(' '))
                typed.remove(0, 1);
            UrduKeyText expected = typed;
            for (qsizetype i = 0; i + 1 < expected.size(); ++i)
                if (expected[i] == 'i' && JoinClass(quint8(expected[i + 1])) != NonJoining)
                    expected[i] = 'y';
            QCOMPARE(UnshapeUrdu(ShapeUrdu(typed)), expected);
        }
    }
};

QTEST_GUILESS_MAIN(tst_basUrdu)
#include "tst_basUrdu.moc"
