#pragma once

#include <QString>

// File names that cross the file connection. A sender offers only the last part of its
// path; a receiver stores a file only under a name that cannot reach outside its download
// folder, whatever the partner or the user typed.
class PlainFileName
{
public:
    // Longest name in bytes (UTF-8) that common file systems take.
    static constexpr qsizetype MaxBytes = 255;

    // The part of a path after its last folder separator; all of it when there is none.
    static QString bareName(const QString &path);
    // Why name cannot be used as a file name inside a folder, as a sentence for the user;
    // empty when it can.
    static QString problem(const QString &name);
};
