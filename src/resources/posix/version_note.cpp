// The plug-in's version block where it has no version resource: MORV_VERSION
// as an ELF note (platform/module_version.h).
#include "morvtransport/morvtransport.h"

#include <cstdint>
#include <string_view>

namespace {

constexpr std::string_view VERSION_TEXT = MORV_VERSION;
constexpr std::uint32_t VERSION_SIZE = VERSION_TEXT.size() + 1;

struct VersionNote {
    std::uint32_t nameSize = 5;
    std::uint32_t descSize = VERSION_SIZE;
    std::uint32_t type = 1;
    char name[8] = "MORV";
    // Note descriptors are padded to four bytes.
    char desc[(VERSION_SIZE + 3) / 4 * 4] = {};
};

constexpr VersionNote MakeVersionNote()
{
    VersionNote note;
    for (std::size_t i = 0; i < VERSION_TEXT.size(); ++i)
        note.desc[i] = VERSION_TEXT[i];
    return note;
}

[[gnu::section(".note.morv.version"), gnu::used, gnu::aligned(4)]]
const VersionNote g_versionNote = MakeVersionNote();

}  // namespace
