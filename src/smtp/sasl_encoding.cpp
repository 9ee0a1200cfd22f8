#include "smtp/sasl_encoding.h"

#include <openssl/evp.h>

std::string Base64(std::string_view bytes)
{
    std::string encoded((bytes.size() + 2) / 3 * 4 + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char *>(encoded.data()),
                                       reinterpret_cast<const unsigned char *>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    encoded.resize(static_cast<std::size_t>(length));
    return encoded;
}

std::string PlainCredentials(std::string_view user, std::string_view password)
{
    std::string message(1, '\0');
    message.append(user).push_back('\0');
    message.append(password);
    return Base64(message);
}
