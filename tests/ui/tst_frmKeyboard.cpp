#include "controls/UrduText.h"
#include "ui/frmKeyboard.h"
#include "urdu/UrduGlyphFont.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

UrduGlyphText glyphs(std::initializer_list<int> codes)
{
    UrduGlyphText text;
    for (const int code : codes)
        text.append(static_cast<char>(code));
    return text;
}

UrduGlyphText shownBy(const UrduText &composer)
{
    return UrduGlyphFont::fromDisplay(composer.txtMain()->text());
}

// Button indexes of the keys the tests type.
constexpr int KeyB = 24;
constexpr int KeyA = 25;
constexpr int KeyCapitalB = 67;
constexpr int DoubleQuote = 28;
constexpr int DeleteButton = 70;
constexpr int SpaceButton = 72;
constexpr int FullStop = 74;
constexpr int BackspaceButton = 75;

} // namespace

class tst_frmKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void window()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        QCOMPARE(keyboard.windowTitle(), QStringLiteral("Urdu Keyboard"));
        QCOMPARE(keyboard.size(), QSize(477, 205));
        QCOMPARE(keyboard.minimumSize(), keyboard.maximumSize());
        const Qt::WindowFlags flags = keyboard.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(keyboard.findChildren<QPushButton *>().size(), 73);
        for (const int gap : { 13, 68, 69 })
            QVERIFY(!keyboard.cmdKey(gap));
        QVERIFY(!keyboard.cmdKey(76));
        QVERIFY(!keyboard.cmdKey(-1));
    }

    // Places in pixels at 15 twips to the pixel, tags and captions of typical buttons.
    void buttons_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("caption");
        auto glyph = [](int code) { return UrduGlyphFont::toDisplay(QByteArray(1, char(code))); };
        QTest::newRow("first") << 0 << QRect(1, 1, 34, 34) << QStringLiteral("47") << glyph(47);
        QTest::newRow("row end out of order")
            << 27 << QRect(443, 1, 34, 34) << QStringLiteral("58") << glyph(58);
        QTest::newRow("b") << KeyB << QRect(341, 35, 34, 34) << QStringLiteral("98") << glyph(76);
        QTest::newRow("double quote shows 60")
            << DoubleQuote << QRect(1, 69, 34, 34) << QStringLiteral("34") << glyph(60);
        QTest::newRow("indented row")
            << 42 << QRect(17, 103, 34, 34) << QStringLiteral("61") << glyph(61);
        QTest::newRow("B") << KeyCapitalB << QRect(409, 137, 34, 34) << QStringLiteral("66")
                           << glyph(34);
        QTest::newRow("DELETE") << DeleteButton << QRect(1, 171, 68, 34) << QStringLiteral("46")
                                << QStringLiteral("DELETE");
        QTest::newRow("SPACE") << SpaceButton << QRect(103, 171, 204, 34) << QStringLiteral("32")
                               << QStringLiteral("SPACE");
        QTest::newRow("full stop")
            << FullStop << QRect(341, 171, 34, 34) << QStringLiteral("190") << glyph(160);
        QTest::newRow("BACKSPACE") << BackspaceButton << QRect(375, 171, 102, 34)
                                   << QStringLiteral("8") << QStringLiteral("BACKSPACE");
    }
    void buttons()
    {
        QFETCH(int, index);
        QFETCH(QRect, place);
        QFETCH(QString, tag);
        QFETCH(QString, caption);
        UrduText composer;
        frmKeyboard keyboard(&composer);
        const QPushButton *button = keyboard.cmdKey(index);
        QVERIFY(button);
        QCOMPARE(button->objectName(), QStringLiteral("cmdKey_%1").arg(index));
        QCOMPARE(button->property("index").toInt(), index);
        QCOMPARE(button->geometry(), place);
        QCOMPARE(button->property("Tag").toString(), tag);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->font().family(),
            caption.front().unicode() >= UrduGlyphFont::PrivateUseBase ? QStringLiteral("Qirtas1")
                                                                       : QStringLiteral("Tahoma"));
        QCOMPARE(button->font().pointSizeF(), 12.0);
    }

    // Clicks on the buttons, starting from a composer that shows `before` with the caret at
    // `caret`.
    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("b") << QByteArray() << 0 << QList { KeyB } << glyphs({ 76 })
                           << QByteArray("b");
        QTest::newRow("b then a") << QByteArray() << 0 << QList { KeyB, KeyA } << glyphs({ 66, 73 })
                                  << QByteArray("ba");
        QTest::newRow("capital B") << QByteArray("b") << 0 << QList { KeyCapitalB }
                                   << glyphs({ 34, 73 }) << QByteArray("bB");
        QTest::newRow("BACKSPACE at caret") << QByteArray("bab") << 1 << QList { BackspaceButton }
                                            << glyphs({ 75, 73 }) << QByteArray("bb");
        QTest::newRow("DELETE at caret") << QByteArray("bab") << 1 << QList { DeleteButton }
                                         << glyphs({ 66, 73 }) << QByteArray("ba");
        QTest::newRow("DELETE at left end") << QByteArray("bab") << 0 << QList { DeleteButton }
                                            << glyphs({ 76, 66, 73 }) << QByteArray("bab");
        QTest::newRow("SPACE") << QByteArray("b") << 0 << QList { SpaceButton }
                               << glyphs({ 32, 76 }) << QByteArray("b ");
        QTest::newRow("double quote types 34")
            << QByteArray() << 0 << QList { DoubleQuote } << glyphs({ 62 }) << QByteArray("\"");
        QTest::newRow("full stop") << QByteArray("b") << 0 << QList { FullStop }
                                   << glyphs({ 160, 73 }) << QByteArray("b\xbe");
    }
    void typing()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, caret);
        QFETCH(QList<int>, clicks);
        QFETCH(UrduGlyphText, shown);
        QFETCH(QByteArray, text);
        UrduText composer;
        composer.setText(before);
        composer.txtMain()->setCursorPosition(caret);
        frmKeyboard keyboard(&composer);
        for (const int index : clicks)
            keyboard.cmdKey(index)->click();
        QCOMPARE(shownBy(composer), shown);
        QCOMPARE(composer.Text(), text);
    }

    // The composer raises the events of the real key.
    void keyEvents()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        QList<int> events;
        connect(&composer, &UrduText::KeyDown, this,
            [&](qint16 code, qint16 shift) { events << code << shift; });
        connect(&composer, &UrduText::KeyPress, this, [&](qint16 code) { events << code; });
        connect(&composer, &UrduText::KeyUp, this,
            [&](qint16 code, qint16 shift) { events << code << shift; });
        keyboard.cmdKey(KeyCapitalB)->click();
        keyboard.cmdKey(FullStop)->click();
        QCOMPARE(events, (QList<int> { 66, 1, 66, 66, 1, 190, 0, 190, 190, 0 }));
    }

    void disabledComposerIgnoresClicks()
    {
        UrduText composer;
        composer.setText("ba");
        composer.setEnabled(false);
        frmKeyboard keyboard(&composer);
        for (const int index : { KeyB, BackspaceButton, DeleteButton, SpaceButton })
            keyboard.cmdKey(index)->click();
        QCOMPARE(composer.Text(), QByteArray("ba"));
        QCOMPARE(shownBy(composer), glyphs({ 66, 73 }));
    }

    void composerGone()
    {
        auto *composer = new UrduText;
        frmKeyboard keyboard(composer);
        delete composer;
        keyboard.cmdKey(KeyB)->click();
    }
};

QTEST_MAIN(tst_frmKeyboard)
#include "tst_frmKeyboard.moc"
