#include "controls/UrduText.h"
#include "support/ScriptedDesktop.h"
#include "support/UrduTestText.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

using namespace UrduTestText;

namespace {

// A key as the desktop delivers it, down and up, to the inner box.
void press(const UrduText &control, int key, const QString &text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(control.txtMain(), &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(control.txtMain(), &up);
}

} // namespace

class tst_UrduText : public QObject
{
    Q_OBJECT

private slots:
    // The desktop's keys as the editing sees them; the glyphs after each step.
    void desktopKeys()
    {
        UrduText control;
        control.setText("bab");
        for (const int key : { Qt::Key_Right, Qt::Key_Right, Qt::Key_Left })
            press(control, key, QString());
        press(control, Qt::Key_Return, QStringLiteral("\r"));
        press(control, Qt::Key_Escape, QStringLiteral("\x1b"));
        press(control, Qt::Key_Tab, QStringLiteral("\t"));
        press(control, Qt::Key_unknown, QStringLiteral("\u0628")); // outside the code page
        QCOMPARE(shownBy(control), glyphs({ 76, 66, 73 }));
        press(control, Qt::Key_Delete, QStringLiteral("\x7f"));
        QCOMPARE(shownBy(control), glyphs({ 66, 73 }));
        press(control, Qt::Key_Period, QStringLiteral("."));
        QCOMPARE(shownBy(control), glyphs({ 160, 66, 73 }));
        press(control, Qt::Key_B, QStringLiteral("\x02")); // a control chord types its code
        QCOMPARE(shownBy(control), glyphs({ 32, 160, 66, 73 }));
        control.txtMain()->setSelection(0, 3);
        press(control, Qt::Key_Delete, QStringLiteral("\x7f"));
        QCOMPARE(shownBy(control), glyphs({ 76 }));
        QCOMPARE(control.Text(), QByteArray("b"));
    }

    // Digits typed and deleted inside a number behave as in any right-to-left editor: the
    // number reads left to right, the caret stays beside the digits it stood between, and
    // Backspace removes the digit typed last. Carets are counted on screen from the left.
    void editingNumbers_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QByteArray>("shown"); // digits as seen, left to right
        QTest::addColumn<int>("caretAfter");
        QTest::addColumn<QByteArray>("text");
        const int backspace = Qt::Key_Backspace;
        const int del = Qt::Key_Delete;
        QTest::newRow("typing 123") << QByteArray() << 0 << QList<int> { '1', '2', '3' }
                                    << QByteArray("123") << 0 << QByteArray("123");
        QTest::newRow("backspace after typing")
            << QByteArray() << 0 << QList<int> { '1', '2', '3', backspace } << QByteArray("12") << 0
            << QByteArray("12");
        QTest::newRow("typing between 1 and 2") << QByteArray("123") << 1 << QList<int> { '5', '6' }
                                                << QByteArray("15623") << 3 << QByteArray("15623");
        QTest::newRow("backspace between 2 and 3")
            << QByteArray("123") << 2 << QList<int> { backspace } << QByteArray("13") << 1
            << QByteArray("13");
        QTest::newRow("delete between 1 and 2") << QByteArray("123") << 1 << QList<int> { del }
                                                << QByteArray("13") << 1 << QByteArray("13");
        QTest::newRow("separator inside a phone number")
            << QByteArray("03001234") << 4 << QList<int> { '-' } << QByteArray("0300-1234") << 5
            << QByteArray("0300-1234");
    }
    void editingNumbers()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, caret);
        QFETCH(QList<int>, keys);
        QFETCH(QByteArray, shown);
        QFETCH(int, caretAfter);
        QFETCH(QByteArray, text);
        UrduText control;
        control.setText(before);
        control.txtMain()->setCursorPosition(caret);
        for (const int key : keys)
            press(control, key, key < 128 ? QString(QChar(key)) : QString());
        QCOMPARE(control.txtMain()->text(), onScreen(shown));
        QCOMPARE(control.txtMain()->cursorPosition(), caretAfter);
        QCOMPARE(control.Text(), text);
    }

    // A selection on screen that takes part of a number and the letters beside it grows to
    // the whole number, so that what Backspace removes is what was seen selected.
    void selectionKeepsNumbersWhole()
    {
        UrduText control;
        control.setText("b 1234");
        QCOMPARE(control.txtMain()->text(), onScreen(glyphs({ '1', '2', '3', '4', 32, 76 })));
        control.txtMain()->setSelection(2, 4); // 34, the space and b
        QCOMPARE(
            control.txtMain()->selectedText(), onScreen(glyphs({ '1', '2', '3', '4', 32, 76 })));
        control.txtMain()->setSelection(1, 2); // 23
        press(control, Qt::Key_Backspace, QStringLiteral("\b"));
        QCOMPARE(control.Text(), QByteArray("b 14"));
    }

    // Copying puts Unicode Urdu on the clipboard for other programs; pasting it back, or
    // Unicode from elsewhere, types the keys at the caret; cut removes what it copied, and
    // a locked box takes no paste.
    void copyAndPaste()
    {
        ScriptedDesktop desktop;
        UrduText source(nullptr, &desktop);
        source.setText("bhaui 2024 kisE oiN?");
        source.txtMain()->selectAll();
        QTest::keyClick(source.txtMain(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("بھائی ۲۰۲۴ کیسے ہیں؟"));

        UrduText target(nullptr, &desktop);
        target.setText("slam ");
        QTest::keyClick(target.txtMain(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shownBy(target), ShapeUrdu("slam bhaui 2024 kisE oiN?"));
        QCOMPARE(target.Text(), UnshapeUrdu(shownBy(target)));

        QApplication::clipboard()->setText(QStringLiteral("دوست"));
        target.txtMain()->setSelection(0, 9); // the last two words, on the left
        QTest::keyClick(target.txtMain(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(target.txtMain(), Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(target.Text(), QByteArray("slam bhaui 2024 dwstdwst"));
        QVERIFY(desktop.shown.isEmpty());

        target.txtMain()->setSelection(0, 8);
        QTest::keyClick(target.txtMain(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("دوستدوست"));
        target.setLocked(true);
        QTest::keyClick(target.txtMain(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(target.Text(), QByteArray("slam bhaui 2024 "));
    }

    // Characters that no key types are left out, and the user is told how many, once.
    void pasteLeavesOutWhatNoKeyTypes()
    {
        ScriptedDesktop desktop;
        UrduText control(nullptr, &desktop);
        QApplication::clipboard()->setText(QStringLiteral("سَلام ☺ دوست!"));
        QTest::keyClick(control.txtMain(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(control.Text(), QByteArray("sLm  dwst!"));
        QCOMPARE(desktop.shown.size(), 1);
        QCOMPARE(desktop.shown.front().text,
            QStringLiteral("2 characters could not be typed in Urdu and were left out."));
        QCOMPARE(desktop.shown.front().icon, Desktop::Icon::Information);
    }

    // Urdu starts at the right edge of the box, whatever the layout direction.
    void textStartsAtTheRight()
    {
        UrduText control;
        control.setText("slam");
        control.resize(300, control.height());
        for (const auto direction : { Qt::LeftToRight, Qt::RightToLeft }) {
            control.setLayoutDirection(direction);
            QImage image = control.grab().toImage().convertToFormat(QImage::Format_Grayscale8);
            int left = image.width(), right = 0;
            for (int y = 4; y < image.height() - 4; ++y) {
                for (int x = 4; x < image.width() - 4; ++x) {
                    if (image.pixelColor(x, y).value() < 128) {
                        left = qMin(left, x);
                        right = qMax(right, x);
                    }
                }
            }
            QVERIFY2(right > 300 - 20 && left > 150, qPrintable(QString::number(left)));
        }
    }
};

QTEST_MAIN(tst_UrduText)
#include "tst_UrduText.moc"
