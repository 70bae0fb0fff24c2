#pragma once

#include <QObject>

#include <functional>

class QSoundEffect;

// Plays one WAV file at a time without blocking: a new sound cuts off the one playing.
// A file that is missing, unreadable or not a sound gives the desktop's beep instead;
// a machine without a sound device plays nothing and reports nothing.
class SoundPlayer final : public QObject
{
    Q_OBJECT

public:
    explicit SoundPlayer(QObject *parent = nullptr, std::function<void()> beep = {});

    void play(const QString &path);

private:
    void effect_StatusChanged();

    std::function<void()> m_beep;
    QSoundEffect *m_effect = nullptr;
};
