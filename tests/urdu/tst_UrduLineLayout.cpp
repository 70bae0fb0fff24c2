#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduLineLayout.h"

#include <QFontInfo>
#include <QTest>

#include <numeric>

// Glyph texts here are written as the characters of their codes: a to z, J (the medial b) and
// the digits are glyph codes the font draws with widths of their own.
class tst_UrduLineLayout : public QObject
{
    Q_OBJECT

private slots:
    // The program's font is Qirtas1, and it draws glyph code c as its character U+F000 + c, the
    // space as a space. Every code comes back from what is drawn; pasted characters outside the
    // font become their Windows-1252 byte, or "?".
    void glyphFont()
    {
        QVERIFY(UrduGlyphFont::install());
        QCOMPARE(QFontInfo(UrduGlyphFont::font(12)).family(), QStringLiteral("Qirtas1"));
        QCOMPARE(UrduGlyphFont::toDisplay("L \xA0"), QStringLiteral(u"\uF04C \uF0A0"));
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), 0);
        QCOMPARE(UrduGlyphFont::fromDisplay(UrduGlyphFont::toDisplay(all)), all);
        QCOMPARE(UrduGlyphFont::fromDisplay(QStringLiteral("é€中")), QByteArray("\xE9\x80?"));
    }

    // The text sent for a glyph text in Qirtas1 at a size, wrapped to a width in twips.
    void layout_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<qreal>("size");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("sent");
        const QByteArray words = "abc def ghi jkl mno pqr stu vwx yz abc def ghi";
        QTest::newRow("one short line, numbers unchanged")
            << QByteArray("4202 a b") << 12.0 << 3885 << QByteArray("4202 a b\r\n");
        QTest::newRow("three lines, the last first")
            << words << 18.0 << 3885
            << QByteArray("yz abc def ghi\r\npqr stu vwx\r\nabc def ghi jkl mno\r\n");
        // The right end is where reading starts; blanks typed last stand at the left.
        QTest::newRow("blanks at a wrap and at the right end dropped, at the left end kept")
            << QByteArray("  a b c d e f g h i j k l m     n o p q r s t u v w x y z  ") << 18.0
            << 3885
            << QByteArray("v w x y z\r\nn o p q r s t u\r\n  a b c d e f g h i j k l m\r\n");
        QTest::newRow("a word wider than the box broken inside") << QByteArray(
            40, 'J') << 18.0 << 3885 << QByteArray("JJJJJ\r\n") + QByteArray(35, 'J') + "\r\n";
        QTest::newRow("empty text, one empty line")
            << QByteArray() << 12.0 << 3885 << QByteArray("\r\n");
    }
    void layout()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(qreal, size);
        QFETCH(int, width);
        QFETCH(QByteArray, sent);
        QCOMPARE(LayoutUrduLines(glyphs, UrduGlyphFont::font(size), width), sent);
    }
};

QTEST_MAIN(tst_UrduLineLayout)
#include "tst_UrduLineLayout.moc"
