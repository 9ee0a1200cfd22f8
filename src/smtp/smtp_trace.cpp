#include "smtp/smtp_trace.h"

#include <chrono>
#include <ctime>

namespace {

// "2026-12-08T11:38:35.123Z"
void WriteTimeStamp(std::FILE *out)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::fprintf(out, "%s.%03dZ", text, static_cast<int>(milliseconds));
}

}  // namespace

void CSmtpTrace::Open(const char *path)
{
    m_file.reset();
    m_out = nullptr;
    if (!path || !*path)
        return;
    if (std::string_view(path) == "-") {
        m_out = stderr;
        return;
    }
    m_file.reset(std::fopen(path, "ae"));
    m_out = m_file.get();
}

// Each line of `bytes` without its line end; a final line end adds no
// empty line.
void CSmtpTrace::Lines(char mark, std::string_view bytes)
{
    if (!m_out)
        return;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        Line(mark, line);
    }
    std::fflush(m_out);
}

void CSmtpTrace::Line(char mark, std::string_view line)
{
    WriteTimeStamp(m_out);
    std::fprintf(m_out, " %c %.*s\n", mark, static_cast<int>(line.size()), line.data());
}
