#pragma once

#include <QString>

// Where the program's data files (the help page, the sounds) are: beside the program in a
// build tree and in the tests, or in share/kalvex beside the bin folder once installed.
class DataFiles
{
public:
    // The file's path for the running program.
    static QString path(const QString &name);
    // The file's path for a program in programFolder: beside it when the file is there,
    // else in the installed place when it is there, else beside it, so that a missing
    // file fails where it was first looked for.
    static QString path(const QString &name, const QString &programFolder);
};
