#pragma once

#include "app/Desktop.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QHostAddress>

#include <functional>
#include <memory>

class basMain;

// What a running copy of the messenger is wired to. The program wires the real desktop and
// its main window; tests bind two copies to 127.0.0.1 and 127.0.0.2 on unprivileged ports,
// script the desktop and keep the process alive at exit. Nothing here is a user setting.
struct Environment
{
    static constexpr quint16 ChatPort = 786;
    static constexpr quint16 FilePort = 821;

    QHostAddress bindAddress { QHostAddress::Any };
    quint16 chatPort = ChatPort;
    quint16 filePort = FilePort;
    // Message boxes, sounds and pickers; must be set before the copy starts.
    Desktop *desktop = nullptr;
    // Whether the desktop shows tray icons; unset asks the desktop itself.
    std::function<bool()> systemTrayAvailable;
    // The bus the desktop's notifications go to; unset, the session bus. Asked for at the first
    // notification, never at start-up.
    std::function<QDBusConnection()> notificationBus;
    // Ends the process once the main window has shut down.
    std::function<void()> endProcess = [] { QCoreApplication::exit(0); };
    // Makes the main window of a copy. The windows library provides it, so that the program
    // object below the windows can show one: the one place the core reaches up to them.
    std::function<std::unique_ptr<QObject>(basMain &program)> makeMainWindow;
};
