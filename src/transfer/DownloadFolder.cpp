#include "transfer/DownloadFolder.h"

#include "transfer/PlainFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

DownloadFolder::DownloadFolder(const QString &path)
    : m_path(QDir::cleanPath(QDir::fromNativeSeparators(path)))
{
}

QString DownloadFolder::filePath(const QString &name) const
{
    return QDir(m_path).filePath(name);
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
