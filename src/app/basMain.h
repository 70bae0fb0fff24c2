#pragma once

#include "app/Environment.h"
#include "app/SettingsStore.h"

#include <QString>

#include <memory>

class QObject;

// One running copy of the messenger: the identity and address values that every window
// reads and writes, their persistence, and the main window. The program has one; a test
// may run two side by side, each with its own store and environment.
class basMain
{
public:
    explicit basMain(std::unique_ptr<SettingsStore> store = std::make_unique<SettingsStore>(),
        Environment environment = {});
    ~basMain();

    // Reads the five stored values, then shows the main window.
    void Main();
    // Writes the five persisted values, each one even when empty or unchanged, through to
    // the store. When the store cannot be written the user is told why, once until a
    // later save succeeds again.
    void SaveSettings();
    // Closes the main window, which saves the settings and ends the program; for ends that
    // do not come through the window (signals, the desktop session's end). Runs once.
    void Unload();
    // True exactly while the chat socket is connected.
    bool IsConnected() const;
    // Starts the sound of a kind and returns at once: 0 a message, 1 a request, any
    // other kind an error.
    void PlaySound(int kind);

    // The default download folder: the user's download folder on Linux.
    static QString defaultDownloadPath();
    // The download folder for a folder name the user typed: ending in the separator, and
    // the default folder when nothing was typed (not the file system's root).
    static QString downloadFolder(const QString &typed);

    // The main window, once Main has shown it.
    QObject *mainWindow() const { return m_mainWindow.get(); }
    const Environment &environment() const { return m_environment; }

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

private:
    std::unique_ptr<SettingsStore> m_store;
    Environment m_environment;
    std::unique_ptr<QObject> m_mainWindow;
    bool m_saveFailureShown = false;
};
