#include "transfer/PlainFileName.h"

#include <algorithm>

namespace {

// Folder separators of the platform: both kinds on Windows, "/" elsewhere.
bool isSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\';
#else
    return c == u'/';
#endif
}

bool namesDrive(const QString &name)
{
    return name.size() >= 2 && name.at(1) == u':' && name.at(0).isLetter()
        && name.at(0).unicode() < 128;
}

bool holdsControlCharacter(const QString &name)
{
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() < 32 || c.unicode() == 127 || c.category() == QChar::Other_Control;
    });
}

} // namespace

QString PlainFileName::bareName(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i)))
            return path.mid(i + 1);
    }
    return path;
}

QString PlainFileName::problem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("The name is empty.");
    // Both separators count everywhere: a name made on another system must not become a
    // path on this one.
    if (name.contains(u'/') || name.contains(u'\\'))
        return QStringLiteral("The name holds a folder.");
    if (namesDrive(name))
        return QStringLiteral("The name holds a drive.");
    if (name == u"." || name == u"..")
        return QStringLiteral("The name stands for a folder.");
    if (holdsControlCharacter(name))
        return QStringLiteral("The name holds control characters.");
    if (name.toUtf8().size() > MaxBytes)
        return QStringLiteral("The name is too long.");
    return {};
}
