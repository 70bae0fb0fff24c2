#include "support/UrduTestText.h"
#include "urdu/UrduKeyEditor.h"

#include <QTest>

using namespace UrduTestText;

namespace {

const QByteArray Backspace("\b");
const QByteArray Delete("."); // the Delete key's code 46 is also the full stop's character

// From a box showing ShapeUrdu(before) with `selected` glyphs selected from `caret` on, the
// typed codes leave it showing `shown` with the caret at `caretAfter` and the key text `text`.
void editRow(const char *name, const char *before, int caret, int selected, const QByteArray &typed,
    std::initializer_list<int> shown, int caretAfter, const char *text)
{
    QTest::newRow(name) << QByteArray(before) << caret << selected << typed << glyphs(shown)
                        << caretAfter << QByteArray(text);
}

} // namespace

class tst_UrduKeyEditor : public QObject
{
    Q_OBJECT

private slots:
    // Keys typed into the box as the user sees it: glyphs, caret and the key text after.
    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::addColumn<int>("caretAfter");
        QTest::addColumn<QByteArray>("text");
        editRow("typing b a b", "", 0, 0, "bab", { 76, 66, 73 }, 0, "bab");
        editRow("backspace at left end", "bab", 0, 0, Backspace, { 66, 73 }, 0, "ba");
        editRow("backspace in the middle", "bab", 1, 0, Backspace, { 75, 73 }, 1, "bb");
        editRow("backspace in empty box", "", 0, 0, Backspace, {}, 0, "");
        editRow("insert in the middle", "bab", 1, 0, "t", { 75, 77, 66, 73 }, 1, "batb");
        editRow("delete left of caret", "bab", 1, 0, Delete, { 66, 73 }, 0, "ba");
        // The glyphs left beside a removed selection are shaped again for their new neighbours.
        editRow("backspace removes selection", "bbbb", 0, 2, Backspace, { 75, 73 }, 0, "bb");
        editRow("delete removes selection", "bab", 0, 2, Delete, { 76 }, 0, "b");
        editRow("letter replaces selection", "bbb", 1, 1, "a", { 76, 66, 73 }, 1, "bab");
        editRow("space at right end not kept", "b", 1, 0, " ", { 76 }, 1, "b");
        editRow("F after b shows a space", "b", 0, 0, "F", { 32, 73 }, 0, "b ");
        editRow("i joined reads back as y", "", 0, 0, "ib", { 75, 205 }, 0, "yb");
        for (const char ignored : { '\r', '\t', '\x1b', '~', '#', '@', '\0' })
            QTest::addRow("ignored %d", ignored)
                << QByteArray("bab") << 0 << 2 << QByteArray(1, ignored) << glyphs({ 76, 66, 73 })
                << 0 << QByteArray("bab");
    }
    void typing()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, caret);
        QFETCH(int, selected);
        QFETCH(QByteArray, typed);
        QFETCH(UrduGlyphText, shown);
        QFETCH(int, caretAfter);
        QFETCH(QByteArray, text);
        UrduKeyEditor editor;
        editor.setText(before);
        editor.setSelection(caret, selected);
        for (const char code : typed)
            editor.typeCharacter(static_cast<quint8>(code));
        QCOMPARE(editor.shown(), shown);
        QCOMPARE(editor.caret(), caretAfter);
        QCOMPARE(editor.orgText(), text);
        QCOMPARE(editor.editText(), text);
    }

    // A paste changes the live key text at once and the reported one at the next key, even
    // a key that a locked box swallows.
    void lockedBoxSwallowsKeys()
    {
        UrduKeyEditor editor;
        editor.setText("b");
        editor.showChanged(glyphs({ 66, 73 }));
        QCOMPARE(editor.editText(), QByteArray("ba"));
        QCOMPARE(editor.orgText(), QByteArray("b"));
        editor.setLocked(true);
        for (const char code : { 'b', '\b', '.' })
            QVERIFY(!editor.typeCharacter(code));
        QCOMPARE(editor.shown(), glyphs({ 66, 73 }));
        QCOMPARE(editor.orgText(), QByteArray("ba"));
    }

    // The box holds at most MaxLength glyphs, so every caret fits the 16-bit editing helpers.
    void lengthIsBounded()
    {
        UrduKeyEditor editor;
        editor.setText(QByteArray(UrduKeyEditor::MaxLength + 10, 'b'));
        QCOMPARE(editor.shown().size(), UrduKeyEditor::MaxLength);
        QVERIFY(!editor.typeCharacter('a'));
        editor.setCaret(UrduKeyEditor::MaxLength);
        QVERIFY(editor.typeCharacter(UrduKeyEditor::Delete));
        QCOMPARE(editor.editText(), QByteArray(UrduKeyEditor::MaxLength - 1, 'b'));
        QCOMPARE(editor.caret(), UrduKeyEditor::MaxLength - 1);
    }
};

QTEST_GUILESS_MAIN(tst_UrduKeyEditor)
#include "tst_UrduKeyEditor.moc"
