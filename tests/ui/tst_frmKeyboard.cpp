#include "controls/UrduText.h"
#include "support/UrduTestText.h"
#include "ui/frmKeyboard.h"
#include "urdu/UrduGlyphFont.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace UrduTestText;

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
        QCOMPARE(keyboard.cmdKey(28)->text(), UrduGlyphFont::toDisplay(glyphs({ 60 })));
        QCOMPARE(keyboard.cmdKey(74)->text(), UrduGlyphFont::toDisplay(glyphs({ 160 })));
        QCOMPARE(keyboard.cmdKey(24)->font().family(), u"Qirtas1"_s);
        QCOMPARE(keyboard.cmdKey(75)->text(), u"BACKSPACE"_s);
        QCOMPARE(keyboard.cmdKey(75)->font().family(), u"Tahoma"_s);
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
