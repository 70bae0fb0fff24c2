#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace {
const QString Section = QStringLiteral("settings");

QString sectionKey(const QString &key)
{
    return Section + u'/' + key;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The nearest folder on the path that exists, or the thing that stands where a folder
// should be.
QFileInfo nearestExisting(const QString &folder)
{
    QFileInfo info(folder);
    while (!info.exists() && !info.isRoot() && info.absolutePath() != info.absoluteFilePath())
        info.setFile(info.absolutePath());
    return info;
}

// Finds out why the settings file cannot be written, by trying the steps a write takes:
// making its folder, opening the file, and filling a scratch file as large as the new one.
QString whyNotWritable(const QString &fileName)
{
    const QFileInfo file(fileName);
    const QString folder = file.absolutePath();
    if (!QDir().mkpath(folder)) {
        const QFileInfo blocker = nearestExisting(folder);
        if (!blocker.isDir())
            return QStringLiteral("%1 is not a folder").arg(native(blocker.absoluteFilePath()));
        return QStringLiteral("the folder %1 cannot be created").arg(native(folder));
    }
    if (file.exists()) {
        QFile existing(fileName);
        if (!existing.open(QIODevice::ReadWrite))
            return existing.errorString();
    }
    QSaveFile scratch(fileName);
    scratch.setDirectWriteFallback(false);
    if (!scratch.open(QIODevice::WriteOnly))
        return scratch.errorString();
    const QByteArray filler(qMax<qint64>(file.size(), 0) + 4096, ' ');
    const bool written = scratch.write(filler) == filler.size() && scratch.flush();
    const QString reason = scratch.errorString();
    scratch.cancelWriting();
    return written ? QStringLiteral("the file cannot be written") : reason;
}

} // namespace

SettingsStore::SettingsStore()
    : m_open([] {
        return std::make_unique<QSettings>(QStringLiteral("Kalvex"), QStringLiteral("Kalvex"));
    })
    , m_settings(m_open())
{
}

SettingsStore::SettingsStore(const QString &iniFile)
    : m_open([iniFile] { return std::make_unique<QSettings>(iniFile, QSettings::IniFormat); })
    , m_settings(m_open())
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString &key, const QString &defaultValue) const
{
    const QString fullKey = sectionKey(key);
    if (!m_settings->contains(fullKey))
        return defaultValue;
    const QVariant value = m_settings->value(fullKey);
    // A value edited by hand with a comma in it reads as a list; the user meant the text.
    if (value.typeId() == QMetaType::QStringList)
        return rawValue(key).value_or(value.toStringList().join(u','));
    return value.toString();
}

// The text after "=" on the key's line in the settings section, exactly as it stands.
std::optional<QString> SettingsStore::rawValue(const QString &key) const
{
    QFile file(m_settings->fileName());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    bool inSection = false;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        if (line.endsWith(u'\n'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            inSection = trimmed.compare(u'[' + Section + u']', Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inSection && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1);
    }
    return std::nullopt;
}

void SettingsStore::write(const QString &key, const QString &value)
{
    m_settings->setValue(sectionKey(key), value);
}

QStringList SettingsStore::readList(const QString &key) const
{
    return m_settings->value(sectionKey(key)).toStringList();
}

void SettingsStore::writeList(const QString &key, const QStringList &values)
{
    m_settings->setValue(sectionKey(key), values);
}

bool SettingsStore::sync()
{
    // A QSettings keeps reporting its first failure for good. After one, a fresh object on
    // the same file tells whether writing works again; made before the old one goes, it
    // shares the values still waiting to be written.
    if (!m_errorString.isEmpty())
        m_settings = m_open();
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError) {
        m_errorString.clear();
        return true;
    }
    m_errorString = m_settings->status() == QSettings::FormatError
        ? QStringLiteral("%1 is not a settings file").arg(native(m_settings->fileName()))
        : whyNotWritable(m_settings->fileName());
    return false;
}

QString SettingsStore::errorString() const
{
    return m_errorString;
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}
