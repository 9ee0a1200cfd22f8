#include "mapi_environment.h"

#include "fake_mapi_state.h"
#include "platform/profile.h"

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

#if defined(_WIN32)
std::optional<std::string> MapiEntry()
{
    constexpr const char *ABSENT = "\x01";
    char value[256] = "";
    GetProfileStringA("MAIL", "MAPI", ABSENT, value, sizeof value);
    return std::string(value) == ABSENT ? std::nullopt : std::optional<std::string>(value);
}

void WriteMapiEntry(const std::optional<std::string> &value)
{
    WriteProfileStringA("MAIL", "MAPI", value ? value->c_str() : nullptr);
}
#endif

}  // namespace

MapiEnvironment::MapiEnvironment()
{
    if (m_folder.Path().empty())
        throw std::runtime_error("no scratch folder");
    FakeMapiState::Instance().Reset();
#if defined(_WIN32)
    m_savedMapiEntry = MapiEntry();
#endif
    SetMapiEntry(std::nullopt);
    SearchProviderIn(Folder());
}

MapiEnvironment::~MapiEnvironment()
{
#if defined(_WIN32)
    WriteMapiEntry(m_savedMapiEntry);
    SetDllDirectoryA(nullptr);
#endif
}

std::string MapiEnvironment::WriteFile(const std::string &name, const std::string &content)
{
    const std::string path = (m_folder / name).string();
    ::WriteFile(path, content);
    return path;
}

std::string MapiEnvironment::WriteSendmail(int status)
{
    const std::string path = WriteFile("sendmail", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n"
                                                   "cat > \"$0.input\"\nexit " + std::to_string(status) + "\n");
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

std::string MapiEnvironment::ReadFile(const std::string &path) const { return ::ReadFile(path); }

void MapiEnvironment::SetVariable(const char *name, const std::string &value)
{
    std::unique_ptr<ScopedVariable> &variable = m_variables[name];
    if (variable)
        variable->Set(value.c_str());
    else
        variable = std::make_unique<ScopedVariable>(name, value.c_str());
}

#if defined(_WIN32)
void MapiEnvironment::SetMapiEntry(const std::optional<std::string> &value) { WriteMapiEntry(value); }

void MapiEnvironment::SearchProviderIn(const std::string &folder) { SetDllDirectoryA(folder.c_str()); }
#else
void MapiEnvironment::SetMapiEntry(const std::optional<std::string> &value)
{
    SetWinIni(value ? "[MAIL]\nMAPI=" + *value + "\n" : "[MAIL]\n");
}

void MapiEnvironment::SearchProviderIn(const std::string &folder) { SetVariable("LD_LIBRARY_PATH", folder); }

void MapiEnvironment::SetWinIni(const std::string &content) { SetVariable(WIN_INI_VARIABLE, WriteFile("win.ini", content)); }
#endif

void MapiEnvironment::InstallProvider(const std::string &providerFolder)
{
    SetMapiEntry("1");
    SearchProviderIn(providerFolder);
}
