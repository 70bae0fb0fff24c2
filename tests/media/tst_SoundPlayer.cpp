#include "media/SoundModule.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

// Which sounds fall back to the beep, played through the sound module as the program plays
// them; without a sound device, one that loads plays silently.
class tst_SoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void beeps_data()
    {
        QTest::addColumn<QString>("files"); // played in order; "missing" and "text" made here
        QTest::addColumn<bool>("moduleThere");
        QTest::addColumn<int>("beeps");
        QTest::newRow("shipped sounds")
            << QStringLiteral("message.wav request.wav error.wav") << true << 0;
        QTest::newRow("missing file") << QStringLiteral("missing") << true << 1;
        QTest::newRow("not a sound, twice") << QStringLiteral("text text") << true << 2;
        QTest::newRow("no sound module")
            << QStringLiteral("message.wav request.wav error.wav") << false << 3;
    }
    void beeps()
    {
        QFETCH(QString, files);
        QFETCH(bool, moduleThere);
        QFETCH(int, beeps);
        QTemporaryDir dir;
        TestFiles::write(dir.filePath(QStringLiteral("text.wav")), "RIFF, but only in words");
        int beeped = 0;
        const QString module = moduleThere ? SoundModule::installedFile()
                                           : dir.filePath(QStringLiteral("kalvex_sound.so"));
        SoundModule sounds(nullptr, module, [&beeped] { ++beeped; });
        for (const QString &file : files.split(u' ')) {
            const QString path = file.endsWith(u".wav")
                ? QFINDTESTDATA(QStringLiteral("../../src/media/sounds/") + file)
                : dir.filePath(file + QStringLiteral(".wav"));
            sounds.play(path);
            waitForEffectLoaded(sounds);
        }
        QCOMPARE(beeped, beeps);
    }

private:
    // The module's sound effect, found by its class name since the tests do not link the
    // multimedia library, has loaded its file or failed to.
    static void waitForEffectLoaded(const QObject &sounds)
    {
        for (const QObject *child : sounds.findChildren<QObject *>()) {
            if (child->inherits("QSoundEffect")) {
                QTRY_VERIFY(QStringList({ QStringLiteral("Ready"), QStringLiteral("Error") })
                                .contains(child->property("status").toString()));
            }
        }
    }
};

QTEST_MAIN(tst_SoundPlayer)
#include "tst_SoundPlayer.moc"
