#include "host/host_output.h"

#include "host/text_codec.h"

void HostOutput::Notify(const HostNotification &notification)
{
    Write(FormatNotification(m_form, notification) + "\n");
}

void HostOutput::Write(std::string_view utf8)
{
    const std::string bytes = m_form == OutputForm::Porcelain ? std::string(utf8) : Utf8ToTerminal(utf8);
    std::fwrite(bytes.data(), 1, bytes.size(), m_stream);
    std::fflush(m_stream);
}
