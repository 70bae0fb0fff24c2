#pragma once

#include <QtPlugin>

#include <functional>

class QObject;
class SoundOutput;

// What the sound module offers the program that loads it (see SoundModule).
class SoundPlayerFactory
{
public:
    virtual ~SoundPlayerFactory() = default;

    // A new player owned by parent, which calls beep for a file it cannot play.
    virtual SoundOutput *makePlayer(QObject *parent, std::function<void()> beep) = 0;
};

#define SoundPlayerFactory_iid "org.kalvex.SoundPlayerFactory/1"
Q_DECLARE_INTERFACE(SoundPlayerFactory, SoundPlayerFactory_iid)
