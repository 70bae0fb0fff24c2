#include "app/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString DataFiles::path(const QString &name)
{
    return path(name, QCoreApplication::applicationDirPath());
}

QString DataFiles::path(const QString &name, const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString beside = folder.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed
        = QDir::cleanPath(folder.filePath(QStringLiteral("../share/kalvex/") + name));
    return QFileInfo::exists(installed) ? installed : beside;
}
