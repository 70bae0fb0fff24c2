#include "support/TestFiles.h"
#include "transfer/DownloadFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_DownloadFolder : public QObject
{
    Q_OBJECT

private slots:
    // Any plain name a partner may offer is stored inside the folder under that very name,
    // and nothing is written beside the folder.
    void plainNamesAreStoredInside_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("ordinary") << QStringLiteral("notes.txt");
        QTest::newRow("leading colon") << QStringLiteral(":notes.txt");
        QTest::newRow("colon alone") << QStringLiteral(":");
        QTest::newRow("dots") << QStringLiteral("...");
    }
    void plainNamesAreStoredInside()
    {
        QFETCH(QString, name);
        const QTemporaryDir parent;
        const QString path = parent.filePath(QStringLiteral("Downloads"));
        const DownloadFolder folder(path);
        QString error;
        QVERIFY2(folder.save(name, "content", error), qPrintable(error));
        QVERIFY(folder.holds(name));
        const auto entries = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
        QCOMPARE(
            QDir(parent.path()).entryList(entries), QStringList { QStringLiteral("Downloads") });
        QCOMPARE(QDir(path).entryList(entries), QStringList { name });
        QCOMPARE(TestFiles::read(path + u'/' + name), QByteArray("content"));
    }
};

QTEST_GUILESS_MAIN(tst_DownloadFolder)
#include "tst_DownloadFolder.moc"
