#include "app/SecureStart.h"

#include <cstdlib>
#include <cstring>
#include <sys/auxv.h>

namespace SecureStart {

bool secureMode()
{
    return getauxval(AT_SECURE) != 0;
}

void dropPluginFolders(int &argc, char **argv)
{
    unsetenv("QT_PLUGIN_PATH");
    unsetenv("QT_QPA_PLATFORM_PLUGIN_PATH");
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        // Qt accepts the option with one dash or two.
        if (argument[0] == '-' && argument[1] == '-')
            ++argument;
        if (std::strcmp(argument, "-platformpluginpath") == 0) {
            ++i; // its folder goes too
            continue;
        }
        argv[kept++] = argv[i];
    }
    argv[kept] = nullptr;
    argc = kept;
}

} // namespace SecureStart
