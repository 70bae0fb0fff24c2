#include "media/SoundPlayer.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

// Which sounds fall back to the desktop's beep. This machine has no sound device, so a
// sound that loads plays silently, and must not beep either.
class tst_SoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void beeps_data()
    {
        QTest::addColumn<QStringList>(
            "files"); // played in order; "missing" and "text" are made here
        QTest::addColumn<int>("beeps");
        QTest::newRow("shipped sounds") << QStringList { QStringLiteral("message.wav"),
            QStringLiteral("request.wav"), QStringLiteral("error.wav") }
                                        << 0;
        QTest::newRow("missing file") << QStringList { QStringLiteral("missing") } << 1;
        QTest::newRow("not a sound") << QStringList { QStringLiteral("text") } << 1;
        QTest::newRow("missing after a sound")
            << QStringList { QStringLiteral("message.wav"), QStringLiteral("missing") } << 1;
    }
    void beeps()
    {
        QFETCH(QStringList, files);
        QFETCH(int, beeps);
        QTemporaryDir dir;
        TestFiles::write(dir.filePath(QStringLiteral("text.wav")), "RIFF, but only in words");
        int beeped = 0;
        SoundPlayer player(nullptr, [&beeped] { ++beeped; });

        for (const QString &file : files) {
            QString path = dir.filePath(file + QStringLiteral(".wav"));
            if (file.endsWith(u".wav"))
                path = QFINDTESTDATA(QStringLiteral("../../src/media/sounds/") + file);
            QVERIFY(!path.isEmpty());
            player.play(path);
            QTest::qWait(200);
        }
        QTRY_COMPARE(beeped, beeps);
        QTest::qWait(100);
        QCOMPARE(beeped, beeps);
    }
};

QTEST_MAIN(tst_SoundPlayer)
#include "tst_SoundPlayer.moc"
