#include "host/os/user_folders.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <memory>

namespace {

struct TaskMemoryFree {
    void operator()(wchar_t *text) const { CoTaskMemFree(text); }
};

}  // namespace

const char *const USER_SETTINGS_FOLDER_NAME = "%APPDATA%";

std::filesystem::path UserSettingsFolder()
{
    wchar_t *found = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &found);
    const std::unique_ptr<wchar_t, TaskMemoryFree> folder(found);
    return SUCCEEDED(result) && folder ? std::filesystem::path(folder.get()) : std::filesystem::path(".");
}
