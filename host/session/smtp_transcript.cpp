#include "host/session/smtp_transcript.h"

#include "host/os/environment.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace {

// The plug-in appends each SMTP session's transcript to the file this
// names.
constexpr const char *TRACE_VARIABLE = "MORV_SMTP_TRACE";

}  // namespace

SmtpTranscript::SmtpTranscript(const std::string &copyTo)
{
    try {
        m_capture.emplace("morv-smtp-transcript");
    } catch (const std::system_error &) {
        if (!copyTo.empty())
            SetProcessEnvironment(TRACE_VARIABLE, copyTo);
        return;
    }
    SetProcessEnvironment(TRACE_VARIABLE, m_capture->Path());
    OpenCopy(copyTo);
}

// As the plug-in did when it wrote the file itself, a copy that cannot be
// written never stops a delivery; but the player hears of it.
void SmtpTranscript::OpenCopy(const std::string &copyTo)
{
    if (copyTo.empty())
        return;
    if (copyTo == "-") {
        m_copy = stderr;
        return;
    }
    m_file.reset(std::fopen(copyTo.c_str(), "a"));
    m_copy = m_file.get();
    if (!m_copy)
        std::fprintf(stderr, "morv-host: the SMTP transcript cannot be written to %s: %s\n", copyTo.c_str(),
                     std::strerror(errno));
}

std::vector<std::string> SmtpTranscript::Take()
{
    if (!m_capture)
        return {};
    const std::string added = m_capture->ReadFrom(m_taken);
    const std::size_t whole = added.rfind('\n') + 1;  // 0 when no line ended
    const std::string lines = added.substr(0, whole);
    m_taken += whole;
    m_message += lines;
    Copy(lines);
    std::vector<std::string> taken;
    for (std::size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1)
        taken.push_back(lines.substr(at, end - at));
    return taken;
}

void SmtpTranscript::Copy(const std::string &lines)
{
    if (!m_copy || lines.empty())
        return;
    std::fwrite(lines.data(), 1, lines.size(), m_copy);
    std::fflush(m_copy);
}
