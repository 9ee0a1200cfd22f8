#include "host/text/notification_format.h"

#include "host/text/error_numbers.h"
#include "host/text/text_codec.h"
#include "morvtransport/morvtransport.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
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

// Bodies longer than this many lines show only their size and first line.
constexpr std::size_t FULL_BODY_LINES = 3;

std::size_t LineCount(std::string_view text)
{
    std::size_t lines = text.empty() ? 0 : 1;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos && at + 1 < text.size();
         at = text.find('\n', at + 1))
        ++lines;
    return lines;
}

std::string HumanValue(const std::string &key, const std::string &value)
{
    const std::size_t lines = LineCount(value);
    if (key != "Body" || lines <= FULL_BODY_LINES)
        return EscapeText(value);
    const std::string_view first = WithoutTrailingLineEnds(std::string_view(value).substr(0, value.find('\n')));
    return "(" + std::to_string(lines) + " lines, " + std::to_string(value.size()) + " bytes) " + EscapeText(first) +
           " ...";
}

std::string HumanSent(const CMapStringToString &record)
{
    std::string line = "sent:";
    for (const auto &[key, value] : SortedUtf8Pairs(record))
        line += " " + EscapeText(key) + "=" + HumanValue(key, value);
    return line;
}

std::string HumanLine(const HostNotification &notification)
{
    switch (notification.kind) {
    case MORV_TN_TEXT:
        return EscapeText(ExplainErrorNumbers(WithoutTrailingLineEnds(AnsiToUtf8(notification.text))));
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

std::string HexEscape(unsigned char byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    return text;
}

// A byte of UTF-8 text as it may reach a terminal: control characters,
// which could move the cursor or retitle the window, as escapes.
std::string EscapeByte(char ch)
{
    switch (ch) {
    case '\r': return "\\r";
    case '\n': return "\\n";
    case '\t': return "\\t";
    case '\\': return "\\\\";
    default: break;
    }
    const auto byte = static_cast<unsigned char>(ch);
    return byte < 0x20 || byte == 0x7F ? HexEscape(byte) : std::string(1, ch);
}

}  // namespace

std::string EscapeText(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1 = byte == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (c1)
            escaped += HexEscape(static_cast<unsigned char>(text[++i]));
        else
            escaped += EscapeByte(text[i]);
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

std::string FormatTranscriptLine(OutputForm form, std::string_view line)
{
    const std::string step = EscapeText(line.substr(line.find(' ') + 1));
    return form == OutputForm::Porcelain ? "smtp\t" + step : step;
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

namespace {

std::string MailerName(const CMapStringToString &pairs)
{
    CString mailer;
    const int number = pairs.Lookup("Mailer", mailer) ? std::atoi(mailer.GetString()) : 0;
    static constexpr const char *NAMES[] = {"SMTP", "MAPI", "FILE"};
    return number >= 0 && number < 3 ? NAMES[number] : "mailer " + std::to_string(number);
}

std::string Utf8Value(const CMapStringToString &pairs, const char *key)
{
    CString value;
    return pairs.Lookup(key, value) ? AnsiToUtf8(value.view()) : std::string();
}

}  // namespace

std::string FormatGameLine(OutputForm form, const std::string &game, const CMapStringToString &pairs)
{
    const std::string server = EscapeText(Utf8Value(pairs, "ServerSMTP"));
    const std::string recipients = EscapeText(Utf8Value(pairs, "To"));
    if (form == OutputForm::Porcelain)
        return "game\t" + EscapeText(game) + "\t" + MailerName(pairs) + "\t" + server + "\t" + recipients;
    return EscapeText(game) + ": " + MailerName(pairs) + ", server " + (server.empty() ? "(none)" : server) +
           ", to " + (recipients.empty() ? "(none)" : recipients);
}
