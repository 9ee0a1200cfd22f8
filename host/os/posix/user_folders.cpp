#include "host/os/user_folders.h"

#include <cstdlib>

std::filesystem::path UserSettingsFolder()
{
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return config;
    if (const char *home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config";
    return ".";
}
