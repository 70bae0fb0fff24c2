#include "support/UrduTestText.h"
#include "urdu/UrduKeyEditor.h"

#include <QTest>

using namespace UrduTestText;

// The editing table, with the keys as the desktop delivers them, is in the UrduText tests.
class tst_UrduKeyEditor : public QObject
{
    Q_OBJECT

private slots:
    // Exactly these characters change nothing; every other one edits the text (but Delete,
    // with nothing left of the caret here).
    void swallowedCharacters()
    {
        const QByteArray swallowed("\0\t\r\x1b#$&'<>@\\^_`{|}~", 19);
        for (int code = 0; code < 256; ++code) {
            UrduKeyEditor editor;
            editor.setText("b");
            editor.typeCharacter(qint16(code));
            const bool unchanged = editor.orgText() == "b" && editor.shown() == "L";
            QVERIFY2(unchanged == (swallowed.contains(char(code)) || code == UrduKeyEditor::Delete),
                QByteArray::number(code));
        }
    }

    // A paste changes the live key text at once and the reported one at the next key, even
    // one that a locked box swallows.
    void lockedBoxSwallowsKeys()
    {
        UrduKeyEditor editor;
        editor.setText("b");
        editor.showChanged(glyphs({ 66, 73 }));
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
        QVERIFY(!editor.typeCharacter('a'));
        editor.setCaret(UrduKeyEditor::MaxLength);
        QVERIFY(editor.typeCharacter(UrduKeyEditor::Delete));
        QCOMPARE(editor.editText(), QByteArray(UrduKeyEditor::MaxLength - 1, 'b'));
        QCOMPARE(editor.caret(), UrduKeyEditor::MaxLength - 1);
    }
};

QTEST_GUILESS_MAIN(tst_UrduKeyEditor)
#include "tst_UrduKeyEditor.moc"
