// ReadAll: every byte a descriptor gives until its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads until the end, or until the next read would take the text past
// `limit` bytes. Throws std::system_error when a read fails.
std::string ReadAll(int fd, std::size_t limit = SIZE_MAX);
