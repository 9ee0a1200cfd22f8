#include "compose/address_parser.h"

namespace {

CString Trimmed(std::string_view text)
{
    CString result(text);
    result.Trim();
    return result;
}

}  // namespace

std::vector<std::string_view> SplitAddressList(std::string_view text)
{
    std::vector<std::string_view> items;
    std::size_t start = 0;
    for (std::size_t end = text.find_first_of(",;"); end != std::string_view::npos;
         end = text.find_first_of(",;", start)) {
        items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    items.push_back(text.substr(start));
    return items;
}

AddressItem ParseAddressItem(std::string_view item, CMailAddress &address)
{
    const std::size_t open = item.find('<');
    if (open == std::string_view::npos) {
        address = CMailAddress(CString(), Trimmed(item));
    } else {
        const std::size_t close = item.find('>');
        if (close == std::string_view::npos || close < open)
            return AddressItem::Malformed;
        address = CMailAddress(Trimmed(item.substr(0, open)), Trimmed(item.substr(open + 1, close - open - 1)));
    }
    return address.m_address.IsEmpty() ? AddressItem::Empty : AddressItem::Parsed;
}
