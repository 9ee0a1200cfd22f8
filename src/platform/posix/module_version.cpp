#include "platform/module_version.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstring>

namespace {

constexpr const char NOTE_OWNER[] = "MORV";
constexpr Elf64_Word NOTE_TYPE_VERSION = 1;

struct Search {
    const void *base;
    CString version;
};

std::size_t Align4(std::size_t size) { return (size + 3) & ~std::size_t{3}; }

void ScanNotes(const char *begin, const char *end, Search &search)
{
    while (begin + sizeof(ElfW(Nhdr)) <= end) {
        ElfW(Nhdr) header;
        std::memcpy(&header, begin, sizeof header);
        const char *name = begin + sizeof header;
        const char *desc = name + Align4(header.n_namesz);
        if (desc + header.n_descsz > end)
            return;
        if (header.n_type == NOTE_TYPE_VERSION && header.n_namesz == sizeof NOTE_OWNER &&
            std::memcmp(name, NOTE_OWNER, sizeof NOTE_OWNER) == 0) {
            search.version = CString(desc, strnlen(desc, header.n_descsz));
            return;
        }
        begin = desc + Align4(header.n_descsz);
    }
}

int VisitModule(dl_phdr_info *info, std::size_t, void *data)
{
    auto &search = *static_cast<Search *>(data);
    if (reinterpret_cast<const void *>(info->dlpi_addr) != search.base)
        return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const auto &segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_NOTE)
            continue;
        const char *begin = reinterpret_cast<const char *>(info->dlpi_addr + segment.p_vaddr);
        ScanNotes(begin, begin + segment.p_memsz, search);
    }
    return 1;
}

}  // namespace

CString GetModuleVersion(const void *address)
{
    Dl_info module{};
    link_map *map = nullptr;
    if (!address || !dladdr1(address, &module, reinterpret_cast<void **>(&map), RTLD_DL_LINKMAP) || !map)
        return CString();
    Search search{reinterpret_cast<const void *>(map->l_addr), CString()};
    dl_iterate_phdr(VisitModule, &search);
    return search.version;
}
