#include "transfer/DownloadFolder.h"

#include "transfer/PlainFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions AnyExecute
    = QFileDevice::ExeOwner | QFileDevice::ExeUser | QFileDevice::ExeGroup | QFileDevice::ExeOther;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

DownloadFolder::DownloadFolder(const QString &path)
    : m_path(QDir::cleanPath(QDir::fromNativeSeparators(path)))
{
}

// Joined as text: QDir::filePath takes a name beginning with ":" for a resource path and
// returns it alone, which would put the file outside the folder.
QString DownloadFolder::filePath(const QString &name) const
{
    const QString folder = QDir(m_path).path();
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

bool DownloadFolder::holds(const QString &name) const
{
    if (!PlainFileName::problem(name).isEmpty())
        return false;
    const QFileInfo entry(filePath(name));
    return entry.isSymLink() || (entry.exists() && !entry.isDir());
}

// A file the user made read-only is kept, as the user asked of it.
bool DownloadFolder::save(const QString &name, const QByteArray &data, QString &error) const
{
    error = PlainFileName::problem(name);
    if (!error.isEmpty())
        return false;
    if (!QDir().mkpath(m_path)) {
        error = QStringLiteral("The folder %1 could not be created.")
                    .arg(QDir::toNativeSeparators(m_path));
        return false;
    }
    const QFileInfo target(filePath(name));
    if (!target.isSymLink() && target.exists() && !target.isWritable()) {
        error = QStringLiteral("The file is read-only.");
        return false;
    }
    return replace(target, data, error);
}

// The part is made anew (O_EXCL: never an entry someone placed there, never through a link),
// with the user's umask and no execute bit; a file it replaces passes on its permissions,
// less any execute bit. rename(2) then gives it the target's name in one step, replacing
// whatever had the name, a symbolic link itself included, without following it.
bool DownloadFolder::replace(const QFileInfo &target, const QByteArray &data, QString &error) const
{
    QFile part(
        filePath(QStringLiteral(".kalvex-%1.part")
                     .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))));
    if (!part.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        error = part.errorString();
        return false;
    }
    const auto fail = [&](const QString &reason) {
        error = reason;
        part.remove();
        return false;
    };
    if (part.write(data) != data.size() || !part.flush())
        return fail(part.errorString());
    if (!target.isSymLink() && target.isFile()
        && !part.setPermissions(target.permissions() & ~AnyExecute))
        return fail(part.errorString());
    // On the disk before it takes the name, so that a crash cannot leave an empty file there.
    if (::fsync(part.handle()) != 0)
        return fail(systemError());
    part.close();
    if (std::rename(QFile::encodeName(part.fileName()).constData(),
            QFile::encodeName(target.filePath()).constData())
        != 0)
        return fail(systemError());
    return true;
}
