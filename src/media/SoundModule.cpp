#include "media/SoundModule.h"

#include "media/SoundOutput.h"
#include "media/SoundPlayerFactory.h"

#include <QApplication>
#include <QDir>
#include <QPluginLoader>

SoundModule::SoundModule(QObject *parent, const QString &moduleFile, std::function<void()> beep)
    : QObject(parent)
    , m_moduleFile(moduleFile)
    , m_beep(beep ? std::move(beep) : std::function<void()>(&QApplication::beep))
{
}

QString SoundModule::installedFile()
{
    // KALVEX_SOUND_MODULE: the module's path from the program's folder, the same in the build
    // tree and installed.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    return QDir::cleanPath(programFolder.filePath(QStringLiteral(KALVEX_SOUND_MODULE)));
}

void SoundModule::play(const QString &path)
{
    if (!m_player)
        m_player = loadPlayer();
    if (*m_player)
        (*m_player)->play(path);
    else
        m_beep();
}

// The loader may go: the module stays loaded until the program ends.
SoundOutput *SoundModule::loadPlayer()
{
    QPluginLoader loader(m_moduleFile);
    auto *factory = qobject_cast<SoundPlayerFactory *>(loader.instance());
    if (!factory) {
        qWarning("No sound module, sounds are the beep: %s", qPrintable(loader.errorString()));
        return nullptr;
    }
    return factory->makePlayer(this, m_beep);
}
