#include "mapi_environment.h"

#include "fake_mapi_state.h"
#include "platform/profile.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

MapiEnvironment::MapiEnvironment()
{
    if (m_folder.Path().empty())
        throw std::runtime_error("no scratch folder");
    FakeMapiState::Instance().Reset();
    SetVariable(WIN_INI_VARIABLE, (m_folder / "absent.ini").string());
    SetVariable("LD_LIBRARY_PATH", Folder());
}

MapiEnvironment::~MapiEnvironment() = default;

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

void MapiEnvironment::SetWinIni(const std::string &content) { SetVariable(WIN_INI_VARIABLE, WriteFile("win.ini", content)); }

void MapiEnvironment::InstallProvider(const std::string &providerFolder)
{
    SetWinIni("[MAIL]\nMAPI=1\n");
    SetVariable("LD_LIBRARY_PATH", providerFolder);
}
