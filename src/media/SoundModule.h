#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class SoundOutput;

// Plays the notification sounds through the sound module, which it loads when the first
// sound plays: the module links Qt Multimedia, and with it the audio server's client and its
// codecs, which a start that plays no sound never needs. Without the module every sound is
// the beep.
class SoundModule final : public QObject
{
    Q_OBJECT

public:
    // moduleFile: the module's path, installedFile() unless a test names another; beep: the
    // desktop's beep unless a test counts them.
    explicit SoundModule(QObject *parent = nullptr, const QString &moduleFile = installedFile(),
        std::function<void()> beep = {});

    // The module in the program's module folder, found from the program's own file, never
    // from the environment: the program may run with a right its user lacks.
    static QString installedFile();

    // Starts playing a WAV file and returns at once (see Desktop::playSound).
    void play(const QString &path);

private:
    SoundOutput *loadPlayer();

    QString m_moduleFile;
    std::function<void()> m_beep;
    // Empty until the first sound; then the module's player, or null when the module could
    // not be loaded (it is not tried again).
    std::optional<SoundOutput *> m_player;
};
