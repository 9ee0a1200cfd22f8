#include "host/notification_format.h"

#include "host/text_codec.h"
#include "morvtransport/morvtransport.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <map>

namespace {

std::map<std::string, std::string> SortedUtf8Pairs(const CMapStringToString &pairs)
{
    std::map<std::string, std::string> sorted;
    for (const auto &[key, value] : pairs)
        sorted[AnsiToUtf8(key.view())] = AnsiToUtf8(value.view());
    return sorted;
}

// Human texts lose the line ends the mailers put at their end.
std::string_view WithoutTrailingLineEnds(std::string_view text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string HumanSent(const CMapStringToString &record)
{
    std::string line = "sent:";
    for (const auto &[key, value] : SortedUtf8Pairs(record))
        line += " " + EscapeText(key) + "=" + EscapeText(value);
    return line;
}

std::string HumanLine(const HostNotification &notification)
{
    switch (notification.kind) {
    case MORV_TN_TEXT:
        return EscapeText(WithoutTrailingLineEnds(AnsiToUtf8(notification.text)));
    case MORV_TN_STATUS:
        return "status " + StatusHex(notification.status) + " (" + StatusBitNames(notification.status) + ")";
    case MORV_TN_SENT:
        return HumanSent(notification.record);
    default:
        return "notification " + std::to_string(notification.kind);
    }
}

std::string PorcelainLine(const HostNotification &notification)
{
    switch (notification.kind) {
    case MORV_TN_TEXT:
        return "text\t" + EscapeText(AnsiToUtf8(notification.text));
    case MORV_TN_STATUS:
        return "status\t" + StatusHex(notification.status);
    case MORV_TN_SENT:
        return "sent\t" + PairsJson(notification.record);
    default:
        return "kind\t" + std::to_string(notification.kind);
    }
}

}  // namespace

std::string EscapeText(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char ch : text) {
        switch (ch) {
        case '\r': escaped += "\\r"; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\\': escaped += "\\\\"; break;
        default: escaped += ch;
        }
    }
    return escaped;
}

std::string StatusBitNames(DWORD word)
{
    static constexpr std::pair<DWORD, const char *> BITS[] = {
        {MORV_TS_SENDING, "SENDING"}, {MORV_TS_CHECKING, "CHECKING"}, {MORV_TS_UNSENT, "UNSENT"},
        {MORV_TS_BUSY, "BUSY"}};
    std::string names;
    for (const auto &[bit, name] : BITS)
        if (word & bit)
            names += (names.empty() ? "" : "|") + std::string(name);
    const DWORD unknown = word & ~(MORV_TS_SENDING | MORV_TS_CHECKING | MORV_TS_UNSENT | MORV_TS_BUSY);
    if (unknown)
        names += (names.empty() ? "" : "|") + StatusHex(unknown);
    return names.empty() ? "none" : names;
}

std::string StatusHex(DWORD word)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(word));
    return text;
}

std::string PairsJson(const CMapStringToString &pairs)
{
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (const auto &[key, value] : SortedUtf8Pairs(pairs))
        object[key] = value;
    return object.dump();
}

std::string FormatNotification(OutputForm form, const HostNotification &notification)
{
    return form == OutputForm::Porcelain ? PorcelainLine(notification) : HumanLine(notification);
}

std::string FormatSettings(OutputForm form, const CMapStringToString &pairs)
{
    if (form == OutputForm::Porcelain)
        return "settings\t" + PairsJson(pairs) + "\n";
    std::string lines;
    for (const auto &[key, value] : SortedUtf8Pairs(pairs))
        lines += "  " + EscapeText(key) + " = " + EscapeText(value) + "\n";
    return lines;
}
