#pragma once

#include <QByteArray>
#include <QString>

// The folder where received files are stored. A file is written whole under a temporary
// name beside its target and takes the target's place only when complete, so a failed save
// leaves a file of that name as it was.
class DownloadFolder
{
public:
    // path: the folder, with or without a trailing separator.
    explicit DownloadFolder(const QString &path);

    // True when the folder holds a file of that plain name whose length can be read.
    bool holds(const QString &name) const;
    // Stores data under a plain name, creating the folder with all missing levels first.
    // False, with the reason in error, when it could not be stored.
    bool save(const QString &name, const QByteArray &data, QString &error) const;
    QString filePath(const QString &name) const;

private:
    QString m_path;
};
