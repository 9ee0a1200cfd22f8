#include "host/page/connection_settings.h"

#include "host/text/text_codec.h"
#include "host/text/usage_error.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

// A bundle of every public CA is a few hundred kilobytes.
constexpr std::uintmax_t MAX_CA_FILE_BYTES = 16u << 20;

std::string Trimmed(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return text;
}

bool IsTls(const std::string &security) { return SecurityModeIndex(security).value_or(0) != 0; }

std::string CheckedSecurity(const std::string &value)
{
    if (!SecurityModeIndex(value))
        throw UsageError("Security is \"" + value + "\"; it must be none, starttls or tls");
    return value;
}

[[noreturn]] void RefuseCaFile(const std::string &file, const std::string &problem)
{
    throw UsageError("TlsCaFile \"" + file + "\" " + problem);
}

void CheckIsSmallFile(const std::string &file, const fs::path &path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found)
        RefuseCaFile(file, "does not exist");
    if (error)
        RefuseCaFile(file, "cannot be read (" + error.message() + ")");
    if (!fs::is_regular_file(status))
        RefuseCaFile(file, "is not a file");
    if (fs::file_size(path, error) > MAX_CA_FILE_BYTES)
        RefuseCaFile(file, "is larger than 16 MiB, too large for a file of certificates");
}

std::string ReadCaFile(const std::string &file, const fs::path &path)
{
    errno = 0;
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        RefuseCaFile(file, std::string("cannot be read") + (errno ? std::string(" (") + std::strerror(errno) + ")" : ""));
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

std::string CheckedCaFile(const std::string &file)
{
    if (file.empty())
        return file;
    const fs::path path = fs::absolute(fs::path(file)).lexically_normal();
    CheckIsSmallFile(file, path);
    const std::string text = ReadCaFile(file, path);
    if (text.find("-----BEGIN CERTIFICATE-----") == std::string::npos &&
        text.find("-----BEGIN TRUSTED CERTIFICATE-----") == std::string::npos)
        RefuseCaFile(file, "holds no certificate in PEM form (\"-----BEGIN CERTIFICATE-----\"); a DER file "
                           "converts with: openssl x509 -inform der -in FILE -out FILE.pem");
    return path.string();
}

// The value of `key`, empty when absent.
std::string Value(const CMapStringToString &settings, const char *key)
{
    CString value;
    settings.Lookup(key, value);
    return AnsiToUtf8(value.view());
}

}  // namespace

const std::vector<std::string> &SecurityModes()
{
    static const std::vector<std::string> modes{"none", "starttls", "tls"};
    return modes;
}

std::optional<std::size_t> SecurityModeIndex(const std::string &value)
{
    const std::string mode = Lower(Trimmed(value));
    const auto found = std::find(SecurityModes().begin(), SecurityModes().end(), mode.empty() ? "none" : mode);
    return found == SecurityModes().end() ? std::nullopt
                                          : std::optional<std::size_t>(found - SecurityModes().begin());
}

std::string CheckedConnectionValue(const std::string &key, const std::string &value)
{
    if (key == "Security")
        return CheckedSecurity(value);
    if (key == "TlsCaFile")
        return CheckedCaFile(value);
    return value;
}

void CheckLoginGoesOverTls(const CMapStringToString &settings)
{
    if (Value(settings, "Login").empty() || IsTls(Value(settings, "Security")))
        return;
    throw UsageError("Login is set while Security is " +
                     (Value(settings, "Security").empty() ? std::string("absent") : "\"" + Value(settings, "Security") + "\"") +
                     ": a password never goes in the clear, so set Security to starttls or tls as well "
                     "(or remove Login)");
}
