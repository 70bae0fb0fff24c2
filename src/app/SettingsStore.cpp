#include "app/SettingsStore.h"

#include <QSettings>

namespace {
const QString Section = QStringLiteral("settings");

QString sectionKey(const QString &key)
{
    return Section + u'/' + key;
}
} // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("Kalvex"), QStringLiteral("Kalvex")))
{
}

SettingsStore::SettingsStore(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString &key, const QString &defaultValue) const
{
    const QString fullKey = sectionKey(key);
    if (!m_settings->contains(fullKey))
        return defaultValue;
    return m_settings->value(fullKey).toString();
}

void SettingsStore::write(const QString &key, const QString &value)
{
    m_settings->setValue(sectionKey(key), value);
}

void SettingsStore::sync()
{
    m_settings->sync();
}
