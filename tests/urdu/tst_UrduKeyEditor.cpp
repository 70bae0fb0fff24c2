#include "urdu/UrduKeyEditor.h"

#include <QTest>

namespace {

UrduGlyphText glyphs(std::initializer_list<int> codes)
{
    UrduGlyphText text;
    for (const int code : codes)
        text.append(static_cast<char>(code));
    return text;
}

constexpr char Backspace = 8;
constexpr char Delete = 46;
constexpr char PeriodKey = char(190);

struct Selection
{
    int start = 0;
    int length = 0;
};

} // namespace

Q_DECLARE_METATYPE(Selection)

class tst_UrduKeyEditor : public QObject
{
    Q_OBJECT

private slots:
    // Starting from a box that shows `before` with the caret (or a selection), the typed
    // codes leave the box showing `shown` with the caret at `caret`, and the reported text
    // is `text`.
    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("startCaret");
        QTest::addColumn<Selection>("selection");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QByteArray>("text");

        const Selection none;
        QTest::newRow("typing b a b") << QByteArray() << 0 << none << QByteArray("bab")
                                      << glyphs({ 76, 66, 73 }) << 0 << QByteArray("bab");
        QTest::newRow("backspace at left end")
            << QByteArray("bab") << 0 << none << QByteArray(1, Backspace) << glyphs({ 66, 73 }) << 0
            << QByteArray("ba");
        QTest::newRow("backspace in the middle")
            << QByteArray("bab") << 1 << none << QByteArray(1, Backspace) << glyphs({ 75, 73 }) << 1
            << QByteArray("bb");
        QTest::newRow("backspace at right end changes nothing")
            << QByteArray("bab") << 3 << none << QByteArray(1, Backspace) << glyphs({ 76, 66, 73 })
            << 3 << QByteArray("bab");
        QTest::newRow("backspace in empty box")
            << QByteArray() << 0 << none << QByteArray(1, Backspace) << glyphs({}) << 0
            << QByteArray();
        QTest::newRow("insert at right end")
            << QByteArray("bab") << 3 << none << QByteArray("t") << glyphs({ 76, 66, 74, 77 }) << 3
            << QByteArray("tbab");
        QTest::newRow("insert in the middle")
            << QByteArray("bab") << 1 << none << QByteArray("t") << glyphs({ 75, 77, 66, 73 }) << 1
            << QByteArray("batb");
        QTest::newRow("delete left of caret")
            << QByteArray("bab") << 1 << none << QByteArray(1, Delete) << glyphs({ 66, 73 }) << 0
            << QByteArray("ba");
        QTest::newRow("delete in the middle")
            << QByteArray("bab") << 2 << none << QByteArray(1, Delete) << glyphs({ 75, 73 }) << 1
            << QByteArray("bb");
        QTest::newRow("delete at left end changes nothing")
            << QByteArray("bab") << 0 << none << QByteArray(1, Delete) << glyphs({ 76, 66, 73 })
            << 0 << QByteArray("bab");
        QTest::newRow("backspace removes selection")
            << QByteArray("bab") << 0 << Selection { 1, 2 } << QByteArray(1, Backspace)
            << glyphs({ 76 }) << 1 << QByteArray("b");
        QTest::newRow("delete removes selection and reshapes")
            << QByteArray("bab") << 0 << Selection { 0, 2 } << QByteArray(1, Delete)
            << glyphs({ 76 }) << 0 << QByteArray("b");
        QTest::newRow("letter replaces selection")
            << QByteArray("bab") << 0 << Selection { 0, 2 } << QByteArray("a") << glyphs({ 66, 73 })
            << 0 << QByteArray("ba");
        QTest::newRow("letter replaces middle selection")
            << QByteArray("bbb") << 0 << Selection { 1, 1 } << QByteArray("a")
            << glyphs({ 76, 66, 73 }) << 1 << QByteArray("bab");
        QTest::newRow("space at right end is not kept")
            << QByteArray("b") << 1 << none << QByteArray(" ") << glyphs({ 76 }) << 1
            << QByteArray("b");
        QTest::newRow("space in empty box")
            << QByteArray() << 0 << none << QByteArray(" ") << glyphs({}) << 0 << QByteArray();
        QTest::newRow("glyphless key reads back as space")
            << QByteArray("b") << 0 << none << QByteArray("F") << glyphs({ 32, 73 }) << 0
            << QByteArray("b ");
        QTest::newRow("control chord is a character")
            << QByteArray("b") << 0 << none << QByteArray("\x16") << glyphs({ 32, 73 }) << 0
            << QByteArray("b ");
        QTest::newRow("period key is the full stop")
            << QByteArray("b") << 0 << none << QByteArray(1, PeriodKey) << glyphs({ 160, 73 }) << 0
            << QByteArray("b\xbe");
        QTest::newRow("i typed then joined reads as y")
            << QByteArray() << 0 << none << QByteArray("ib") << glyphs({ 75, 205 }) << 0
            << QByteArray("yb");
        for (const char ignored :
            { '\r', '\t', '\x1b', '~', '#', '<', '>', '@', '\\', '_', '|', '\0' })
            QTest::addRow("ignored %d", int(ignored))
                << QByteArray("bab") << 1 << none << QByteArray(1, ignored)
                << glyphs({ 76, 66, 73 }) << 1 << QByteArray("bab");
        QTest::newRow("ignored keeps selection")
            << QByteArray("bab") << 0 << Selection { 0, 2 } << QByteArray("\r")
            << glyphs({ 76, 66, 73 }) << 0 << QByteArray("bab");
    }
    void typing()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, startCaret);
        QFETCH(Selection, selection);
        QFETCH(QByteArray, typed);
        QFETCH(UrduGlyphText, shown);
        QFETCH(int, caret);
        QFETCH(QByteArray, text);

        UrduKeyEditor editor;
        editor.setText(before);
        editor.setCaret(startCaret);
        if (selection.length > 0)
            editor.setSelection(selection.start, selection.length);
        for (const char code : typed)
            editor.typeCharacter(static_cast<quint8>(code));

        QCOMPARE(editor.shown(), shown);
        QCOMPARE(editor.caret(), caret);
        QCOMPARE(editor.orgText(), text);
        // Between two keys the live text is what the box shows, and is the reported one.
        QCOMPARE(editor.editText(), UnshapeUrdu(editor.shown()));
        QCOMPARE(editor.editText(), text);
    }

    void lockedSwallowsEverything_data()
    {
        QTest::addColumn<char>("code");
        QTest::newRow("letter") << 'b';
        QTest::newRow("backspace") << Backspace;
        QTest::newRow("delete") << Delete;
    }
    void lockedSwallowsEverything()
    {
        QFETCH(char, code);
        UrduKeyEditor editor;
        editor.setText("bab");
        editor.setCaret(1);
        editor.setLocked(true);
        QVERIFY(!editor.typeCharacter(code));
        QCOMPARE(editor.shown(), glyphs({ 76, 66, 73 }));
        QCOMPARE(editor.caret(), 1);
        QCOMPARE(editor.orgText(), QByteArray("bab"));
    }

    // A paste changes the live text at once; the reported text catches up at the next key,
    // also when that key is swallowed by a locked box.
    void changesByOtherMeans()
    {
        UrduKeyEditor editor;
        editor.setText("b");
        editor.showChanged(glyphs({ 66, 73 }));
        QCOMPARE(editor.editText(), QByteArray("ba"));
        QCOMPARE(editor.orgText(), QByteArray("b"));
        editor.setLocked(true);
        editor.typeCharacter('x');
        QCOMPARE(editor.orgText(), QByteArray("ba"));
    }

    void assignedTextIsReportedUnchanged()
    {
        UrduKeyEditor editor;
        editor.setText(" bF");
        QCOMPARE(editor.orgText(), QByteArray(" bF"));
        QCOMPARE(editor.editText(), QByteArray("b "));
        QCOMPARE(editor.shown(), glyphs({ 32, 73 }));
        QCOMPARE(editor.caret(), 0);
    }

    void restoreTakesSavedKeyText()
    {
        UrduKeyEditor editor;
        editor.restore(glyphs({ 66, 73 }), "ba");
        QCOMPARE(editor.shown(), glyphs({ 66, 73 }));
        QCOMPARE(editor.editText(), QByteArray("ba"));
        QCOMPARE(editor.orgText(), QByteArray("ba"));
    }

    // The box holds at most MaxLength glyphs, so every caret fits the editing helpers.
    void lengthIsBounded()
    {
        UrduKeyEditor editor;
        editor.setText(QByteArray(UrduKeyEditor::MaxLength + 10, 'b'));
        QCOMPARE(editor.shown().size(), UrduKeyEditor::MaxLength);
        QVERIFY(!editor.typeCharacter('a'));
        QCOMPARE(editor.editText().size(), UrduKeyEditor::MaxLength);
        editor.setCaret(UrduKeyEditor::MaxLength);
        QVERIFY(editor.typeCharacter(Delete));
        QCOMPARE(editor.editText().size(), UrduKeyEditor::MaxLength - 1);
        QCOMPARE(editor.caret(), UrduKeyEditor::MaxLength - 1);
        QVERIFY(editor.typeCharacter('a'));
        QCOMPARE(editor.editText().size(), UrduKeyEditor::MaxLength);
    }
};

QTEST_GUILESS_MAIN(tst_UrduKeyEditor)
#include "tst_UrduKeyEditor.moc"
