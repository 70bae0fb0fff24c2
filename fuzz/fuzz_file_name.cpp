// The offered-name check and the download folder: whatever name a partner offers or a user
// types, one that passes the check is stored inside the folder and nowhere else.
#include "FuzzCheck.h"
#include "net/WireText.h"
#include "transfer/DownloadFolder.h"
#include "transfer/PlainFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// A name as it reaches the check: off the wire in Windows-1252, typed (any UTF-16), or
// from a path in UTF-8.
QString nameFrom(const uint8_t *data, size_t size)
{
    if (size == 0)
        return {};
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    switch (data[0] % 3) {
    case 0:
        return WireText::fromWire(bytes);
    case 1:
        return QString::fromUtf8(bytes);
    default:
        return QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);
    }
}

void checkBareName(const QString &path)
{
    const QString bare = PlainFileName::bareName(path);
    FUZZ_CHECK(path.endsWith(bare));
    FUZZ_CHECK(!bare.contains(u'/'));
    FUZZ_CHECK(path.contains(u'/') || bare == path);
}

// The joined path, resolved as the file system would, names an entry of the folder itself.
void checkStaysInside(const QString &folderPath, const QString &name)
{
    const QString joined = DownloadFolder(folderPath).filePath(name);
    const QFileInfo resolved(QDir::cleanPath(QFileInfo(joined).absoluteFilePath()));
    FUZZ_CHECK(
        resolved.absolutePath() == QDir::cleanPath(QFileInfo(folderPath).absoluteFilePath()));
    // A name the file system cannot spell (lone surrogates) is stored under some other spelling.
    FUZZ_CHECK(resolved.fileName() == name || !name.isValidUtf16());
}

// A real save into an empty folder leaves exactly one entry there and nothing beside it. The
// folder lives in one temporary folder for the whole run and is emptied after each save.
void checkSavedInside(const QString &name)
{
    static const QTemporaryDir parent;
    FUZZ_CHECK(parent.isValid());
    const QString folderPath = parent.filePath(QStringLiteral("Downloads"));
    QString error;
    if (!DownloadFolder(folderPath).save(name, "content", error))
        return;
    const auto entries = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    FUZZ_CHECK(
        QDir(parent.path()).entryList(entries) == QStringList { QStringLiteral("Downloads") });
    QDir folder(folderPath);
    FUZZ_CHECK(folder.entryList(entries).size() == 1);
    FUZZ_CHECK(folder.removeRecursively());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = nameFrom(data, size);
    checkBareName(path);
    const QString name = PlainFileName::bareName(path);
    if (!PlainFileName::problem(path).isEmpty() && !PlainFileName::problem(name).isEmpty())
        return 0;
    for (const QString &candidate : { path, name }) {
        if (!PlainFileName::problem(candidate).isEmpty())
            continue;
        checkStaysInside(QStringLiteral("/tmp/kalvex-fuzz/Downloads"), candidate);
        checkStaysInside(QStringLiteral("Downloads/"), candidate);
        checkSavedInside(candidate);
    }
    return 0;
}
