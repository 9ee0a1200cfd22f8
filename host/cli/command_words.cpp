#include "host/cli/command_words.h"

#include "host/text/nearest_word.h"

#include <algorithm>
#include <string_view>

namespace {

// Global options that take the next word as their value.
bool TakesValue(std::string_view option)
{
    return option == "--project" || option == "--plugin" || option == "--lang";
}

}  // namespace

const char *const HELP_FOOTER =
    "Exit status: 0 all sent (check-server: the check passed); 1 a delivery (or the check) failed or had no\n"
    "outcome in time; 2 a usage, project file or plug-in error, or a file that cannot be sent (then nothing is\n"
    "sent); 128+N after signal N cancelled it (130 Ctrl-C, 143 SIGTERM, 129 SIGHUP).\n"
    "Error numbers in \"GetLastError returns: N\": 111 connection refused (no SMTP server on that port),\n"
    "113 no route to the host, 101 network unreachable, 110 and 10060 timed out, 10022 the server's name\n"
    "was not found. The human output spells each out.";

const std::vector<std::string> &CommandWords()
{
    static const std::vector<std::string> words{"config", "send", "list", "check", "check-server", "demo", "help"};
    return words;
}

namespace {

// "config, send, ... and help".
std::string CommandList()
{
    const std::vector<std::string> &words = CommandWords();
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i)
        list += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
    return list;
}

}  // namespace

std::optional<std::string> UnknownCommandProblem(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word.starts_with("-")) {
            i += TakesValue(word) ? 1 : 0;
            continue;
        }
        if (std::find(CommandWords().begin(), CommandWords().end(), word) != CommandWords().end())
            return std::nullopt;
        const std::optional<std::string> meant = NearestWord(word, CommandWords());
        return "\"" + std::string(word) + "\" is no command" +
               (meant ? "; did you mean \"" + *meant + "\"?" : "; the commands are " + CommandList());
    }
    return std::nullopt;
}
