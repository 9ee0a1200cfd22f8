#include "mail/netrc_file.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string NetrcPath()
{
    if (const char *path = std::getenv("MORV_NETRC"); path && *path)
        return path;
    const char *profile = std::getenv("USERPROFILE");
    const std::string folder = std::string(profile ? profile : "") + "\\";
    std::error_code error;
    return std::filesystem::exists(folder + "_netrc", error) ? folder + "_netrc" : folder + ".netrc";
}

bool OthersMayUse(const std::string &) { return false; }
