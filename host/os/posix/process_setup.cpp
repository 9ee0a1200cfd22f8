#include "host/os/process_setup.h"

#include <clocale>

ProcessSetup::ProcessSetup() { std::setlocale(LC_CTYPE, ""); }

ProcessSetup::~ProcessSetup() = default;
