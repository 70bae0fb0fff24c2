#pragma once

#include <QByteArray>
#include <QString>

// Files the program keeps for its user alone, such as transcripts: folders only the user may
// enter, files only the user may read, never written over.
namespace PrivateFiles {

// Makes the folder, and those above it, and lets only the user in; true when it is there.
bool makeFolder(const QString &folder);
// Writes bytes to a new file at path that only the user may read. Nothing that is there
// already, a link included, is replaced: that fails, as any write error does, with the
// reason in error, and a half-written file is removed.
bool writeNew(const QString &path, const QByteArray &bytes, QString &error);
// True when something, even a link to nothing, has this path.
bool taken(const QString &path);

} // namespace PrivateFiles
