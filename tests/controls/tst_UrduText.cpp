#include "controls/UrduText.h"
#include "controls/UrduTextAccessible.h"
#include "support/ScriptedDesktop.h"
#include "support/UrduTestText.h"
#include "urdu/NastaliqFont.h"
#include "urdu/UrduUnicode.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QPainterPath>
#include <QTest>

using namespace UrduTestText;

class tst_UrduText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(NastaliqFont::install()); }

    // From a box showing ShapeUrdu(before) with `selected` glyphs selected from `caret` on,
    // counted on screen from the left, the keys (characters, or Qt's named keys) leave it
    // showing `shown` (glyph codes as characters, left to right as seen: b a b shows "LBI";
    // numbers read left to right) with the caret at `caretAfter`.
    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QByteArray>("shown");
        QTest::addColumn<int>("caretAfter");
        const auto row = [](const char *name, const char *before, int caret, int selected,
                             const QList<int> &keys, const char *shown, int caretAfter) {
            QTest::newRow(name) << QByteArray(before) << caret << selected << keys
                                << QByteArray(shown) << caretAfter;
        };
        const int backspace = Qt::Key_Backspace;
        const int del = Qt::Key_Delete;
        row("backspace in the middle", "bab", 1, 0, { backspace }, "KI", 1);
        row("insert in the middle", "bab", 1, 0, { 't' }, "KMBI", 1);
        row("insert at the right end", "bab", 3, 0, { 't' }, "LBJM", 3);
        row("delete left of the caret", "bab", 1, 0, { del }, "BI", 0);
        row("backspace removes a selection", "bbbb", 0, 2, { backspace }, "KI", 0);
        row("delete removes a selection", "bab", 0, 2, { del }, "L", 0);
        row("a letter replaces a selection", "bbb", 1, 1, { 'a' }, "LBI", 1);
        row("arrows move; Enter, Escape and Tab do nothing", "bab", 0, 0,
            { Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Return, Qt::Key_Escape,
                Qt::Key_Tab },
            "LBI", 1);
        row("period key types the full stop", "ba", 0, 0, { '.' },
            "\xa0"
            "BI",
            0);
        row("typing 123", "", 0, 0, { '1', '2', '3' }, "123", 0);
        row("typing between 1 and 2", "123", 1, 0, { '5', '6' }, "15623", 3);
        row("backspace between 2 and 3", "123", 2, 0, { backspace }, "13", 1);
        row("delete between 1 and 2", "123", 1, 0, { del }, "13", 1);
        row("separator inside a phone number", "03001234", 4, 0, { '-' }, "0300-1234", 5);
        row("selection from inside a number", "b 1234", 2, 4, { backspace }, "", 0);
        row("selection to inside a number", "1234 b", 0, 4, { backspace }, "", 0);
        row("selection within a number", "b 1234", 1, 2, { backspace }, "14 L", 1);
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

    // Text from the desktop's Urdu layouts (a key event's text) or an input method's commit
    // types the keys that draw it, ASCII the phonetic keys; what no key draws is told once.
    void desktopKeyboards_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("committed");
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<int>("notices");
        QTest::newRow("a letter of an Urdu layout")
            << QStringLiteral("ب") << false << QByteArray("b") << 0;
        QTest::newRow("yeh hamza, digits")
            << QStringLiteral("ئ٣۴") << false << QByteArray("u34") << 0;
        QTest::newRow("a committed word with lam alef")
            << QStringLiteral("لاکھوں") << true << QByteArray("LkhwN") << 0;
        QTest::newRow("phonetic keys committed")
            << QStringLiteral("ba.") << true << QByteArray("ba\xbe") << 0;
        QTest::newRow("what no key draws")
            << QStringLiteral("دوَستé") << true << QByteArray("dwst") << 1;
    }
    void desktopKeyboards()
    {
        QFETCH(QString, text);
        QFETCH(bool, committed);
        QFETCH(QByteArray, keys);
        QFETCH(int, notices);
        ScriptedDesktop desktop;
        UrduText control(nullptr, &desktop);
        if (committed) {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(control.txtMain(), &commit);
        } else {
            QTest::sendKeyEvent(
                QTest::Click, control.txtMain(), Qt::Key_unknown, text, Qt::NoModifier);
        }
        QCOMPARE(control.Text(), keys);
        QCOMPARE(desktop.shown.size(), notices);
    }

    // A screen reader gets the Unicode Urdu in reading order, and the caret and selection as
    // offsets in it: a ligature is two characters, a number reads in its own order.
    void accessibleText()
    {
        UrduText control;
        control.setText("Lb 12 bhaui");
        QAccessibleTextInterface *text
            = QAccessible::queryAccessibleInterface(control.txtMain())->textInterface();
        QCOMPARE(text->text(0, -1), QStringLiteral("لاب ۱۲ بھائی"));
        // On screen from the left: ی ئ ا ھ ب, space, 1 2, space, ب لا.
        const QList<std::pair<int, int>> boxToReading { { 0, 12 }, { 1, 11 }, { 2, 10 }, { 7, 5 },
            { 8, 4 }, { 10, 2 }, { 11, 0 } };
        for (const auto &[box, reading] : boxToReading) {
            control.txtMain()->setCursorPosition(box);
            QCOMPARE(text->cursorPosition(), reading);
            text->setCursorPosition(reading);
            QCOMPARE(control.txtMain()->cursorPosition(), box);
        }
        // A selection from inside the ligature takes it whole.
        text->setSelection(0, 1, 4);
        QCOMPARE(control.txtMain()->selectedText(), onScreen(" L\xdc"));
        int start = 1;
        int end = 1;
        text->selection(0, &start, &end);
        QCOMPARE(std::pair(start, end), std::pair(0, 4));
    }

    // In Nastaliq the box shows the Unicode Urdu, right to left, yet the same keys from the same
    // place (given on screen in Naskh, as in typing) leave the same key text, the caret and the
    // selection between the same letters, and the glyph font as the control's font.
    void nastaliqEditsAsNaskh_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QList<int>>("keys");
        const auto row = [](const char *name, const char *before, int caret, int selected,
                             const QList<int> &keys) {
            QTest::newRow(name) << QByteArray(before) << caret << selected << keys;
        };
        const int shift = int(Qt::ShiftModifier);
        row("typing after a ligature and yeh hamza", "Lbhaui", 1, 0, { 'k', 'E' });
        row("backspace and delete beside lam alef", "bLb", 2, 0,
            { Qt::Key_Backspace, Qt::Key_Delete, 'a' });
        row("arrows, Home and End", "Lb 12 b", 0, 0,
            { Qt::Key_Right, Qt::Key_Right, 'x', Qt::Key_End, 'y', Qt::Key_Home, 'z' });
        row("inside a number", "b 1234", 2, 0,
            { Qt::Key_Right, Qt::Key_Backspace, '7', Qt::Key_Delete });
        row("a selection over a ligature replaced", "bLbhaui", 4, 3, { 'n' });
        row("a selection made with Shift", "bLbhaui", 1, 0,
            { shift | Qt::Key_Right, shift | Qt::Key_Right, Qt::Key_Backspace });
    }
    void nastaliqEditsAsNaskh()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, caret);
        QFETCH(int, selected);
        QFETCH(QList<int>, keys);
        UrduText naskh;
        UrduText nastaliq;
        QVERIFY(NastaliqFont::install());
        nastaliq.setScript(UrduScript::Nastaliq);
        naskh.setText(before);
        nastaliq.setText(before);
        naskh.txtMain()->setSelection(caret, selected);
        const int from = naskh.readingOffset(caret);
        nastaliq.txtMain()->setSelection(from, naskh.readingOffset(caret + selected) - from);
        for (const int key : keys) {
            for (UrduText *control : { &naskh, &nastaliq }) {
                if (key < 128)
                    QTest::keyClick(control->txtMain(), char(key));
                else
                    QTest::keyClick(control->txtMain(), Qt::Key(key & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
            }
        }
        QCOMPARE(nastaliq.Text(), naskh.Text());
        QCOMPARE(nastaliq.txtMain()->text(), UrduUnicode::fromGlyphs(ShapeUrdu(naskh.Text())));
        const auto readingSelection = [](UrduText &control) {
            QLineEdit *box = control.txtMain();
            QList<int> offsets { control.readingOffset(box->cursorPosition()) };
            if (box->hasSelectedText())
                offsets << control.readingOffset(box->selectionStart())
                        << control.readingOffset(box->selectionEnd());
            std::sort(offsets.begin() + 1, offsets.end());
            return offsets;
        };
        QCOMPARE(readingSelection(nastaliq), readingSelection(naskh));
        QCOMPARE(nastaliq.font(), naskh.font());
    }

    // Nastaliq's stacks are tall: the box is as high as the font's line, whose ascent and
    // descent hold the ink of each sample (measured large, where no pixel rounding blurs it),
    // at the size that gives it the glyph font's alef.
    void nastaliqIsNotClipped()
    {
        UrduText control;
        QVERIFY(NastaliqFont::install());
        control.setScript(UrduScript::Nastaliq);
        const QFont drawn = control.txtMain()->drawnFont().value();
        QCOMPARE(drawn.pointSizeF(), 9.75 * 671 / 768);
        QVERIFY(control.height() >= QFontMetricsF(drawn).height());
        QFont large = drawn;
        large.setPointSize(100);
        const QFontMetricsF line(large);
        for (const QString &sample : { QStringLiteral("آپ کیسے ہیں؟"), QStringLiteral("تشخیص"),
                 QStringLiteral("میں ٹھیک ہوں، شکریہ۔") }) {
            QPainterPath outline;
            outline.addText(0, 0, large, sample);
            const QRectF ink = outline.boundingRect();
            QVERIFY2(
                -ink.top() <= line.ascent() && ink.bottom() <= line.descent(), qPrintable(sample));
        }
    }

    // What is typed is told to a screen reader as the Urdu it adds, in either script, from the
    // box's own word of it: the whole line changed, in its own characters.
    void accessibleChanges()
    {
        for (const UrduScript script : { UrduScript::Naskh, UrduScript::Nastaliq }) {
            UrduText control;
            control.setScript(script);
            control.setText("slam dwst");
            const QString before = control.txtMain()->text();
            control.setText("slam, dwst");
            const QAccessibleTextUpdateEvent update(
                control.txtMain(), 0, before, control.txtMain()->text());
            const auto told = UrduTextAccessible::readableChange(update);
            QVERIFY(told);
            QCOMPARE(told->position, 4);
            QCOMPARE(told->removed, QString());
            QCOMPARE(told->inserted, QStringLiteral("،"));
            control.setPasswordChar(QStringLiteral("*"));
            QVERIFY(!UrduTextAccessible::readableChange(update));
        }
    }

    // In Nastaliq the box draws its own text, and the mouse goes by that drawing: a click puts
    // the caret where it is drawn, between the letters of a number too; a drag selects from the
    // press; Shift extends; a double click takes the word. The drawing stays within the box.
    void nastaliqMouse()
    {
        UrduText control;
        QVERIFY(NastaliqFont::install());
        control.setScript(UrduScript::Nastaliq);
        control.resize(300, control.height());
        const QImage empty = control.grab().toImage();
        control.setText("slam dwst 12 Ap");
        UrduLineEdit *box = control.txtMain();
        QCOMPARE(box->text(), QStringLiteral("سلام دوست ۱۲ آپ"));
        const auto caretPlace
            = [box] { return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center(); };
        const auto placeOf = [&](int offset) {
            box->setCursorPosition(offset);
            return caretPlace();
        };
        for (int offset = 0; offset <= box->text().size(); ++offset) {
            const QPoint place = placeOf(offset);
            box->setCursorPosition(offset == 0 ? 1 : 0);
            QTest::mouseClick(box, Qt::LeftButton, {}, place);
            QCOMPARE(caretPlace(), place);
        }
        QList<QPoint> places;
        for (int offset = 0; offset <= box->text().size(); ++offset)
            places << placeOf(offset);
        QTest::mousePress(box, Qt::LeftButton, {}, places[2]);
        QMouseEvent drag(QEvent::MouseMove, places[11], box->mapToGlobal(places[11]), Qt::NoButton,
            Qt::LeftButton, {});
        QApplication::sendEvent(box, &drag);
        QTest::mouseRelease(box, Qt::LeftButton, {}, places[11]);
        QCOMPARE(box->selectedText(), QStringLiteral("ام دوست ۱"));
        box->setCursorPosition(6);
        QTest::mouseClick(box, Qt::LeftButton, Qt::ShiftModifier, places[15]);
        QCOMPARE(box->selectedText(), QStringLiteral("وست ۱۲ آپ"));
        QTest::mouseDClick(box, Qt::LeftButton, {}, places[7]);
        QCOMPARE(box->selectedText(), QStringLiteral("دوست"));
        QRect ink;
        const QImage drawn = control.grab().toImage();
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (drawn.pixel(x, y) != empty.pixel(x, y))
                    ink |= QRect(x, y, 1, 1);
        QVERIFY2(ink.top() > 2 && ink.bottom() < control.height() - 3,
            qPrintable(QStringLiteral("ink %1 to %2 of %3")
                           .arg(ink.top())
                           .arg(ink.bottom())
                           .arg(control.height())));
    }

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
    // one that a locked box swallows. The box holds at most MaxLength glyphs, so every caret
    // fits the 16-bit editing helpers.
    void lockedAndFull()
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
        editor.setLocked(false);
        editor.setText(QByteArray(UrduKeyEditor::MaxLength + 10, 'b'));
        QVERIFY(!editor.typeCharacter('a'));
        editor.setCaret(UrduKeyEditor::MaxLength);
        QVERIFY(editor.typeCharacter(UrduKeyEditor::Delete));
        QCOMPARE(editor.editText(), QByteArray(UrduKeyEditor::MaxLength - 1, 'b'));
        QCOMPARE(editor.caret(), UrduKeyEditor::MaxLength - 1);
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
    void fontCheck()
    {
        ScriptedDesktop desktop;
        UrduText control(nullptr, &desktop);
        control.setFont(QFont(QStringLiteral("MyQirtas"), 14));
        QCOMPARE(control.font().toString().section(u',', 0, 1), QStringLiteral("Qirtas1,9.75"));
        QCOMPARE(desktop.shown.size(), 1);
        QCOMPARE(desktop.shown.front().text, QStringLiteral("Please Select an 'Qirtas' Font."));
        control.setFont(QFont(QStringLiteral("Qirtas2"), 14));
        QCOMPARE(control.font().toString().section(u',', 0, 1), QStringLiteral("Qirtas2,14"));
        QCOMPARE(desktop.shown.size(), 1);
    }

    // Only what differs from the defaults is saved: of a new control, its glyph font, which is
    // not its container's. A control loaded from it shows the same glyphs and reports the saved
    // key text, though the glyphs read back otherwise (i joined to the next letter reads back
    // as y). Urdu stands at the right of the box.
    void savedState()
    {
        QCOMPARE(UrduText::savedKeys().join(u' '),
            QStringLiteral(
                "BackColor ForeColor Enabled Font BorderStyle Alignment Locked MouseIcon "
                "MousePointer PasswordChar Text OrgText Appearance SelLength SelStart "
                "SelText"));
        UrduText control;
        QCOMPARE(
            control.txtMain()->alignment(), Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
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
};

QTEST_MAIN(tst_UrduText)
#include "tst_UrduText.moc"
