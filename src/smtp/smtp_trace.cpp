#include "smtp/smtp_trace.h"

#include "platform/file_modes.h"

#include <chrono>

namespace {

// "2026-12-08T11:38:35.123Z"
void WriteTimeStamp(std::FILE *out)
{
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    std::fprintf(out, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
                 static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                 static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                 static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
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
    m_file.reset(std::fopen(path, APPEND_BYTES_NOT_INHERITED));
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
