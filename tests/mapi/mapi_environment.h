// MapiEnvironment: the surroundings of one Simple MAPI test. A scratch
// folder (removed at the end), WIN.INI written there, the library search
// pointed at a chosen provider folder, the fake provider's state reset, and
// every variable it touches put back when it ends. Test thread only.
#pragma once

#include "support/scoped_variable.h"
#include "support/temp_folder.h"

#include <map>
#include <memory>
#include <string>

class MapiEnvironment {
public:
    MapiEnvironment();
    ~MapiEnvironment();
    MapiEnvironment(const MapiEnvironment &) = delete;
    MapiEnvironment &operator=(const MapiEnvironment &) = delete;

    std::string Folder() const { return m_folder.Path().string(); }
    // Writes `content` to a file of the scratch folder; its full path.
    std::string WriteFile(const std::string &name, const std::string &content);
    // A shell script that records its arguments and standard input beside
    // itself (<path>.args, <path>.input) and exits with `status`.
    std::string WriteSendmail(int status);
    std::string ReadFile(const std::string &path) const;

    void SetVariable(const char *name, const std::string &value);
    void SetWinIni(const std::string &content);
    // WIN.INI says Simple MAPI is installed and the search finds the
    // library of `providerFolder` (and none in the system folders).
    void InstallProvider(const std::string &providerFolder);

private:
    TempFolder m_folder;
    std::map<std::string, std::unique_ptr<ScopedVariable>> m_variables;  // put back when it ends
};
