#include "mapi_environment.h"

#include "fake_mapi_state.h"
#include "platform/profile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

MapiEnvironment::MapiEnvironment()
{
    std::string pattern = (fs::temp_directory_path() / "morv-mapi-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("no scratch folder");
    m_folder = pattern;
    FakeMapiState::Instance().Reset();
    SetVariable(WIN_INI_VARIABLE, m_folder + "/absent.ini");
    SetVariable("LD_LIBRARY_PATH", m_folder);
}

MapiEnvironment::~MapiEnvironment()
{
    for (const auto &[name, value] : m_saved) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    std::error_code error;
    fs::remove_all(m_folder, error);
}

std::string MapiEnvironment::WriteFile(const std::string &name, const std::string &content)
{
    const std::string path = m_folder + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string MapiEnvironment::WriteSendmail(int status)
{
    const std::string path = WriteFile("sendmail", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n"
                                                   "cat > \"$0.input\"\nexit " + std::to_string(status) + "\n");
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

std::string MapiEnvironment::ReadFile(const std::string &path) const
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void MapiEnvironment::SetVariable(const char *name, const std::string &value)
{
    if (!m_saved.count(name)) {
        const char *old = std::getenv(name);
        m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    setenv(name, value.c_str(), 1);
}

void MapiEnvironment::SetWinIni(const std::string &content) { SetVariable(WIN_INI_VARIABLE, WriteFile("win.ini", content)); }

void MapiEnvironment::InstallProvider(const std::string &providerFolder)
{
    SetWinIni("[MAIL]\nMAPI=1\n");
    SetVariable("LD_LIBRARY_PATH", providerFolder);
}
