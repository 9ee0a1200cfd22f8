#include "host/session/plugin_module.h"

#include <string>
#include <system_error>

namespace {

std::unique_ptr<DynamicLibrary> LoadPlugin(const std::filesystem::path &path)
{
    try {
        return std::make_unique<DynamicLibrary>(path);
    } catch (const std::runtime_error &error) {
        throw PluginError(std::string("cannot load the plug-in: ") + error.what());
    }
}

}  // namespace

PluginModule::PluginModule(const std::filesystem::path &path) : m_path(path), m_library(LoadPlugin(path))
{
    const char *missing = MorvBindEntryPoints(m_api, [this](const char *name) { return m_library->Symbol(name); });
    if (missing)
        throw PluginError(m_path.string() + " is no MORVTRANSPORT plug-in: it lacks the entry point " + missing);
}

PluginModule::~PluginModule() = default;

std::filesystem::path PluginModule::DefaultPath()
{
    std::error_code error;
    const std::filesystem::path program = ProgramFolder();
    const std::filesystem::path beside = program / MORV_PLUGIN_FILE_NAME;
    if (!program.empty() && std::filesystem::exists(beside, error))
        return beside;
    const std::filesystem::path folder = PlatformLibraryFolder();
    // A relative path would be looked for in the current folder.
    if (!folder.is_absolute())
        throw PluginError("cannot tell where the plug-in is installed; name it with --plugin");
    return (folder / MORV_PLUGIN_FOLDER / MORV_PLUGIN_FILE_NAME).lexically_normal();
}
