#pragma once

// The program may be granted a right its user lacks (binding the low chat and file ports).
// The kernel then starts it in secure mode, and whoever starts it must not be able to make it
// load code of their choosing with that right: Qt's plugin folders named in the environment
// or on the command line are dropped before the application object reads them. (Qt also
// looks in the program's own folder, which only its owner can write to.)
namespace SecureStart {

// True when the kernel runs the process in secure mode (set-id or file capabilities).
bool secureMode();
// Call before the application object is made. Forgets QT_PLUGIN_PATH and
// QT_QPA_PLATFORM_PLUGIN_PATH and takes every "-platformpluginpath <folder>" out of the
// arguments (argc shrinks accordingly).
void dropPluginFolders(int &argc, char **argv);

} // namespace SecureStart
