#include "platform/resources.h"

#include "platform/cstring.h"

#include <string>

namespace {

// The code page of every text the platform hands out.
constexpr UINT TEXT_CODE_PAGE = 1251;
// A string table resource holds 16 strings, each its length in UTF-16
// units and then the units.
constexpr UINT STRINGS_PER_BLOCK = 16;

WORD LanguageId(ResourceLanguage language)
{
    return MAKELANGID(language == ResourceLanguage::Russian ? LANG_RUSSIAN : LANG_ENGLISH, SUBLANG_DEFAULT);
}

// The UTF-16 text of string `id` in `language`; empty when absent.
std::wstring_view FindString(HMODULE module, UINT id, ResourceLanguage language)
{
    const HRSRC found = FindResourceExA(module, RT_STRING,
                                        MAKEINTRESOURCEA(id / STRINGS_PER_BLOCK + 1), LanguageId(language));
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto *at = static_cast<const WCHAR *>(loaded ? LockResource(loaded) : nullptr);
    if (!at)
        return {};
    const WCHAR *end = at + SizeofResource(module, found) / sizeof(WCHAR);
    for (UINT index = 0; at < end; ++index) {
        const std::size_t length = *at++;
        if (at + length > end)
            return {};
        if (index == id % STRINGS_PER_BLOCK)
            return std::wstring_view(reinterpret_cast<const wchar_t *>(at), length);
        at += length;
    }
    return {};
}

CString ToTextCodePage(std::wstring_view text)
{
    if (text.empty())
        return CString();
    const int wide = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(TEXT_CODE_PAGE, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(TEXT_CODE_PAGE, 0, text.data(), wide, bytes.data(), size, nullptr, nullptr);
    return CString(std::move(bytes));
}

}  // namespace

ResourceLanguage UserResourceLanguage()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_RUSSIAN ? ResourceLanguage::Russian
                                                                      : ResourceLanguage::English;
}

// The resources of the module the thread's handle names, the host's own
// while none is set; the text is Windows-1251 whatever the system's code
// page, as every text of the platform is.
BOOL CString::LoadString(UINT id)
{
    const HINSTANCE module = AfxGetResourceHandle() ? AfxGetResourceHandle() : GetModuleHandleA(nullptr);
    *this = ToTextCodePage(FindString(module, id, GetResourceLanguage()));
    return !IsEmpty();
}
