#include "support/UrduTestText.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/basUrdu.h"

#include <QFontInfo>
#include <QPainterPath>
#include <QRawFont>
#include <QSet>
#include <QTest>

#include <numeric>

namespace {

// Every code the program shows: what the engine makes of any key alone, after, before and
// between joining letters, and each key's final glyph (E never joins but has one); 127, an
// old v only read back; two on-screen keyboard captions. Key 8, Backspace, is never shaped.
QSet<int> producedCodes()
{
    QSet<int> codes { 127, 46, 60 };
    for (int key = 0; key < 256; ++key) {
        if (key == 8)
            continue;
        codes.insert(GlyphForForm(qint16(key), FinalForm));
        const QByteArray k(1, char(key));
        for (const QByteArray &keys : { k, "b" + k, k + "b", "b" + k + "b" }) {
            for (const char glyph : ShapeUrdu(keys))
                codes.insert(quint8(glyph));
        }
    }
    codes.remove(' ');
    return codes;
}

} // namespace

class tst_Qirtas1Font : public QObject
{
    Q_OBJECT

    QRawFont m_raw;

private slots:
    void initTestCase()
    {
        QVERIFY(UrduGlyphFont::install());
        QVERIFY(UrduGlyphFont::install()); // a second start-up must not fail
        QFont unitSized = UrduGlyphFont::font(12);
        unitSized.setPixelSize(1000); // one pixel per font unit
        QCOMPARE(QFontInfo(unitSized).family(), UrduGlyphFont::faceName());
        m_raw = QRawFont::fromFont(unitSized);
    }

    // Every code in use has ink within the line height; the space is blank with an advance;
    // every other code is mapped to a blank without advance, so that no other font draws it.
    void drawsExactlyTheCodesInUse()
    {
        const QSet<int> produced = producedCodes();
        for (int code = 0; code < 256; ++code) {
            const QString shown = UrduGlyphFont::toDisplay(QByteArray(1, char(code)));
            const QByteArray which = QByteArray::number(code);
            QVERIFY2(m_raw.supportsCharacter(shown.front()), which);
            const quint32 glyph = m_raw.glyphIndexesForString(shown).front();
            const qreal advance = m_raw.advancesForGlyphIndexes(QList<quint32> { glyph })[0].x();
            QVERIFY2(m_raw.pathForGlyph(glyph).isEmpty() != produced.contains(code), which);
            QVERIFY2(-m_raw.boundingRect(glyph).top() <= m_raw.ascent() + 1, which);
            QVERIFY2(m_raw.boundingRect(glyph).bottom() <= m_raw.descent() + 1, which);
            if (!produced.contains(code))
                QVERIFY2((advance > 0) == (code == ' '), which);
        }
    }

    // What the font draws for words as the engine shapes them, glyphs from left to right:
    // the contextual rules join the bari ye, end a word before a full stop or a space, write
    // a hamza before a letter as yeh hamza, and close a word-final toe; numbers read left to
    // right. Words are typed phonetically (the period key is 190).
    void contextualForms_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QString>("drawn");
        const std::pair<const char *, const char16_t *> words[] = {
            { "kisE", u"216 110 206 183" }, // کیسے
            { "xkrio\xBE", u"160 201 205 106 184 113" }, // شکریہ۔
            { "bhaui", u"211 yehHamza.init 66 233 73" }, // بھائی
            { "guE", u"216 yehHamza.medi 140" }, // گئے
            { "xiu", u"213 211 113" }, // شیء: a word-final hamza stands alone
            { "Glv", u"toe.fina 188 171" }, // غلط
            { "sal 2024", u"50 48 50 52 32 190 66 109" }, // سال ۲۰۲۴
        };
        for (const auto &[keys, drawn] : words)
            QTest::newRow(keys) << QByteArray(keys) << QString::fromUtf16(drawn);
    }
    void contextualForms()
    {
        QFETCH(QByteArray, keys);
        QFETCH(QString, drawn);
        const QString shown = UrduGlyphFont::toDisplay(ShapeUrdu(keys));
        QCOMPARE(UrduTestText::drawnGlyphs(shown, UrduGlyphFont::font(12)).join(u' '), drawn);
    }

    // Every code comes back from what the font draws; pasted characters outside the font
    // become their Windows-1252 byte, or "?".
    void displayRoundTrip()
    {
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), 0);
        QCOMPARE(UrduGlyphFont::fromDisplay(UrduGlyphFont::toDisplay(all)), all);
        QCOMPARE(UrduGlyphFont::fromDisplay(QStringLiteral("é€中")), QByteArray("\xE9\x80?"));
    }
};

QTEST_MAIN(tst_Qirtas1Font)
#include "tst_Qirtas1Font.moc"
