#include "controls/UrduText.h"
#include "support/UrduTestText.h"
#include "ui/frmKeyboard.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduUnicode.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace UrduTestText;

namespace {

// The rows of dark pixels inside a button, away from its frame: top and bottom.
std::pair<int, int> inkRows(QPushButton *button)
{
    const QImage image = button->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    int top = image.height(), bottom = -1;
    for (int y = 3; y < image.height() - 3; ++y) {
        for (int x = 3; x < image.width() - 3; ++x) {
            if (image.pixelColor(x, y).value() < 128) {
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
        }
    }
    return { top, bottom };
}

} // namespace

class tst_frmKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void buttons()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        QCOMPARE(keyboard.findChildren<QPushButton *>().size(), 73);
        for (const int gap : { 13, 68, 69 })
            QVERIFY(!keyboard.cmdKey(gap));
        // In pixels at 15 twips to the pixel: row ends, indented rows and the bottom row.
        const std::pair<int, QRect> places[] = { { 0, { 1, 1, 34, 34 } },
            { 27, { 443, 1, 34, 34 } }, { 42, { 17, 103, 34, 34 } }, { 67, { 409, 137, 34, 34 } },
            { 70, { 1, 171, 68, 34 } }, { 72, { 103, 171, 204, 34 } }, { 74, { 341, 171, 34, 34 } },
            { 75, { 375, 171, 102, 34 } } };
        for (const auto &[index, place] : places)
            QCOMPARE(keyboard.cmdKey(index)->geometry(), place);
        QCOMPARE(keyboard.cmdKey(24)->font().family(), u"Qirtas1"_s);
        QCOMPARE(keyboard.cmdKey(75)->text(), u"BACKSPACE"_s);
        QCOMPARE(keyboard.cmdKey(75)->font().family(), u"Tahoma"_s);
    }

    // The window floats above the main window at the screen's top-left corner.
    void placement()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        keyboard.show();
        QVERIFY(keyboard.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(keyboard.pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        QCOMPARE(keyboard.size(), QSize(477, 205));
    }

    // The letters as a reader sees them on each row, left to right.
    void letterCaptions_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("letters");
        QTest::newRow("row 2") << 15 << 26 << u"دخحچجثٹتپباآ"_s;
        QTest::newRow("row 3") << 29 << 40 << u"ظطضصشسژزڑرذڈ"_s;
        QTest::newRow("row 4") << 43 << 54 << u"ھہونملگکقفغع"_s;
        QTest::newRow("row 5") << 58 << 66 << u"ےؤۓۃںلایيء"_s;
    }
    void letterCaptions()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, letters);
        UrduText composer;
        frmKeyboard keyboard(&composer);
        QString shown;
        for (int index = first; index <= last; ++index)
            shown += UrduUnicode::fromGlyphs(
                UrduGlyphFont::fromDisplay(keyboard.cmdKey(index)->text()));
        QCOMPARE(shown, letters);
    }

    // Each caption is drawn alone, so it is the isolated form: the glyph font's contextual
    // rules leave a lone caption's glyph as it is, except ط, whose code is a joining form.
    // The tanween shows on a dotted circle, and the brackets face the way they are typed.
    void drawnCaptions()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        const QHash<int, QString> special { { 30, u"127"_s }, { 67, u"tanween.caption"_s },
            { 56, u"93"_s }, { 57, u"91"_s } };
        for (QPushButton *button : keyboard.findChildren<QPushButton *>()) {
            if (button->font().family() != u"Qirtas1"_s)
                continue;
            const int index = button->property("index").toInt();
            const QString own
                = QString::number(quint8(UrduGlyphFont::fromDisplay(button->text()).front()));
            QCOMPARE(
                drawnGlyphs(button->text(), button->font()).join(u' '), special.value(index, own));
        }
    }

    // Letters stand about 16 pixels tall, and ے and ں, which sit low in the font's line,
    // are raised into the middle of their buttons.
    void captionsReadAtAGlance()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        const auto [alefTop, alefBottom] = inkRows(keyboard.cmdKey(25));
        QVERIFY2(qAbs(alefBottom - alefTop + 1 - 16) <= 2,
            qPrintable(QString::number(alefBottom - alefTop)));
        for (const int index : { 25, 58, 60, 62 }) {
            const auto [top, bottom] = inkRows(keyboard.cmdKey(index));
            QVERIFY2(qAbs(top + bottom - 33) <= 3, qPrintable(QString::number(index)));
        }
    }

    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::newRow("b then a") << QByteArray() << 0 << QList { 24, 25 } << glyphs({ 66, 73 });
        QTest::newRow("BACKSPACE") << QByteArray("bab") << 1 << QList { 75 } << glyphs({ 75, 73 });
        QTest::newRow("DELETE") << QByteArray("bab") << 1 << QList { 70 } << glyphs({ 66, 73 });
        QTest::newRow("SPACE") << QByteArray("b") << 0 << QList { 72 } << glyphs({ 32, 76 });
        QTest::newRow("double quote") << QByteArray() << 0 << QList { 28 } << glyphs({ 62 });
        QTest::newRow("full stop") << QByteArray("b") << 0 << QList { 74 } << glyphs({ 160, 73 });
    }
    void typing()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, caret);
        QFETCH(QList<int>, clicks);
        QFETCH(UrduGlyphText, shown);
        UrduText composer;
        composer.setText(before);
        composer.txtMain()->setCursorPosition(caret);
        frmKeyboard keyboard(&composer);
        for (const int index : clicks)
            keyboard.cmdKey(index)->click();
        QCOMPARE(shownBy(composer), shown);
        QCOMPARE(composer.Text(), UnshapeUrdu(shown));
    }

    void composerRaisesTheEventsOfRealKeys()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        QList<int> events;
        connect(&composer, &UrduText::KeyDown, this,
            [&](qint16 code, qint16 shift) { events << code << shift; });
        connect(&composer, &UrduText::KeyPress, this, [&](qint16 code) { events << code; });
        keyboard.cmdKey(67)->click(); // B
        keyboard.cmdKey(74)->click();
        QCOMPARE(events, (QList<int> { 66, 1, 66, 190, 0, 190 }));
    }

    void disabledComposerIgnoresClicks()
    {
        UrduText composer;
        composer.setText("ba");
        composer.setEnabled(false);
        frmKeyboard keyboard(&composer);
        for (const int index : { 24, 70, 72, 75 })
            keyboard.cmdKey(index)->click();
        QCOMPARE(shownBy(composer), glyphs({ 66, 73 }));
    }
};

QTEST_MAIN(tst_frmKeyboard)
#include "tst_frmKeyboard.moc"
