#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduUnicode.h"

#include <QTest>

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
        QTest::newRow("full stop") << QByteArray("xkrio\xBE") << QStringLiteral("شکریہ۔");
        QTest::newRow("yeh hamza")
            << QByteArray("bhaui kwui guE") << QStringLiteral("بھائی کوئی گئے");
        QTest::newRow("final hamza") << QByteArray("xiu") << QStringLiteral("شیء");
        QTest::newRow("numbers in reading order")
            << QByteArray("sal 2024, 0300-1234567") << QStringLiteral("سال ۲۰۲۴، ۰۳۰۰-۱۲۳۴۵۶۷");
        QTest::newRow("lam alef") << QByteArray("KLf") << QStringLiteral("خلاف");
        QTest::newRow("tanween") << QByteArray("fwraB") << QStringLiteral("فوراً");
        QTest::newRow("signs") << QByteArray("kia? (oaN!)") << QStringLiteral("کیا؟ (ہاں!)");
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
            << QStringLiteral("كه\u0649") << QByteArray("koi") << 0;
        QTest::newRow("Western and Arabic-Indic digits")
            << QStringLiteral("12 \u0663\u0664") << QByteArray("12 34") << 0;
        QTest::newRow("Latin full stop, line break")
            << QStringLiteral("ب.\r\nب") << QByteArray("b\xBE b") << 0;
        QTest::newRow("direction marks") << QStringLiteral("\u200Fب\u200C") << QByteArray("b") << 0;
        QTest::newRow("vowel marks and emoji") << QStringLiteral("بَ😀 ك") << QByteArray("b k") << 2;
        QTest::newRow("our own glyph characters, one that no key draws")
            << UrduGlyphFont::toDisplay(ShapeUrdu("bab 12") + 'F') << QByteArray("bab 12") << 1;
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
};

QTEST_MAIN(tst_UrduUnicode)
#include "tst_UrduUnicode.moc"
