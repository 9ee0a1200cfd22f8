// The plug-in's version block: 1.0.0.1, as an ELF note (module_version.h).
#include <cstdint>

namespace {

struct VersionNote {
    std::uint32_t nameSize;
    std::uint32_t descSize;
    std::uint32_t type;
    char name[8];
    char desc[8];
};

[[gnu::section(".note.morv.version"), gnu::used, gnu::aligned(4)]]
const VersionNote g_versionNote{5, 8, 1, "MORV", "1.0.0.1"};

}  // namespace
