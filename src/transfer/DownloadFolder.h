#pragma once

#include <QByteArray>
#include <QString>

class QFileInfo;

// The folder where received files are stored. A file is written whole under a temporary
// name beside its target and takes the target's place only when complete, so a failed save
// leaves a file of that name as it was. A symbolic link in the folder is an entry like any
// other: it is replaced, never written through, whether or not its target exists.
class DownloadFolder
{
public:
    // path: the folder, with or without a trailing separator.
    explicit DownloadFolder(const QString &path);

    // True when the folder holds an entry of that plain name other than a folder: a file,
    // or a symbolic link wherever it points.
    bool holds(const QString &name) const;
    // Stores data under a plain name, creating the folder with all missing levels first.
    // The stored file is never executable. False, with the reason in error, when it could
    // not be stored.
    bool save(const QString &name, const QByteArray &data, QString &error) const;
    QString filePath(const QString &name) const;

private:
    bool replace(const QFileInfo &target, const QByteArray &data, QString &error) const;

    QString m_path;
};
