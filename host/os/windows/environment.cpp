#include "host/os/environment.h"

#include <cstdlib>

void SetProcessEnvironment(const char *name, const std::string &value) { _putenv_s(name, value.c_str()); }
