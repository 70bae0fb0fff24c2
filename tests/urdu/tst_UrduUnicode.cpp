#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduUnicode.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_UrduUnicode : public QObject
{
    Q_OBJECT

private slots:
    // Typed phonetically, shaped, and read out as the Unicode Urdu other programs show.
    // The same Unicode pasted back types keys that read out the same (lam and alef come
    // back as the lam alef key, which draws them as one).
    void words_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QString>("unicode");
        QTest::newRow("salam") << QByteArray("slam") << u"سلام"_s;
        QTest::newRow("full stop") << QByteArray("xkrio\xBE") << u"شکریہ۔"_s;
        QTest::newRow("yeh hamza") << QByteArray("bhaui kwui guE") << u"بھائی کوئی گئے"_s;
        QTest::newRow("final hamza") << QByteArray("xiu") << u"شیء"_s;
        QTest::newRow("numbers in reading order")
            << QByteArray("sal 2024, 0300-1234567") << u"سال ۲۰۲۴، ۰۳۰۰-۱۲۳۴۵۶۷"_s;
        QTest::newRow("lam alef") << QByteArray("KLf") << u"خلاف"_s;
        QTest::newRow("tanween") << QByteArray("fwraB") << u"فوراً"_s;
        QTest::newRow("signs") << QByteArray("kia? (oaN!)") << u"کیا؟ (ہاں!)"_s;
    }
    void words()
    {
        QFETCH(QByteArray, keys);
        QFETCH(QString, unicode);
        const UrduGlyphText shaped = ShapeUrdu(keys);
        QCOMPARE(UrduUnicode::fromGlyphs(shaped), unicode);
        const UrduUnicode::Typed typed = UrduUnicode::toKeys(unicode);
        QCOMPARE(typed.dropped, 0);
        QCOMPARE(UrduUnicode::fromGlyphs(ShapeUrdu(typed.keys)), unicode);
    }

    // Text from elsewhere: other spellings of letters and digits type their keys, direction
    // marks vanish, anything else is counted and left out.
    void pastedText_data()
    {
        QTest::addColumn<QString>("unicode");
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<int>("dropped");
        QTest::newRow("Arabic kaf, heh and alef maksura")
            << u"كه\u0649"_s << QByteArray("koi") << 0;
        QTest::newRow("Western and Arabic-Indic digits")
            << u"12 \u0663\u0664"_s << QByteArray("12 34") << 0;
        QTest::newRow("Latin full stop, line break") << u"ب.\r\nب"_s << QByteArray("b\xBE b") << 0;
        QTest::newRow("direction marks") << u"\u200Fب\u200C"_s << QByteArray("b") << 0;
        QTest::newRow("vowel marks and emoji") << u"بَ😀 ك"_s << QByteArray("b k") << 2;
        QTest::newRow("our own glyph characters")
            << UrduGlyphFont::toDisplay(ShapeUrdu("bab 12")) << QByteArray("bab 12") << 0;
    }
    void pastedText()
    {
        QFETCH(QString, unicode);
        QFETCH(QByteArray, keys);
        QFETCH(int, dropped);
        const UrduUnicode::Typed typed = UrduUnicode::toKeys(unicode);
        QCOMPARE(typed.keys, keys);
        QCOMPARE(typed.dropped, dropped);
    }

    // Our own glyph bytes go back as exactly the keys that drew them; bytes that no key
    // draws, from a damaged or foreign clipboard, are counted and left out.
    void glyphBytes()
    {
        const UrduGlyphText shaped = ShapeUrdu("bhaui 2024");
        const std::unique_ptr<QMimeData> data = UrduUnicode::mimeData(shaped);
        QCOMPARE(data->text(), u"بھائی ۲۰۲۴"_s);
        const UrduUnicode::Typed typed = UrduUnicode::keysFrom(*data);
        QCOMPARE(ShapeUrdu(typed.keys), shaped);
        QMimeData foreign;
        foreign.setData(UrduUnicode::glyphMimeType(), QByteArray("\x46\x4C\x01", 3));
        const UrduUnicode::Typed damaged = UrduUnicode::keysFrom(foreign);
        QCOMPARE(damaged.keys, QByteArray("b"));
        QCOMPARE(damaged.dropped, 2);
    }
};

QTEST_MAIN(tst_UrduUnicode)
#include "tst_UrduUnicode.moc"
