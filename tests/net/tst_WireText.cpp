#include "net/WireText.h"

#include <QTest>

class tst_WireText : public QObject
{
    Q_OBJECT

private slots:
    // A character without a Windows-1252 byte goes out as one "?", so the sender's own
    // transcript, which reads back what it sent, shows what the partner sees.
    void characterWithoutByteIsOneQuestionMark_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("beside Latin letters and the euro sign")
            << QStringLiteral("J\u00fcrgen \u20ac\u4e2d\u6587") << QByteArray("J\xfcrgen \x80??");
        QTest::newRow("outside the BMP") << QStringLiteral("x\U0001F600y") << QByteArray("x?y");
        QTest::newRow("a lone surrogate")
            << QString(QChar(0xd800)) + QLatin1Char('z') << QByteArray("?z");
        QTest::newRow("beside a real control character 0x1A")
            << QStringLiteral("\x1a\u4e2d") << QByteArray("\x1a?");
    }
    void characterWithoutByteIsOneQuestionMark()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, wire);
        QCOMPARE(WireText::toWire(text), wire);
    }
};

QTEST_GUILESS_MAIN(tst_WireText)
#include "tst_WireText.moc"
