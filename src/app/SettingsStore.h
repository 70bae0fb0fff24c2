#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

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
    virtual ~SettingsStore();
    Q_DISABLE_COPY_MOVE(SettingsStore)

    QString read(const QString &key, const QString &defaultValue) const;
    virtual void write(const QString &key, const QString &value);
    // A list kept as Qt writes a string list ("a, b, c"); absent, it reads as empty.
    QStringList readList(const QString &key) const;
    void writeList(const QString &key, const QStringList &values);
    // Writes pending values through to the file; false when the file could not be written,
    // with the reason in errorString().
    bool sync();
    QString errorString() const;
    QString fileName() const;

private:
    std::optional<QString> rawValue(const QString &key) const;

    std::function<std::unique_ptr<QSettings>()> m_open;
    std::unique_ptr<QSettings> m_settings;
    QString m_errorString;
};
