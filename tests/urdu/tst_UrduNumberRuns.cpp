#include "urdu/UrduNumberRuns.h"

#include <QTest>

// How a glyph text's numbers are shown: each run of digits and separators turned to read left
// to right. Letters are written as x and y, the full stop 160 as \xA0; the carets inside a
// number are tested where the composer shows them.
class tst_UrduNumberRuns : public QObject
{
    Q_OBJECT

private slots:
    void turned()
    {
        const QByteArray glyphs("4202 x21 43y 7654321-0030 03:21 4202/1/13 000,1 41\xA0"
                                "3 41.3 21-x 43/");
        const QByteArray shown("2024 x12 34y 0300-1234567 12:30 31/1/2024 1,000 3\xA0"
                               "14 3.14 12-x 34/");
        QCOMPARE(UrduNumberRuns::turned(glyphs), shown);
        QCOMPARE(UrduNumberRuns::turned(shown), glyphs);
    }
};

QTEST_MAIN(tst_UrduNumberRuns)
#include "tst_UrduNumberRuns.moc"
