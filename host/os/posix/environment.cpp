#include "host/os/environment.h"

#include <cstdlib>

void SetProcessEnvironment(const char *name, const std::string &value) { setenv(name, value.c_str(), 1); }
