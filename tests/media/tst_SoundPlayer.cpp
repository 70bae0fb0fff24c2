#include "media/SoundPlayer.h"
#include "support/TestFiles.h"

#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTest>

// Which sounds fall back to the beep; without a sound device, one that loads plays silently.
class tst_SoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void beeps_data()
    {
        QTest::addColumn<QString>("files"); // played in order; "missing" and "text" made here
        QTest::addColumn<int>("beeps");
        QTest::newRow("shipped sounds") << QStringLiteral("message.wav request.wav error.wav") << 0;
        QTest::newRow("missing file") << QStringLiteral("missing") << 1;
        QTest::newRow("not a sound, twice") << QStringLiteral("text text") << 2;
    }
    void beeps()
    {
        QFETCH(QString, files);
        QFETCH(int, beeps);
        QTemporaryDir dir;
        TestFiles::write(dir.filePath(QStringLiteral("text.wav")), "RIFF, but only in words");
        int beeped = 0;
        SoundPlayer player(nullptr, [&beeped] { ++beeped; });
        for (const QString &file : files.split(u' ')) {
            const QString path = file.endsWith(u".wav")
                ? QFINDTESTDATA(QStringLiteral("../../src/media/sounds/") + file)
                : dir.filePath(file + QStringLiteral(".wav"));
            player.play(path);
            if (auto *effect = player.findChild<QSoundEffect *>()) {
                QTRY_VERIFY(effect->status() == QSoundEffect::Ready
                    || effect->status() == QSoundEffect::Error);
            }
        }
        QCOMPARE(beeped, beeps);
    }
};

QTEST_MAIN(tst_SoundPlayer)
#include "tst_SoundPlayer.moc"
