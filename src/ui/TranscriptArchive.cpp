#include "ui/TranscriptArchive.h"

#include "app/PrivateFiles.h"
#include "ui/RtfWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {

QString failure(const QString &path, const QString &reason)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
}

} // namespace

QString TranscriptArchive::standardFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("transcripts"));
}

TranscriptArchive::TranscriptArchive(QTextDocument &document, const QString &folder, Limits limits)
    : m_document(document)
    , m_folder(folder)
    , m_limits(limits)
{
}

void TranscriptArchive::beginSession(const QDateTime &start)
{
    m_sessionStart = start;
    m_part = 0;
    setState(State::Bounded);
}

bool TranscriptArchive::isFull() const
{
    // A single paragraph cannot be halved; a message body is far below any limit.
    return m_state == State::Bounded && m_document.blockCount() > 1
        && (m_document.blockCount() > m_limits.paragraphs
            || m_document.characterCount() > m_limits.characters);
}

QString TranscriptArchive::moveOlderHalfOut(QString &error)
{
    const int end = olderHalfEnd();
    if (!PrivateFiles::makeFolder(m_folder)) {
        error = failure(m_folder, QStringLiteral("the folder cannot be made"));
        setState(State::Unbounded);
        return {};
    }
    const QString path = nextPartPath();
    if (!writePart(path, end, error)) {
        setState(State::Unbounded);
        return {};
    }
    QTextCursor older(&m_document);
    older.setPosition(end, QTextCursor::KeepAnchor);
    older.removeSelectedText();
    return path;
}

void TranscriptArchive::setState(State state)
{
    m_state = state;
}

// Past the later of the middle paragraph and the one holding the middle character, so that
// both measures fall to about half, up to the next paragraph that starts at the margin.
int TranscriptArchive::olderHalfEnd() const
{
    const QTextBlock byParagraphs = m_document.findBlockByNumber(m_document.blockCount() / 2);
    const QTextBlock byCharacters = m_document.findBlock(m_document.characterCount() / 2);
    QTextBlock block
        = byParagraphs.position() > byCharacters.position() ? byParagraphs : byCharacters;
    while (block.isValid() && block.blockFormat().leftMargin() > 0)
        block = block.next();
    return block.isValid() ? block.position() : m_document.lastBlock().position();
}

// A part already there, of an earlier run begun in the same second, is never written over.
QString TranscriptArchive::nextPartPath()
{
    const QString session = QLocale::c().toString(m_sessionStart, u"yyyy-MM-dd_HH-mm-ss");
    QString path;
    do {
        ++m_part;
        path = QDir(m_folder).filePath(session + QStringLiteral("_part%1.rtf").arg(m_part));
    } while (PrivateFiles::taken(path));
    return path;
}

bool TranscriptArchive::writePart(const QString &path, int end, QString &error) const
{
    // The part is the document up to the line break before end.
    QTextCursor older(&m_document);
    older.setPosition(end - 1, QTextCursor::KeepAnchor);
    QTextDocument part;
    part.setDefaultFont(m_document.defaultFont());
    QTextCursor(&part).insertFragment(QTextDocumentFragment(older));
    return PrivateFiles::writeNew(path, RtfWriter::write(part), error);
}
