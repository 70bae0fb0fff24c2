#include "net/WireText.h"

#include <QTest>

class tst_WireText : public QObject
{
    Q_OBJECT

private slots:
    // What the partner receives, and what our own transcript shows of the same bytes.
    void textGoesOutAsWindows1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("readBack");

        QTest::newRow("ASCII") << QStringLiteral("hi there") << QByteArray("hi there")
                               << QStringLiteral("hi there");
        QTest::newRow("Latin letters and the euro sign") << QStringLiteral("J\u00fcrgen \u20ac5")
                                                         << QByteArray("J\xfcrgen \x80"
                                                                       "5")
                                                         << QStringLiteral("J\u00fcrgen \u20ac5");
        QTest::newRow("one ? for each character without a byte")
            << QStringLiteral("a\u4e2d\u6587b") << QByteArray("a??b") << QStringLiteral("a??b");
        QTest::newRow("a character outside the BMP is one ?")
            << QStringLiteral("x\U0001F600y") << QByteArray("x?y") << QStringLiteral("x?y");
        QTest::newRow("a lone surrogate is one ?") << QString(QChar(0xd800)) + QLatin1Char('z')
                                                   << QByteArray("?z") << QStringLiteral("?z");
        QTest::newRow("a real control character 0x1A stays")
            << QStringLiteral("\x1a\u4e2d") << QByteArray("\x1a?") << QStringLiteral("\x1a?");
    }
    void textGoesOutAsWindows1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, wire);
        QFETCH(QString, readBack);
        QCOMPARE(WireText::toWire(text), wire);
        QCOMPARE(WireText::fromWire(wire), readBack);
    }

    // Bytes that Windows-1252 leaves unassigned still come through as one character each.
    void everyByteReadsAsOneCharacter()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < all.size(); ++i)
            all[i] = static_cast<char>(i);
        const QString text = WireText::fromWire(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0x81), QChar(0x81));
        QCOMPARE(text.at(0x80), QChar(0x20ac));
        QCOMPARE(WireText::toWire(text), all);
    }
};

QTEST_GUILESS_MAIN(tst_WireText)
#include "tst_WireText.moc"
