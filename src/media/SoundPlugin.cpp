#include "media/SoundPlugin.h"

#include "media/SoundPlayer.h"

SoundOutput *SoundPlugin::makePlayer(QObject *parent, std::function<void()> beep)
{
    return new SoundPlayer(std::move(beep), parent);
}
