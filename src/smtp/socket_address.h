// SocketAddress: one address a TCP connection can be made to, IPv4 or IPv6,
// as the system's socket calls take it, without their headers.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct SocketAddress {
    int family = 0;       // AF_INET or AF_INET6
    unsigned length = 0;  // bytes of `bytes` in use
    alignas(8) unsigned char bytes[128] = {};  // a sockaddr of `family`, port included
};

using SocketAddresses = std::vector<SocketAddress>;

// Adds the address a look-up found (a sockaddr of `family`, `length` bytes)
// to `addresses`; one too long for SocketAddress is left out.
void AppendFoundAddress(int family, const void *sockaddrBytes, std::size_t length, SocketAddresses &addresses);

// The address of an IPv4 dotted text (as inet_addr reads it: never
// "255.255.255.255") or an IPv6 text, on `port`; false for anything else,
// which is a name to look up.
bool ParseAddressLiteral(const char *text, unsigned short port, SocketAddress &address);

// "[192.0.2.7]" or "[IPv6:2001:db8::7]", the address literal RFC 5321 uses
// for a host without a usable name; empty for another family.
std::string AddressLiteral(const SocketAddress &address);
