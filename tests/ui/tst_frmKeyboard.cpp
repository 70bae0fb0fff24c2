#include "support/UrduTestText.h"
#include "ui/frmKeyboard.h"

#include <QPushButton>
#include <QTest>

#include <algorithm>

using namespace UrduTestText;

class tst_frmKeyboard : public QObject
{
    Q_OBJECT

private slots:
    // The window floats above the main window. Each row from the left, in pixels: its top and
    // left, then the glyph codes of its captions, each the isolated glyph of the key it
    // types but the double quote's (60), the brackets, which face the way they are typed, and
    // the tanween on a dotted circle (259). The buttons of a row stand side by side.
    void layout()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        keyboard.show();
        QVERIFY(keyboard.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QList<QPushButton *> buttons = keyboard.findChildren<QPushButton *>();
        std::sort(buttons.begin(), buttons.end(), [](const QPushButton *a, const QPushButton *b) {
            return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
        });
        QString rows;
        int right = -1;
        for (const QPushButton *button : buttons) {
            if (button->x() != right)
                rows += QStringLiteral("\n%1 %2:").arg(button->y()).arg(button->x());
            right = button->x() + button->width();
            const int glyph = button->text().front().unicode() - UrduGlyphFont::PrivateUseBase;
            rows += u' '
                + (button->font().family() == QStringLiteral("Qirtas1") ? QString::number(glyph)
                                                                        : button->text());
        }
        QCOMPARE(rows,
            QStringLiteral("\n1 1: 47 42 49 50 51 52 53 54 55 56 57 48 45 58"
                           "\n35 1: 33 101 100 96 137 88 84 147 80 133 76 65 69 59"
                           "\n69 1: 60 166 162 126 120 116 112 138 107 152 105 103 148 37"
                           "\n103 17: 61 235 202 203 198 194 190 143 186 182 178 174 170"
                           "\n137 35: 93 91 217 157 218 209 231 220 212 155 213 259"
                           "\n171 1: DELETE 63 SPACE 44 160 BACKSPACE"));
    }

    // Clicked keys edit the composer at its caret as typed keys would, with the key code and
    // Shift state of the real key at key-down (here of the last click); a disabled composer is
    // not typed into.
    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::addColumn<QList<int>>("keyDown");
        const auto row = [](const char *name, const char *before, int caret,
                             const QList<int> &clicks, std::initializer_list<int> shown,
                             const QList<int> &keyDown, bool enabled = true) {
            QTest::newRow(name) << QByteArray(before) << caret << clicks << enabled << glyphs(shown)
                                << keyDown;
        };
        row("b then a", "", 0, { 24, 25 }, { 66, 73 }, { 65, 0 });
        row("T, with Shift", "", 0, { 21 }, { 147 }, { 84, 1 });
        row("double quote shows 60, types 62", "", 0, { 28 }, { 62 }, { 0, 1 });
        row("BACKSPACE, then DELETE", "bab", 1, { 75, 70 }, { 76 }, { 46, 0 });
        row("SPACE, then the full stop", "b", 0, { 72, 74 }, { 160, 32, 76 }, { 190, 0 });
        row("disabled composer", "ba", 1, { 24, 70, 72, 75 }, { 66, 73 }, {}, false);
    }
    void typing()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, caret);
        QFETCH(QList<int>, clicks);
        QFETCH(bool, enabled);
        QFETCH(UrduGlyphText, shown);
        QFETCH(QList<int>, keyDown);
        UrduText composer;
        composer.setText(before);
        composer.txtMain()->setCursorPosition(caret);
        composer.setEnabled(enabled);
        QList<int> seen;
        connect(&composer, &UrduText::KeyDown, this, [&seen](qint16 &code, qint16 &shift) {
            seen = { code, shift };
        });
        frmKeyboard keyboard(&composer);
        for (const int index : clicks)
            keyboard.cmdKey(index)->click();
        QCOMPARE(shownBy(composer), shown);
        QCOMPARE(composer.Text(), UnshapeUrdu(shown));
        QCOMPARE(seen, keyDown);
    }
};

QTEST_MAIN(tst_frmKeyboard)
#include "tst_frmKeyboard.moc"
