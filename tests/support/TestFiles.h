#pragma once

#include <QFile>

// Whole files written and read back by the tests.
namespace TestFiles {

// The file's bytes, or "(missing)" when it cannot be read.
inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Writes content as the whole file and returns its path.
inline QString write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

} // namespace TestFiles
