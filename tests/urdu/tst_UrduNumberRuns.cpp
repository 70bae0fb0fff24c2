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

    // Glyph caret to shown caret in x321y (run 1..4): the caret between 3 and 2 is shown
    // between 2 and 3 in 123; at the run's edges and outside it nothing moves.
    void caret_data()
    {
        QTest::addColumn<int>("glyphCaret");
        QTest::addColumn<int>("shownCaret");
        const int expected[] = { 0, 1, 3, 2, 4, 5 };
        for (int caret = 0; caret < 6; ++caret)
            QTest::addRow("%d", caret) << caret << expected[caret];
    }
    void caret()
    {
        QFETCH(int, glyphCaret);
        QFETCH(int, shownCaret);
        const QByteArray glyphs("x321y");
        QCOMPARE(UrduNumberRuns::caret(glyphs, glyphCaret), shownCaret);
        QCOMPARE(UrduNumberRuns::caret(UrduNumberRuns::turned(glyphs), shownCaret), glyphCaret);
    }
};

QTEST_MAIN(tst_UrduNumberRuns)
#include "tst_UrduNumberRuns.moc"
