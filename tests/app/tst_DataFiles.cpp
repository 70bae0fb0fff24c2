#include "app/DataFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A program finds its help page and sounds both in a build tree and once installed.
class tst_DataFiles : public QObject
{
    Q_OBJECT

private slots:
    void findsFile_data()
    {
        QTest::addColumn<QStringList>("present"); // relative to the installation's root
        QTest::addColumn<QString>("expected");

        QTest::newRow("build tree") << QStringList { u"bin/help.html"_qs } << u"bin/help.html"_qs;
        QTest::newRow("installed")
            << QStringList { u"share/kalvex/help.html"_qs } << u"share/kalvex/help.html"_qs;
        QTest::newRow("beside wins")
            << QStringList { u"bin/help.html"_qs, u"share/kalvex/help.html"_qs }
            << u"bin/help.html"_qs;
        QTest::newRow("nowhere") << QStringList { u"share/help.html"_qs } << u"bin/help.html"_qs;
    }
    void findsFile()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir rootDir(root.path());
        QVERIFY(rootDir.mkpath(u"bin"_qs));
        for (const QString &file : present) {
            QVERIFY(rootDir.mkpath(QFileInfo(file).path()));
            QFile data(rootDir.filePath(file));
            QVERIFY(data.open(QIODevice::WriteOnly));
        }
        QCOMPARE(DataFiles::path(u"help.html"_qs, rootDir.filePath(u"bin"_qs)),
            rootDir.filePath(expected));
    }
};

QTEST_GUILESS_MAIN(tst_DataFiles)
#include "tst_DataFiles.moc"
