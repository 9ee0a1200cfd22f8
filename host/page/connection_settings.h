// The SMTP client's settings, which the plug-in's page does not show:
// "Security", "Login" and "TlsCaFile". morv-host checks them before it
// stores them, so that a value the plug-in would refuse at the first
// delivery is refused at once, with exit code 2 and the project untouched.
#pragma once

#include "platform/map_string_to_string.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// "none", "starttls", "tls": the values of "Security", in this order.
const std::vector<std::string> &SecurityModes();
// The index in SecurityModes() of a "Security" value as the plug-in reads
// it (blanks around it and letter case do not count; empty means none);
// nothing for a value it refuses.
std::optional<std::size_t> SecurityModeIndex(const std::string &value);

// The value to store for a connection key (UTF-8): "Security" as given
// when the plug-in knows it (any letter case, empty meaning none), a
// "TlsCaFile" as an absolute path once the file is seen to be readable
// and to hold a PEM certificate (the plug-in reads it from wherever a
// turn is sent), "Login" as given. Throws UsageError naming the value.
std::string CheckedConnectionValue(const std::string &key, const std::string &value);

// Refuses, with a UsageError, settings (Windows-1251) that hold a "Login"
// while "Security" is none or absent: the plug-in never sends a password
// in the clear.
void CheckLoginGoesOverTls(const CMapStringToString &settings);
