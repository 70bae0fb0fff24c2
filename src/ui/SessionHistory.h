#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class Transcript;
class basMain;

// Keeps every chat session: when one ends, however it ends, its transcript is written as RTF
// to the history folder, one file per session named after its start and the partner's
// nickname. The folder and its files are the user's alone. A session whose transcript could
// not be written stays on screen, and the next session is written after it instead of
// replacing it, so that nothing is lost before a save succeeds.
class SessionHistory final : public QObject
{
    Q_OBJECT

public:
    // "history" in the user's data folder.
    static QString standardFolder();
    // "yyyy-MM-dd HH-mm-ss Nickname.rtf", the nickname made safe as part of a file name.
    static QString fileName(const QDateTime &start, const QString &nickname);

    SessionHistory(
        Transcript &transcript, basMain &program, const QString &folder, QObject *parent = nullptr);

    // True while the transcript holds a session that is not yet in the history: the next
    // session must not clear it.
    bool keepsEarlierText() const { return m_state == State::Unsaved; }
    // A session with this partner has opened in the transcript.
    void sessionOpened(const QString &remoteNickname);
    // The session has ended, or the program ends: the transcript is written when the user
    // keeps a history and holds a session not written yet.
    void sessionEnded();
    // The folder, made when it is not there yet; empty when it cannot be made.
    QString openFolder() const;

private:
    enum class State { Idle, InSession, Unsaved };

    void setState(State state);
    bool write(QString &path, QString &error) const;
    void tellFailure(const QString &error);

    Transcript &m_transcript;
    basMain &m_program;
    QString m_folder;
    QString m_nickname;
    State m_state = State::Idle;
    bool m_failureShown = false;
};
