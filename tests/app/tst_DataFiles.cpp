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

        QTest::newRow("build tree")
            << QStringList { QStringLiteral("bin/help.html") } << QStringLiteral("bin/help.html");
        QTest::newRow("installed") << QStringList { QStringLiteral("share/kalvex/help.html") }
                                   << QStringLiteral("share/kalvex/help.html");
        QTest::newRow("beside wins") << QStringList { QStringLiteral("bin/help.html"),
            QStringLiteral("share/kalvex/help.html") }
                                     << QStringLiteral("bin/help.html");
        QTest::newRow("nowhere") << QStringList { QStringLiteral("share/help.html") }
                                 << QStringLiteral("bin/help.html");
    }
    void findsFile()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir rootDir(root.path());
        QVERIFY(rootDir.mkpath(QStringLiteral("bin")));
        for (const QString &file : present) {
            QVERIFY(rootDir.mkpath(QFileInfo(file).path()));
            QFile data(rootDir.filePath(file));
            QVERIFY(data.open(QIODevice::WriteOnly));
        }
        QCOMPARE(
            DataFiles::path(QStringLiteral("help.html"), rootDir.filePath(QStringLiteral("bin"))),
            rootDir.filePath(expected));
    }
};

QTEST_GUILESS_MAIN(tst_DataFiles)
#include "tst_DataFiles.moc"
