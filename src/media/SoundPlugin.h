#pragma once

#include "media/SoundPlayerFactory.h"

#include <QObject>

// The sound module's entry: the one object Qt's plugin loader makes from the module file.
class SoundPlugin final : public QObject, public SoundPlayerFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoundPlayerFactory_iid)
    Q_INTERFACES(SoundPlayerFactory)

public:
    SoundOutput *makePlayer(QObject *parent, std::function<void()> beep) override;
};
