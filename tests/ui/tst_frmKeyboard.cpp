#include "controls/UrduText.h"
#include "support/UrduTestText.h"
#include "ui/frmKeyboard.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTest>

#include <algorithm>

using namespace UrduTestText;

namespace {

// From a composer holding `before` with the caret at `caret`, the clicks leave it showing
// `shown`; the last click's key-down carried the key code and Shift state `keyDown`.
void clickRow(const char *name, const char *before, int caret, const QList<int> &clicks,
    std::initializer_list<int> shown, const QList<int> &keyDown, bool enabled = true)
{
    QTest::newRow(name) << QByteArray(before) << caret << clicks << enabled << glyphs(shown)
                        << keyDown;
}

} // namespace

class tst_frmKeyboard : public QObject
{
    Q_OBJECT

private slots:
    // The window floats above the main window at the top-left corner of the screen, which this
    // test's screen puts away from the origin (see main).
    void placement()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        keyboard.show();
        QVERIFY(keyboard.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(keyboard.pos(), QPoint(120, 45));
        QCOMPARE(keyboard.size(), QSize(477, 205));
    }

    // Each row from the left, in pixels: where it starts, and the glyphs the font draws for
    // its captions. A caption is drawn alone, so its glyph is the isolated form and the font's
    // contextual rules leave it as it is, except ط (162), whose code is a joining form; the
    // tanween shows on a dotted circle, and the brackets face the way they are typed. The
    // buttons of a row stand side by side.
    void rows_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("captions");
        QTest::newRow("1") << 1 << 1 << QStringLiteral("47 42 49 50 51 52 53 54 55 56 57 48 45 58");
        QTest::newRow("2") << 35 << 1
                           << QStringLiteral("33 101 100 96 137 88 84 147 80 133 76 65 69 59");
        QTest::newRow("3") << 69 << 1
                           << QStringLiteral(
                                  "60 166 127 126 120 116 112 138 107 152 105 103 148 37");
        QTest::newRow("4") << 103 << 17
                           << QStringLiteral("61 235 202 203 198 194 190 143 186 182 178 174 170");
        QTest::newRow("5") << 137 << 35
                           << QStringLiteral(
                                  "93 91 217 157 218 209 231 220 212 155 213 tanween.caption");
        QTest::newRow("6") << 171 << 1 << QStringLiteral("DELETE 63 SPACE 44 160 BACKSPACE");
    }
    void rows()
    {
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(QString, captions);
        UrduText composer;
        frmKeyboard keyboard(&composer);
        QList<QPushButton *> row = keyboard.findChildren<QPushButton *>();
        row.removeIf([top](const QPushButton *button) { return button->y() != top; });
        std::sort(row.begin(), row.end(),
            [](const QPushButton *a, const QPushButton *b) { return a->x() < b->x(); });
        QStringList drawn;
        for (const QPushButton *button : row) {
            QCOMPARE(button->x(), left);
            left += button->width();
            drawn += button->font().family() == QStringLiteral("Qirtas1")
                ? drawnGlyphs(button->text(), button->font())
                : QStringList { button->text() };
        }
        QCOMPARE(drawn.join(u' '), captions);
    }

    // Clicked keys edit the composer at its caret as typed keys would, with the key code and
    // Shift state of the real key at key-down; a disabled composer is not typed into.
    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::addColumn<QList<int>>("keyDown");
        clickRow("b then a", "", 0, { 24, 25 }, { 66, 73 }, { 65, 0 });
        clickRow("T, with Shift", "", 0, { 21 }, { 147 }, { 84, 1 });
        clickRow("double quote shows 60, types 62", "", 0, { 28 }, { 62 }, { 0, 1 });
        clickRow("BACKSPACE, then DELETE", "bab", 1, { 75, 70 }, { 76 }, { 46, 0 });
        clickRow("SPACE, then the full stop", "b", 0, { 72, 74 }, { 160, 32, 76 }, { 190, 0 });
        clickRow("disabled composer", "ba", 1, { 24, 70, 72, 75 }, { 66, 73 }, {}, false);
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

// The keyboard must place itself: the test's one screen starts at (120, 45), where a window
// that was not placed does not go.
int main(int argc, char *argv[])
{
    QTemporaryFile screens;
    if (!screens.open())
        return 1;
    screens.write(R"({ "screens": [ { "x": 120, "y": 45, "width": 1024, "height": 768 } ] })");
    screens.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    QApplication application(argc, argv);
    tst_frmKeyboard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmKeyboard.moc"
