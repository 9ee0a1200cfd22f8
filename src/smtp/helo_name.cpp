#include "smtp/helo_name.h"

#include <algorithm>

namespace {

bool IsDomainCharacter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-' || ch == '.';
}

}  // namespace

bool IsHeloDomain(std::string_view hostName)
{
    return !hostName.empty() && std::all_of(hostName.begin(), hostName.end(), IsDomainCharacter);
}
