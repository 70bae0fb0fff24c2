#pragma once

#include "media/SoundOutput.h"

#include <QObject>

#include <functional>

class QSoundEffect;

// Plays one WAV file at a time without blocking: a new sound cuts off the one playing.
// A file that is missing, unreadable or not a sound gives the beep instead; a machine
// without a sound device plays nothing and reports nothing. It lives in the sound module,
// the one part of the program that links Qt Multimedia.
class SoundPlayer final : public QObject, public SoundOutput
{
    Q_OBJECT

public:
    SoundPlayer(std::function<void()> beep, QObject *parent);

    void play(const QString &path) override;

private:
    void effect_StatusChanged();

    std::function<void()> m_beep;
    QSoundEffect *m_effect = nullptr;
};
