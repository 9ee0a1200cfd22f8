// MapiEnvironment: the surroundings of one Simple MAPI test. A scratch
// folder (removed at the end), WIN.INI's [MAIL] MAPI entry, the folder the
// Simple MAPI library is looked for in, the fake provider's state reset, and
// everything it touched put back when it ends. Here WIN.INI is a file of the
// scratch folder and the library is looked for along LD_LIBRARY_PATH; on
// Windows they are the system's profile (WriteProfileStringA) and the
// program's DLL folder (SetDllDirectoryA), searched after the program's own
// folder and before the system's. Test thread only.
#pragma once

#include "support/scoped_variable.h"
#include "support/temp_folder.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

class MapiEnvironment {
public:
    // WIN.INI without a MAPI entry, and no provider library to be found.
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
    // WIN.INI's [MAIL] MAPI entry: `value`, or none.
    void SetMapiEntry(const std::optional<std::string> &value);
    // The Simple MAPI library is looked for in `folder`.
    void SearchProviderIn(const std::string &folder);
    // WIN.INI says Simple MAPI is installed and the search finds the
    // library of `providerFolder`.
    void InstallProvider(const std::string &providerFolder);
#if !defined(_WIN32)
    // WIN.INI is a file of the scratch folder that holds `content`.
    void SetWinIni(const std::string &content);
#endif

private:
    TempFolder m_folder;
    std::map<std::string, std::unique_ptr<ScopedVariable>> m_variables;  // put back when it ends
#if defined(_WIN32)
    std::optional<std::string> m_savedMapiEntry;
#endif
};
