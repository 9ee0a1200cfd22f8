#include "compose/mail_message.h"

#include "compose/address_parser.h"
#include "compose/body_text.h"
#include "platform/last_error.h"

#include <algorithm>
#include <utility>

namespace {

CString HeaderField(CString text)
{
    char *bytes = text.GetBuffer();
    std::replace_if(bytes, bytes + text.GetLength(), [](char ch) { return ch == '\r' || ch == '\n'; }, ' ');
    return text;
}

std::string AsWritten(std::string_view text) { return std::string(text); }

CString DisplayText(const CMailAddress &address, const CMailMessage::PhraseForm &form)
{
    if (address.m_displayName.IsEmpty())
        return HeaderField(address.m_address);
    const CString name(form(HeaderField(address.m_displayName).view()));
    return CMailAddress(name, HeaderField(address.m_address)).GetDisplayText();
}

CString JoinDisplayTexts(const std::vector<CMailAddress> &list, const CMailMessage::PhraseForm &form)
{
    CString joined;
    for (const CMailAddress &address : list) {
        if (!joined.IsEmpty())
            joined += ",";
        joined += DisplayText(address, form);
    }
    return joined;
}

}  // namespace

const std::vector<CMailAddress> *CMailMessage::List(int kind) const
{
    switch (kind) {
    case ADDRESS_TO: return &m_to;
    case ADDRESS_CC: return &m_cc;
    case ADDRESS_BCC: return &m_bcc;
    default: return nullptr;
    }
}

std::vector<CMailAddress> *CMailMessage::List(int kind)
{
    return const_cast<std::vector<CMailAddress> *>(std::as_const(*this).List(kind));
}

int CMailMessage::GetAddressCount(int kind) const
{
    const auto *list = List(kind);
    return list ? static_cast<int>(list->size()) : 0;
}

CMailAddress CMailMessage::GetAddress(int index, int kind) const
{
    const auto *list = List(kind);
    if (!list || index < 0 || index >= static_cast<int>(list->size()))
        return CMailAddress();
    return (*list)[static_cast<std::size_t>(index)];
}

int CMailMessage::AddAddress(const CMailAddress &address, int kind)
{
    auto *list = List(kind);
    if (!list)
        return -1;
    list->push_back(address);
    return static_cast<int>(list->size()) - 1;
}

BOOL CMailMessage::ParseAddressList(const CString &text, int kind, CString *unreadable)
{
    // The text may be an address of this very message, which appending moves.
    const CString copy = text;
    for (const std::string_view item : SplitAddressList(copy.view())) {
        CMailAddress address;
        const AddressItem parsed = ParseAddressItem(item, address);
        if (parsed == AddressItem::Malformed) {
            if (unreadable)
                *unreadable = CString(item);
            SetLastError(ERROR_INVALID_DATA);
            return FALSE;
        }
        if (parsed == AddressItem::Parsed)
            AddAddress(address, kind);
    }
    return TRUE;
}

// The stored copy shares the caller's text until StuffDots writes the
// stuffed one.
void CMailMessage::SetBody(const CString &body, const ByteMap *map)
{
    m_body = body;
    StuffDots(m_body, map);
}

CString CMailMessage::AddressAndSubjectLines(const PhraseForm &form) const
{
    const CString from = DisplayText(m_from, form);
    const CString to = JoinDisplayTexts(m_to, form);
    const CString cc = JoinDisplayTexts(m_cc, form);
    const CString subject(form(HeaderField(m_subject).view()));
    CString lines = CString::Formatted("From: %s\r\nTo: %s\r\n", from.GetString(), to.GetString());
    if (!cc.IsEmpty())
        lines += CString::Formatted("Cc: %s\r\n", cc.GetString());
    lines += CString::Formatted("Subject: %s\r\n", subject.GetString());
    if (!m_replyTo.m_address.IsEmpty())
        lines += CString::Formatted("Reply-To: %s\r\n", DisplayText(m_replyTo, form).GetString());
    return lines;
}

CString CMailMessage::BuildHeader() const
{
    CString header = AddressAndSubjectLines(AsWritten);
    if (!m_attachments.empty())
        header += MIME_MULTIPART_LINES;
    return header + "\r\n";
}
