#include "transfer/DownloadFolder.h"

#include "transfer/PlainFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

DownloadFolder::DownloadFolder(const QString &path)
    : m_path(QDir::cleanPath(QDir::fromNativeSeparators(path)))
{
}

// Joined as text: QDir::filePath takes a name beginning with ":" for a resource path and
// returns it alone, which would put the file outside the folder.
QString DownloadFolder::filePath(const QString &name) const
{
    const QString folder = QDir(m_path).path();
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

bool DownloadFolder::holds(const QString &name) const
{
    if (!PlainFileName::problem(name).isEmpty())
        return false;
    const QFileInfo file(filePath(name));
    return file.isFile() && file.isReadable();
}

bool DownloadFolder::save(const QString &name, const QByteArray &data, QString &error) const
{
    error = PlainFileName::problem(name);
    if (!error.isEmpty())
        return false;
    if (!QDir().mkpath(m_path)) {
        error = QStringLiteral("The folder %1 could not be created.")
                    .arg(QDir::toNativeSeparators(m_path));
        return false;
    }
    QSaveFile file(filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
