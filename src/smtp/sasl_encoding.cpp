#include "smtp/sasl_encoding.h"

std::string PlainCredentials(std::string_view user, std::string_view password)
{
    std::string message(1, '\0');
    message.append(user).push_back('\0');
    message.append(password);
    return Base64(message);
}
