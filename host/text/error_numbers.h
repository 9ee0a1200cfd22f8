// What the error numbers in the plug-in's texts mean to a player: the
// texts end in "GetLastError returns: N", where N is the system's error
// number (111 connection refused, ...) or one of the codes the plug-in sets
// itself with their Windows numbers (10022 for a server name that was not
// found, 10060 for a time-out). Pure functions.
#pragma once

#include <string>
#include <string_view>

// The meaning of an error number in words, or empty for 0.
std::string ErrorNumberMeaning(unsigned long number);

// `text` with the meaning added in brackets after "GetLastError returns: N".
std::string ExplainErrorNumbers(std::string_view text);
