#include "host/os/user_folders.h"

#include <cstdlib>

const char *const USER_SETTINGS_FOLDER_NAME = "$XDG_CONFIG_HOME";

std::filesystem::path UserSettingsFolder()
{
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return config;
    if (const char *home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config";
    return ".";
}
