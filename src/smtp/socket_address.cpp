#include "smtp/socket_address.h"

#include "smtp/system_sockets.h"

#include <cstring>

namespace {

template <typename SocketAddressOfFamily>
SocketAddressOfFamily &Filled(SocketAddress &address, int family)
{
    static_assert(sizeof(SocketAddressOfFamily) <= sizeof address.bytes);
    address = SocketAddress();
    address.family = family;
    address.length = sizeof(SocketAddressOfFamily);
    auto *filled = reinterpret_cast<SocketAddressOfFamily *>(address.bytes);
    std::memset(filled, 0, sizeof *filled);
    return *filled;
}

}  // namespace

bool ParseAddressLiteral(const char *text, unsigned short port, SocketAddress &address)
{
    const auto ipv4 = inet_addr(text);
    if (ipv4 != INADDR_NONE) {
        sockaddr_in &filled = Filled<sockaddr_in>(address, AF_INET);
        filled.sin_family = AF_INET;
        filled.sin_port = htons(port);
        filled.sin_addr.s_addr = ipv4;
        return true;
    }
    in6_addr ipv6{};
    if (inet_pton(AF_INET6, text, &ipv6) != 1)
        return false;
    sockaddr_in6 &filled = Filled<sockaddr_in6>(address, AF_INET6);
    filled.sin6_family = AF_INET6;
    filled.sin6_port = htons(port);
    filled.sin6_addr = ipv6;
    return true;
}

std::string AddressLiteral(const SocketAddress &address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address.family == AF_INET) {
        const auto *ipv4 = reinterpret_cast<const sockaddr_in *>(address.bytes);
        inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text);
        return std::string("[") + text + "]";
    }
    if (address.family == AF_INET6) {
        const auto *ipv6 = reinterpret_cast<const sockaddr_in6 *>(address.bytes);
        inet_ntop(AF_INET6, &ipv6->sin6_addr, text, sizeof text);
        return std::string("[IPv6:") + text + "]";
    }
    return {};
}

void AppendFoundAddress(int family, const void *sockaddrBytes, std::size_t length, SocketAddresses &addresses)
{
    SocketAddress address;
    if (length > sizeof address.bytes)
        return;
    address.family = family;
    address.length = static_cast<unsigned>(length);
    std::memcpy(address.bytes, sockaddrBytes, length);
    addresses.push_back(address);
}
