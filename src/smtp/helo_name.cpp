#include "smtp/helo_name.h"

#include <algorithm>

namespace {

bool IsDomainCharacter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-' || ch == '.';
}

}  // namespace

CString HeloName(const CString &hostName, const CString &addressLiteral)
{
    const std::string_view name = hostName.view();
    if (!name.empty() && std::all_of(name.begin(), name.end(), IsDomainCharacter))
        return hostName;
    return addressLiteral;
}
