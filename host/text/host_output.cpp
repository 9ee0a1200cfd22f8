#include "host/text/host_output.h"

#include "host/text/file_outcome.h"
#include "host/text/text_codec.h"

void HostOutput::Notify(const HostNotification &notification)
{
    if (m_held) {
        m_waiting.push_back(notification);
        return;
    }
    Write(m_linePrefix + FormatNotification(m_form, notification) + "\n");
}

void HostOutput::Write(std::string_view utf8)
{
    const std::string bytes = m_form == OutputForm::Porcelain ? std::string(utf8) : Utf8ToTerminal(utf8);
    std::fwrite(bytes.data(), 1, bytes.size(), m_stream);
    std::fflush(m_stream);
}

void HostOutput::Hints(const std::vector<std::string> &lines)
{
    if (m_form == OutputForm::Human) {
        for (const std::string &line : lines)
            Write("hint: " + EscapeText(line) + "\n");
    }
}

void HostOutput::BeginFile(const std::string &file)
{
    if (m_form == OutputForm::Porcelain) {
        Write("file\t" + EscapeText(file) + "\n");
        return;
    }
    m_linePrefix = HumanFileName(file) + ": ";
}

void HostOutput::Release() noexcept
{
    m_held = false;
    for (const HostNotification &notification : m_waiting) {
        try {
            Notify(notification);
        } catch (...) {
            // Released on the way out of the page, where nothing may throw.
        }
    }
    m_waiting.clear();
}
