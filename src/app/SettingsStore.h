#pragma once

#include <QString>

#include <memory>

class QSettings;

// The per-user settings store: strings under application "Kalvex", section "settings".
// A key that is absent reads as the given default; a key present with an empty value reads
// as the empty string.
class SettingsStore
{
public:
    // The user's own store ($XDG_CONFIG_HOME/Kalvex/Kalvex.conf on Linux).
    SettingsStore();
    // A store kept in one INI file, for tests.
    explicit SettingsStore(const QString &iniFile);
    ~SettingsStore();
    SettingsStore(SettingsStore &&) noexcept;
    SettingsStore &operator=(SettingsStore &&) noexcept;

    QString read(const QString &key, const QString &defaultValue) const;
    void write(const QString &key, const QString &value);
    // Writes pending values through to the file.
    void sync();

private:
    std::unique_ptr<QSettings> m_settings;
};
