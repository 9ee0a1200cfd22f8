// Pure helpers over the pieces a send writes in turn (a gathered write):
// how many bytes they hold, what is left after a partial write, and a
// copy of their front.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

std::size_t TotalSize(std::span<const std::string_view> pieces);
// Drops the first `count` bytes, and every piece left empty at the front.
void DropFront(std::span<std::string_view> &pieces, std::size_t count);
// Appends the first `count` bytes of the pieces (all, when they hold fewer).
void AppendFront(std::span<const std::string_view> pieces, std::size_t count, std::string &target);
