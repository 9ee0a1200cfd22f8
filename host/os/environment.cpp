#include "host/os/environment.h"

#include <cstdlib>

std::optional<std::string> ProcessEnvironment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}
