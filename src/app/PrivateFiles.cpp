#include "app/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QFile::Permissions OwnerOnlyFolder
    = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions OwnerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;

QString failure(const QString &path, const QString &reason)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
}

} // namespace

bool PrivateFiles::makeFolder(const QString &folder)
{
    QDir dir;
    if (!dir.mkpath(QFileInfo(folder).path()))
        return false;
    if (!dir.mkdir(folder, OwnerOnlyFolder) && !QFileInfo(folder).isDir())
        return false;
    return QFile::setPermissions(folder, OwnerOnlyFolder);
}

bool PrivateFiles::writeNew(const QString &path, const QByteArray &bytes, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerOnlyFile)) {
        error = failure(path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        error = failure(path, file.errorString());
        file.remove();
        return false;
    }
    return true;
}

bool PrivateFiles::taken(const QString &path)
{
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}
