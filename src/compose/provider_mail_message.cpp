#include "compose/provider_mail_message.h"

#include "compose/envelope_address.h"
#include "compose/header_words.h"

#include <array>

std::string MailDate(std::chrono::sys_seconds time)
{
    using namespace std::chrono;
    constexpr std::array<const char *, 7> DAYS{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    constexpr std::array<const char *, 12> MONTHS{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const sys_days day = floor<days>(time);
    const year_month_day date(day);
    const hh_mm_ss clock(time - day);
    return CString::Formatted("%s, %02u %s %04d %02d:%02d:%02d +0000", DAYS[weekday(day).c_encoding()],
                              static_cast<unsigned>(date.day()), MONTHS[static_cast<unsigned>(date.month()) - 1],
                              static_cast<int>(date.year()), static_cast<int>(clock.hours().count()),
                              static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()))
        .str();
}

// Under the domain of the sender's address, as receiving servers expect.
std::string CProviderMailMessage::MessageId() const
{
    const CString sender = EnvelopeSender(m_from.m_address);
    const std::size_t at = sender.view().rfind('@');
    const std::string_view domain = at == std::string_view::npos ? sender.view() : sender.view().substr(at + 1);
    return "<" + m_stamp.unique + "@" + std::string(domain) + ">";
}

CString CProviderMailMessage::BuildHeader() const
{
    const auto encoded = [this](std::string_view text) { return EncodedWords(text, m_charset); };
    std::string lines = "Date: " + MailDate(m_stamp.time) + "\r\n";
    lines += AddressAndSubjectLines(encoded).str();
    lines += "Message-ID: " + MessageId() + "\r\n";
    if (m_attachments.empty())
        lines += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=" + m_charset +
                 "\r\nContent-Transfer-Encoding: 8bit\r\n";
    else
        lines += MIME_MULTIPART_LINES;
    return CString(FoldedLines(lines) + "\r\n");
}
