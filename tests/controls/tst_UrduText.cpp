#include "controls/UrduText.h"
#include "support/ScriptedDesktop.h"
#include "support/UrduTestText.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

using namespace UrduTestText;

namespace {

// From a box showing ShapeUrdu(before) with `selected` glyphs selected from `caret` on, counted
// on screen from the left, the keys (characters, or Qt's named keys) leave it showing `shown` with
// the caret at `caretAfter`. Glyph codes are written as the characters of their codes, left to
// right as seen: b a b shows 76 66 73, "LBI"; digits as they read.
void keysRow(const char *name, const char *before, int caret, int selected, const QList<int> &keys,
    const char *shown, int caretAfter)
{
    QTest::newRow(name) << QByteArray(before) << caret << selected << keys << QByteArray(shown)
                        << caretAfter;
}

} // namespace

class tst_UrduText : public QObject
{
    Q_OBJECT

private slots:
    // Keys typed into the box as the user sees it. A Backspace removes the glyph right of the
    // caret, typed before it, Delete the glyph left of it; the glyphs beside a removed
    // selection are shaped again for their new neighbours. Digits behave as in any
    // right-to-left editor: a number reads left to right, the caret stays beside the digits it
    // stood between, and Backspace removes the digit typed last. A selection that takes part
    // of a number and letters beside it grows to the whole number, so that what is removed is
    // what was seen selected.
    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QByteArray>("shown");
        QTest::addColumn<int>("caretAfter");
        const int backspace = Qt::Key_Backspace;
        const int del = Qt::Key_Delete;
        keysRow("backspace at the left end", "bab", 0, 0, { backspace }, "BI", 0);
        keysRow("backspace in the middle", "bab", 1, 0, { backspace }, "KI", 1);
        keysRow("insert in the middle", "bab", 1, 0, { 't' }, "KMBI", 1);
        keysRow("insert at the right end", "bab", 3, 0, { 't' }, "LBJM", 3);
        keysRow("delete left of the caret", "bab", 1, 0, { del }, "BI", 0);
        keysRow("backspace removes a selection", "bbbb", 0, 2, { backspace }, "KI", 0);
        keysRow("delete removes a selection", "bab", 0, 2, { del }, "L", 0);
        keysRow("a letter replaces a selection", "bbb", 1, 1, { 'a' }, "LBI", 1);
        keysRow("arrows move; Enter, Escape, Tab and a letter outside the code page do nothing",
            "bab", 0, 0,
            { Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Return, Qt::Key_Escape,
                Qt::Key_Tab, u'\u0628' },
            "LBI", 1);
        keysRow("period key types the full stop", "ba", 0, 0, { '.' },
            "\xa0"
            "BI",
            0);
        keysRow("typing 123", "", 0, 0, { '1', '2', '3' }, "123", 0);
        keysRow("typing between 1 and 2", "123", 1, 0, { '5', '6' }, "15623", 3);
        keysRow("backspace between 2 and 3", "123", 2, 0, { backspace }, "13", 1);
        keysRow("delete between 1 and 2", "123", 1, 0, { del }, "13", 1);
        keysRow("separator inside a phone number", "03001234", 4, 0, { '-' }, "0300-1234", 5);
        keysRow("selection from inside a number", "b 1234", 2, 4, { backspace }, "", 0);
        keysRow("selection to inside a number", "1234 b", 0, 4, { backspace }, "", 0);
        keysRow("selection within a number", "b 1234", 1, 2, { backspace }, "14 L", 1);
    }
    void typing()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, caret);
        QFETCH(int, selected);
        QFETCH(QList<int>, keys);
        QFETCH(QByteArray, shown);
        QFETCH(int, caretAfter);
        UrduText control;
        control.setText(before);
        control.txtMain()->setSelection(caret, selected);
        for (const int key : keys) {
            if (key < 128)
                QTest::keyClick(control.txtMain(), char(key));
            else if (key < Qt::Key_Escape)
                QTest::sendKeyEvent(QTest::Click, control.txtMain(), Qt::Key_unknown,
                    QString(QChar(key)), Qt::NoModifier);
            else
                QTest::keyClick(control.txtMain(), Qt::Key(key));
        }
        QCOMPARE(control.txtMain()->text(), onScreen(shown));
        QCOMPARE(control.txtMain()->cursorPosition(), caretAfter);
        QCOMPARE(control.Text(), UnshapeUrdu(shownBy(control)));
    }

    // Copying puts Unicode Urdu on the clipboard for other programs; pasting it back (a joined
    // i then reads back as y), or Unicode from elsewhere, types the keys at the caret, leaving
    // out (and counting, once) what no key types; cut removes what it copied. A password box
    // gives nothing away, and a locked box takes no paste.
    void copyAndPaste()
    {
        ScriptedDesktop desktop;
        UrduText control(nullptr, &desktop);
        control.setText("bhaui 2024 kisE oiN?");
        control.txtMain()->selectAll();
        QTest::keyClick(control.txtMain(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("بھائی ۲۰۲۴ کیسے ہیں؟"));
        QTest::keyClick(control.txtMain(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(control.Text(), QByteArray("bhaui 2024 kysE oyN?"));
        QVERIFY(desktop.shown.isEmpty());

        QApplication::clipboard()->setText(QStringLiteral("دوَست☺"));
        control.txtMain()->setSelection(0, 9); // the last two words, on the left
        QTest::keyClick(control.txtMain(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(control.txtMain(), Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(control.Text(), QByteArray("bhaui 2024 dwstdwst"));
        QCOMPARE(desktop.shown.size(), 2);
        QCOMPARE(desktop.shown.front().text,
            QStringLiteral("2 characters could not be typed in Urdu and were left out."));

        control.txtMain()->setSelection(0, 8);
        QTest::keyClick(control.txtMain(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("دوستدوست"));
        control.setPasswordChar(QStringLiteral("*"));
        control.txtMain()->selectAll();
        QTest::keyClick(control.txtMain(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("دوستدوست"));
        control.setLocked(true);
        QTest::keyClick(control.txtMain(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(control.Text(), QByteArray("bhaui 2024 "));
    }

    // Only a face of the Qirtas family draws glyph codes: any other is refused with a message,
    // and the font stays.
    void fontCheck_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("Qirtas1") << QStringLiteral("Qirtas1") << true;
        QTest::newRow("another Qirtas face") << QStringLiteral("Qirtas2") << true;
        QTest::newRow("Arial") << QStringLiteral("Arial") << false;
        QTest::newRow("Qirtas inside the name") << QStringLiteral("MyQirtas") << false;
    }
    void fontCheck()
    {
        QFETCH(QString, face);
        QFETCH(bool, accepted);
        ScriptedDesktop desktop;
        UrduText control(nullptr, &desktop);
        control.setFont(QFont(face, 14));
        QCOMPARE(control.font().family(), accepted ? face : QStringLiteral("Qirtas1"));
        QCOMPARE(control.font().pointSizeF(), accepted ? 14 : 9.75);
        QStringList shown;
        for (const ScriptedDesktop::Shown &box : desktop.shown)
            shown += box.text;
        QCOMPARE(shown,
            accepted ? QStringList()
                     : QStringList { QStringLiteral("Please Select an 'Qirtas' Font.") });
    }

    // Only what differs from the defaults is saved: of a new control, its glyph font, which is
    // not its container's. A control loaded from it shows the same glyphs and reports the saved
    // key text, though the glyphs read back otherwise (i joined to the next letter reads back
    // as y).
    void savedState()
    {
        QCOMPARE(UrduText::savedKeys().join(u' '),
            QStringLiteral(
                "BackColor ForeColor Enabled Font BorderStyle Alignment Locked MouseIcon "
                "MousePointer PasswordChar Text OrgText Appearance SelLength SelStart "
                "SelText"));
        UrduText control;
        QCOMPARE(control.save().keys(), QStringList { QStringLiteral("Font") });
        control.setText("ib");
        control.setForeColor(255);
        control.setLocked(true);
        control.setSelStart(1);
        const QVariantMap saved = control.save();
        QCOMPARE(
            saved.keys().join(u' '), QStringLiteral("Font ForeColor Locked OrgText SelStart Text"));
        QCOMPARE(saved.value(QStringLiteral("Text")), QVariant(glyphs({ 75, 205 })));
        UrduText loaded;
        loaded.load(saved);
        QCOMPARE(loaded.Text(), QByteArray("ib"));
        QCOMPARE(shownBy(loaded), glyphs({ 75, 205 }));
        QCOMPARE(loaded.save(), saved);
    }

    // Urdu starts at the right edge of the box, whatever the layout direction: the left half
    // of a box 300 pixels wide that holds one word has no ink.
    void textStartsAtTheRight()
    {
        UrduText control;
        control.setText("slam");
        control.resize(300, control.height());
        for (const auto direction : { Qt::LeftToRight, Qt::RightToLeft }) {
            control.setLayoutDirection(direction);
            const QImage image = control.grab().toImage();
            for (int x = 4; x < 150; ++x) {
                for (int y = 4; y < image.height() - 4; ++y)
                    QVERIFY(qGray(image.pixel(x, y)) > 128);
            }
        }
    }
};

QTEST_MAIN(tst_UrduText)
#include "tst_UrduText.moc"
