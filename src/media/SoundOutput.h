#pragma once

class QString;

// Something that plays the notification sounds: the player inside the sound module, as the
// program sees it without linking the libraries that player needs.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;

    // Starts playing a WAV file and returns at once; a new sound cuts off the one playing.
    virtual void play(const QString &path) = 0;
};
