#include "media/SoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

SoundPlayer::SoundPlayer(std::function<void()> beep, QObject *parent)
    : QObject(parent)
    , m_beep(std::move(beep))
{
}

void SoundPlayer::play(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable()) {
        m_beep();
        return;
    }
    // One effect for every sound: stopping it before the new source cuts off the old one.
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        connect(m_effect, &QSoundEffect::statusChanged, this, &SoundPlayer::effect_StatusChanged);
    }
    const QUrl source = QUrl::fromLocalFile(file.absoluteFilePath());
    // The same source again is not loaded again, so its earlier failure is all we learn.
    if (m_effect->source() == source && m_effect->status() == QSoundEffect::Error) {
        m_beep();
        return;
    }
    m_effect->stop();
    m_effect->setSource(source);
    m_effect->play();
}

// Loading fails only for a file that is not a sound Qt can play; without a sound device
// the effect still loads and plays silently, so this does not beep then.
void SoundPlayer::effect_StatusChanged()
{
    if (m_effect->status() == QSoundEffect::Error)
        m_beep();
}
