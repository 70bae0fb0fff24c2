#include "transfer/PlainFileName.h"

#include <QTest>

// The name a sender offers is the last part of its path.
class tst_PlainFileName : public QObject
{
    Q_OBJECT

private slots:
    void bareNameIsTheLastPart_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("full path") << u"/home/ali/docs/a.txt"_qs << u"a.txt"_qs;
        QTest::newRow("no folder") << u"a.txt"_qs << u"a.txt"_qs;
        QTest::newRow("blanks and dots kept")
            << u"/tmp/my .report.doc "_qs << u"my .report.doc "_qs;
#ifdef Q_OS_WIN
        QTest::newRow("backslashes") << u"c:\\docs\\a.txt"_qs << u"a.txt"_qs;
#else
        // Here a backslash is part of a name, which the receiver then refuses as a folder.
        QTest::newRow("backslashes") << u"/tmp/c:\\docs\\a.txt"_qs << u"c:\\docs\\a.txt"_qs;
#endif
    }

    void bareNameIsTheLastPart()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(PlainFileName::bareName(path), name);
    }
};

QTEST_GUILESS_MAIN(tst_PlainFileName)
#include "tst_PlainFileName.moc"
