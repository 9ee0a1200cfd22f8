// Whether the bytes of a file can be a message's text at all, whatever
// encoding is named: a file that is empty, UTF-16 or UTF-32 (with or
// without a byte-order mark) or holds NUL bytes can only fail later, or
// arrive as garbage. Pure.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// How a file is named in messages: "standard input" for "-".
std::string BodySourceName(const std::string &file);

// What is wrong with `bytes`, the content of `file` ("-": standard
// input), and how to put it right; nothing when they may be text.
std::optional<std::string> NotTextProblem(std::string_view bytes, const std::string &file);
