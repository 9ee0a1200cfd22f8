#include "mail/netrc_file.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string NetrcPath()
{
    if (const char *path = std::getenv("MORV_NETRC"); path && *path)
        return path;
    const char *home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.netrc";
}

bool OthersMayUse(const std::string &path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::perms permissions = fs::status(path, error).permissions();
    const fs::perms others = fs::perms::group_read | fs::perms::group_write | fs::perms::others_read |
                             fs::perms::others_write;
    return error || (permissions & others) != fs::perms::none;
}
