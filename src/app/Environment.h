#pragma once

#include "app/Desktop.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QSystemTrayIcon>

#include <functional>

// What a running copy of the messenger is wired to. The program always uses the defaults;
// tests bind two copies to 127.0.0.1 and 127.0.0.2 on unprivileged ports, script the
// desktop and keep the process alive at exit. Nothing here is a user setting.
struct Environment
{
    static constexpr quint16 ChatPort = 786;
    static constexpr quint16 FilePort = 821;

    QHostAddress bindAddress { QHostAddress::Any };
    quint16 chatPort = ChatPort;
    quint16 filePort = FilePort;
    Desktop *desktop = &Desktop::system();
    std::function<bool()> systemTrayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    // Ends the process once the main window has shut down.
    std::function<void()> endProcess = [] { QCoreApplication::exit(0); };
};
