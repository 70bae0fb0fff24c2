#pragma once

#include <QByteArray>
#include <QString>

// Whole files written and read back by the tests.
namespace TestFiles {

// The file's bytes, or "(missing)" when it cannot be read.
QByteArray read(const QString &path);
// Writes content as the whole file and returns its path.
QString write(const QString &path, const QByteArray &content);

} // namespace TestFiles
