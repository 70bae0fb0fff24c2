#include "resources/StringTable.h"

#include <QTest>

class tst_StringTable : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 101 << QStringLiteral("Closed.");
        QTest::newRow("state 2") << 103 << QStringLiteral("Listening...");
        QTest::newRow("trailing blank kept") << 113 << QStringLiteral("IP Address : ");
        QTest::newRow("ampersand") << 124 << QStringLiteral("Cancel File &Transfer");
        QTest::newRow("quote") << 121 << QStringLiteral("Please Select an 'Qirtas' Font.");
        QTest::newRow("last") << 130 << QStringLiteral("is reset.");
        QTest::newRow("below the table") << 100 << QString();
        QTest::newRow("above the table") << 131 << QString();
    }
    void lookup()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        QCOMPARE(StringTable::text(id), text);
    }
    void everyIdPresent()
    {
        for (int id = 101; id <= 130; ++id)
            QVERIFY2(!StringTable::text(id).isEmpty(), qPrintable(QString::number(id)));
    }
};

QTEST_GUILESS_MAIN(tst_StringTable)
#include "tst_StringTable.moc"
