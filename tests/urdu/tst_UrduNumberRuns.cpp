#include "urdu/UrduNumberRuns.h"

#include <QTest>

// Glyph texts are written with x and y for letters: only digits, separators and the
// full stop (160, written \xA0) matter to number runs.
class tst_UrduNumberRuns : public QObject
{
    Q_OBJECT

private slots:
    // How a glyph text's numbers are shown: each run turned to read left to right.
    void turned_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("one digit") << QByteArray("x5y") << QByteArray("x5y");
        QTest::newRow("year") << QByteArray("4202 xy") << QByteArray("2024 xy");
        QTest::newRow("phone") << QByteArray("7654321-0030") << QByteArray("0300-1234567");
        QTest::newRow("time") << QByteArray("03:21") << QByteArray("12:30");
        QTest::newRow("decimal full stop") << QByteArray("41\xA0"
                                                         "3")
                                           << QByteArray("3\xA0"
                                                         "14");
        QTest::newRow("space parts") << QByteArray("x21 43y") << QByteArray("x12 34y");
    }
    void turned()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(QByteArray, shown);
        QCOMPARE(UrduNumberRuns::turned(glyphs), shown);
        QCOMPARE(UrduNumberRuns::turned(shown), glyphs);
    }

    // Glyph caret to shown caret: between two digits of a run it moves to where the same two
    // digits meet once the run is turned (in x321y, between 3 and 2 is shown between 2 and 3
    // in 123); at a run's edges and outside runs nothing moves.
    void caret_data()
    {
        QTest::addColumn<QByteArray>("glyphs");
        QTest::addColumn<int>("glyphCaret");
        QTest::addColumn<int>("shownCaret");
        const int expected[] = { 0, 1, 3, 2, 4, 5 };
        for (int caret = 0; caret < 6; ++caret)
            QTest::addRow("x321y at %d", caret) << QByteArray("x321y") << caret << expected[caret];
        QTest::newRow("second of two runs") << QByteArray("x21 543y") << 6 << 5;
    }
    void caret()
    {
        QFETCH(QByteArray, glyphs);
        QFETCH(int, glyphCaret);
        QFETCH(int, shownCaret);
        QCOMPARE(UrduNumberRuns::caret(glyphs, glyphCaret), shownCaret);
        QCOMPARE(UrduNumberRuns::caret(UrduNumberRuns::turned(glyphs), shownCaret), glyphCaret);
    }
};

QTEST_MAIN(tst_UrduNumberRuns)
#include "tst_UrduNumberRuns.moc"
