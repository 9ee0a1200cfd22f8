#include "resolved_recipient.h"

#include <cstdlib>
#include <cstring>
#include <new>

lpMapiRecipDesc NewResolvedRecipient(std::string_view name)
{
    void *block = std::malloc(sizeof(MapiRecipDesc) + name.size() + 1);
    if (!block)
        return nullptr;
    char *text = static_cast<char *>(block) + sizeof(MapiRecipDesc);
    std::memcpy(text, name.data(), name.size());
    text[name.size()] = '\0';
    auto *recipient = new (block) MapiRecipDesc{};
    recipient->ulRecipClass = MAPI_TO;
    recipient->lpszName = text;
    recipient->lpszAddress = text;
    return recipient;
}

void FreeProviderBuffer(void *buffer) { std::free(buffer); }
