#pragma once

#include <QDateTime>
#include <QString>

class QTextDocument;

// Keeps a long session's transcript within bounds without losing any of it: once the
// document holds more than its limits allow, its older half is written as RTF to a part file
// of the session and removed from the document. Parts are named after the session's start
// and numbered from 1, in a folder only the user may enter, each readable by the user alone.
class TranscriptArchive final
{
public:
    struct Limits
    {
        int paragraphs;
        int characters;
    };
    // Far above a day of chat, and low enough that a partner sending flat out cannot take
    // the messenger near 300 MB (two paragraphs and about 1.6 kB a message on screen).
    static constexpr Limits StandardLimits { 40000, 2000000 };

    // "transcripts" in the user's data folder.
    static QString standardFolder();

    TranscriptArchive(QTextDocument &document, const QString &folder, Limits limits);

    // Parts that follow are this session's, numbered from 1; after a failed write, moving
    // text out is tried again.
    void beginSession(const QDateTime &start);
    // The document has outgrown its limits and its older half is to be moved out.
    bool isFull() const;
    // Writes the older half of the document to the next part file and removes it. The cut
    // falls before a paragraph that starts at the margin, so a message goes whole with its
    // header (bodies keep off the margin). Returns the file's path; an empty one when the
    // file could not be written, with the reason in error: the document is then left whole
    // and nothing more is moved out in this session.
    QString moveOlderHalfOut(QString &error);

private:
    enum class State { Bounded, Unbounded };

    void setState(State state);
    int olderHalfEnd() const;
    QString nextPartPath();
    bool writePart(const QString &path, int end, QString &error) const;

    QTextDocument &m_document;
    QString m_folder;
    Limits m_limits;
    QDateTime m_sessionStart;
    int m_part = 0;
    State m_state = State::Bounded;
};
