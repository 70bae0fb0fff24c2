#pragma once

#include "app/Environment.h"
#include "app/SettingsStore.h"
#include "urdu/UrduScript.h"

#include <QString>
#include <QStringList>

#include <memory>

class ChatSession;
class QObject;
class TransferSession;

// One running copy of the messenger: the identity and address values that the sessions and
// windows read and write, their persistence, the chat and the file transfer sessions, and
// the main window. The program has one; a test may run two side by side, each with its own
// store and environment. The sessions live below the windows; the main window is made
// through the environment, the one place where this core reaches up to the windows.
class basMain
{
public:
    // The sounds PlaySound knows; any other kind plays the error sound.
    enum Sound : int { MessageSound = 0, RequestSound = 1, ErrorSound = 2 };

    explicit basMain(std::unique_ptr<SettingsStore> store, Environment environment);
    ~basMain();

    // The most partner addresses RecentIPs holds.
    static constexpr qsizetype MaxRecentIPs = 10;

    // Reads the five stored values, the recent partners and the history choice, then shows
    // the main window when the environment makes one.
    void Main();
    // Writes the five persisted values, each one even when empty or unchanged, the recent
    // partners and the history choice through to the store. When the store cannot be
    // written the user is told why, once until a later save succeeds again.
    void SaveSettings();
    // Closes the main window, which saves the settings and ends the program; for ends that
    // do not come through the window (signals, the desktop session's end). Runs once.
    void Unload();
    // Puts an address first among the recent partners, taking it out further down; what is
    // neither an IP address nor a host name is left out.
    void rememberPartner(const QString &address);
    // True exactly while the chat socket is connected.
    bool IsConnected() const;
    // Starts the sound of a kind and returns at once.
    void PlaySound(int kind);
    // A message box over the main window, through the desktop seam.
    Desktop::Answer messageBox(const QString &text, Desktop::Icon icon, Desktop::Buttons buttons);

    // The default download folder: the user's download folder on Linux.
    static QString defaultDownloadPath();
    // The download folder for a folder name the user typed: ending in the separator, and
    // the default folder when nothing was typed (not the file system's root).
    static QString downloadFolder(const QString &typed);

    ChatSession &chat() const { return *m_chat; }
    TransferSession &transfer() const { return *m_transfer; }
    // The main window, once Main has shown it.
    QObject *mainWindow() const { return m_mainWindow.get(); }
    const Environment &environment() const { return m_environment; }
    Desktop &desktop() const { return *m_environment.desktop; }

    QString RemoteIP;
    QString RemoteNickname;
    QString RemoteFullName;
    QString RemoteEmail;
    QString RemoteUserIP;
    QString LocalNickname;
    QString LocalFullName;
    QString LocalEmail;
    QString LocalUserIP;
    QString DownloadPath;
    // The partners dialled from the connect dialog or whose call was accepted, newest first.
    QStringList RecentIPs;
    // Whether each session's transcript is written to the history when it ends.
    bool KeepHistory = true;
    // The script Urdu is drawn in.
    UrduScript Script = UrduScript::Naskh;

private:
    std::unique_ptr<SettingsStore> m_store;
    Environment m_environment;
    std::unique_ptr<ChatSession> m_chat;
    std::unique_ptr<TransferSession> m_transfer;
    std::unique_ptr<QObject> m_mainWindow;
    bool m_saveFailureShown = false;
};
