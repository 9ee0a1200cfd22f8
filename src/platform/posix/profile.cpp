#include "platform/profile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Larger files are read only this far: a profile is a few lines, and the
// variable may name anything, a device that never ends included.
constexpr std::size_t PROFILE_READ_LIMIT = 1 << 20;

std::string ReadProfileFile(const std::string &path)
{
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return {};
    std::ifstream file(path, std::ios::binary);
    std::string text(PROFILE_READ_LIMIT, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return text;
}

CString Variable(const char *name)
{
    const char *value = std::getenv(name);
    return CString(value ? value : "");
}

}  // namespace

CString GetProfilePath()
{
    const CString named = Variable(WIN_INI_VARIABLE);
    if (!named.IsEmpty())
        return named;
    CString configHome = Variable("XDG_CONFIG_HOME");
    if (configHome.IsEmpty() || configHome[0] != '/') {
        const CString home = Variable("HOME");
        if (home.IsEmpty())
            return CString();
        configHome = home + "/.config";
    }
    return configHome + "/morvtransport/win.ini";
}

UINT GetProfileIntA(const char *section, const char *key, int defaultValue)
{
    const std::string text = ReadProfileFile(GetProfilePath().str());
    return ProfileIntFromText(text, section ? section : "", key ? key : "", defaultValue);
}
