#include "ui/SessionHistory.h"

#include "app/PrivateFiles.h"
#include "app/basMain.h"
#include "ui/Transcript.h"

#include <QDir>
#include <QLocale>
#include <QStandardPaths>

namespace {

// Enough to tell partners apart, and far below what a file system takes in one name.
constexpr qsizetype MaxNicknameInName = 64;

// The nickname as part of a file name: characters that some file system or file manager
// takes for a folder, a drive, a wildcard or a line end become "_", and blanks and dots
// at either end go, so that no name is hidden or ends in a dot.
QString safeNickname(const QString &nickname)
{
    QString safe = nickname.left(MaxNicknameInName);
    for (QChar &c : safe) {
        if (c.unicode() < 32 || c.unicode() == 127 || c.category() == QChar::Other_Control
            || QStringView(u"/\\:*?\"<>|").contains(c))
            c = u'_';
    }
    qsizetype first = 0;
    qsizetype last = safe.size();
    const auto trimmed = [](QChar c) { return c == u' ' || c == u'.'; };
    while (first < last && trimmed(safe.at(first)))
        ++first;
    while (last > first && trimmed(safe.at(last - 1)))
        --last;
    return safe.mid(first, last - first);
}

} // namespace

QString SessionHistory::standardFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("history"));
}

QString SessionHistory::fileName(const QDateTime &start, const QString &nickname)
{
    QString name = QLocale::c().toString(start, u"yyyy-MM-dd HH-mm-ss");
    const QString partner = safeNickname(nickname);
    if (!partner.isEmpty())
        name += u' ' + partner;
    return name + QStringLiteral(".rtf");
}

SessionHistory::SessionHistory(
    Transcript &transcript, basMain &program, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_transcript(transcript)
    , m_program(program)
    , m_folder(folder)
{
}

void SessionHistory::setState(State state)
{
    m_state = state;
}

void SessionHistory::sessionOpened(const QString &remoteNickname)
{
    m_nickname = remoteNickname;
    setState(State::InSession);
}

void SessionHistory::sessionEnded()
{
    if (m_state == State::Idle)
        return;
    if (!m_program.KeepHistory) {
        setState(State::Idle);
        return;
    }
    QString path;
    QString error;
    if (!write(path, error)) {
        setState(State::Unsaved);
        tellFailure(error);
        return;
    }
    m_failureShown = false;
    setState(State::Idle);
}

QString SessionHistory::openFolder() const
{
    return PrivateFiles::makeFolder(m_folder) ? m_folder : QString();
}

// A session begun in the same second with the same partner gets " (2)", " (3)" and so on.
bool SessionHistory::write(QString &path, QString &error) const
{
    if (!PrivateFiles::makeFolder(m_folder)) {
        error = QDir::toNativeSeparators(m_folder) + QStringLiteral(": the folder cannot be made");
        return false;
    }
    const QString name = fileName(m_transcript.sessionStart(), m_nickname);
    const QString base = QDir(m_folder).filePath(name.chopped(4));
    path = base + QStringLiteral(".rtf");
    for (int copy = 2; PrivateFiles::taken(path); ++copy)
        path = base + QStringLiteral(" (%1).rtf").arg(copy);
    return PrivateFiles::writeNew(path, m_transcript.rtf(), error);
}

// Told once; a later session that is written again makes the next failure worth telling.
void SessionHistory::tellFailure(const QString &error)
{
    if (m_failureShown)
        return;
    m_failureShown = true;
    m_program.messageBox(QStringLiteral("This chat could not be kept in your history:\n%1.\n"
                                        "It stays in the window until it can be.")
                             .arg(error),
        Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
}
