#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy of the messenger per user. The first copy listens on a local socket whose
// name belongs to the user; a later copy finds it there, asks it to show itself and ends. A
// socket file left behind by a copy that crashed refuses the connection at once and is
// replaced, so the check never waits for a timeout.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // serverName: a socket path, or a bare name that the desktop places in its socket folder.
    explicit SingleInstance(
        const QString &serverName = userServerName(), QObject *parent = nullptr);

    // The user's own socket: in the runtime folder, which only the user may enter
    // (/run/user/UID), or, where there is none, a name that carries the user id.
    static QString userServerName();

    // True when this is the first copy, which from now on hears later ones (and also when no
    // socket can be made at all: the messenger then runs as it would without the check).
    // False when a running copy took the request to show itself.
    bool claim();

signals:
    // A later copy of the same user started: the window should come forward.
    void showRequested();

private:
    bool askRunningCopyToShow() const;
    void server_NewConnection();

    QString m_serverName;
    QLocalServer *m_server = nullptr;
};
