#include "host/os/environment.h"

#include <cstdlib>

void SetProcessEnvironment(const char *name, const std::string &value) { setenv(name, value.c_str(), 1); }

std::optional<std::string> ProcessEnvironment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}
