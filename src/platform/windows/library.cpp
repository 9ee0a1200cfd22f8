#include "platform/library.h"

BOOL KeepLibraryLoaded(const void *address)
{
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN;
    if (!address || !GetModuleHandleExA(flags, static_cast<const char *>(address), &module))
        return FALSE;
    return module != GetModuleHandleA(nullptr);
}
