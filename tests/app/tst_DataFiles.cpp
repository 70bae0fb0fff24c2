#include "app/DataFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// A program finds its help page and sounds both in a build tree and once installed.
class tst_DataFiles : public QObject
{
    Q_OBJECT

private slots:
    void findsFile_data()
    {
        QTest::addColumn<QString>("present"); // relative to the installation's root
        QTest::addColumn<QString>("found");
        QTest::newRow("build tree")
            << QStringLiteral("bin/help.html") << QStringLiteral("bin/help.html");
        QTest::newRow("installed")
            << QStringLiteral("share/kalvex/help.html") << QStringLiteral("share/kalvex/help.html");
        QTest::newRow("both") << QStringLiteral("bin/help.html share/kalvex/help.html")
                              << QStringLiteral("bin/help.html");
        QTest::newRow("nowhere") << QStringLiteral("share/help.html")
                                 << QStringLiteral("bin/help.html");
    }
    void findsFile()
    {
        QFETCH(QString, present);
        QFETCH(QString, found);
        QTemporaryDir root;
        const QDir rootDir(root.path());
        QVERIFY(rootDir.mkpath(QStringLiteral("bin")));
        for (const QString &file : present.split(u' ')) {
            QVERIFY(rootDir.mkpath(QFileInfo(file).path()));
            QVERIFY(QFile(rootDir.filePath(file)).open(QIODevice::WriteOnly));
        }
        QCOMPARE(
            DataFiles::path(QStringLiteral("help.html"), rootDir.filePath(QStringLiteral("bin"))),
            rootDir.filePath(found));
    }
};

QTEST_GUILESS_MAIN(tst_DataFiles)
#include "tst_DataFiles.moc"
