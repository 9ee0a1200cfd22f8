#include "compose/base64.h"

#include <algorithm>
#include <cstdint>

std::string Base64(std::string_view bytes)
{
    constexpr std::string_view DIGITS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t start = 0; start < bytes.size(); start += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - start);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i)
            group = group << 8 | (i < count ? static_cast<unsigned char>(bytes[start + i]) : 0u);
        // n bytes fill n + 1 digits; "=" pads the group to four.
        for (std::size_t i = 0; i < 4; ++i)
            encoded += i <= count ? DIGITS[group >> (18 - 6 * i) & 0x3F] : '=';
    }
    return encoded;
}
