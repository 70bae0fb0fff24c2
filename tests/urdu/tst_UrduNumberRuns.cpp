#include "urdu/UrduNumberRuns.h"

#include <QTest>

// Glyph texts are written with x and y for letters: only digits, separators and the
// full stop (160, written \xA0) matter to number runs.
class tst_UrduNumberRuns : public QObject
{
    Q_OBJECT

private slots:
    // How a glyph text's numbers are shown: each run turned to read left to right; the
    // carets inside a number are tested where the composer shows them.
    void turned_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("year, and a number parted by a space")
            << QByteArray("4202 x21 43y") << QByteArray("2024 x12 34y");
        QTest::newRow("phone") << QByteArray("7654321-0030") << QByteArray("0300-1234567");
        QTest::newRow("time") << QByteArray("03:21") << QByteArray("12:30");
        QTest::newRow("date") << QByteArray("4202/1/13") << QByteArray("31/1/2024");
        QTest::newRow("comma") << QByteArray("000,1") << QByteArray("1,000");
        QTest::newRow("both full stops") << QByteArray("41\xA0"
                                                       "3 41.3")
                                         << QByteArray("3\xA0"
                                                       "14 3.14");
        QTest::newRow("separator after a number")
            << QByteArray("21-x 43/") << QByteArray("12-x 34/");
    }
    void turned()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(QByteArray, shown);
        QCOMPARE(UrduNumberRuns::turned(glyphs), shown);
        QCOMPARE(UrduNumberRuns::turned(shown), glyphs);
    }
};

QTEST_MAIN(tst_UrduNumberRuns)
#include "tst_UrduNumberRuns.moc"
