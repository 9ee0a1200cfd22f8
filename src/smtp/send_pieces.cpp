#include "smtp/send_pieces.h"

#include <algorithm>

std::size_t TotalSize(std::span<const std::string_view> pieces)
{
    std::size_t size = 0;
    for (const std::string_view piece : pieces)
        size += piece.size();
    return size;
}

void DropFront(std::span<std::string_view> &pieces, std::size_t count)
{
    while (!pieces.empty() && count >= pieces.front().size()) {
        count -= pieces.front().size();
        pieces = pieces.subspan(1);
    }
    if (!pieces.empty())
        pieces.front().remove_prefix(count);
}

void AppendFront(std::span<const std::string_view> pieces, std::size_t count, std::string &target)
{
    for (const std::string_view piece : pieces) {
        const std::size_t taken = std::min(count, piece.size());
        target.append(piece.substr(0, taken));
        count -= taken;
        if (count == 0)
            break;
    }
}
