// CMailMessage: one outgoing mail while the SMTP client sends it: sender,
// subject, reply-to, the stuffed body, the To/Cc/Bcc lists and pointers to
// attachments it does not own. Lives on the sending thread for one delivery.
#pragma once

#include "compose/mail_address.h"
#include "compose/body_text.h"
#include "compose/mail_attachment.h"
#include "platform/cstring.h"
#include "platform/win_types.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

constexpr int ADDRESS_TO = 0;
constexpr int ADDRESS_CC = 1;
constexpr int ADDRESS_BCC = 2;

// What frames the text part and closes the last part of a multipart message.
constexpr const char *MIME_TEXT_PART_HEAD = "\r\n--#BOUNDARY#\r\n"
                                            "Content-Type: text/plain; charset=us-ascii\r\n"
                                            "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
constexpr const char *MIME_CLOSING_DELIMITER = "\r\n--#BOUNDARY#--";
// The header lines of a message with attachments.
constexpr const char *MIME_MULTIPART_LINES = "MIME-Version: 1.0\r\n"
                                             "Content-type: multipart/mixed; boundary=\"#BOUNDARY#\"\r\n";

class CMailMessage {
public:
    CMailMessage() = default;
    virtual ~CMailMessage() = default;
    CMailMessage(const CMailMessage &) = default;
    CMailMessage &operator=(const CMailMessage &) = default;

    int GetAddressCount(int kind) const;
    // A copy of entry `index` of list `kind`; empty for a kind or index out
    // of range.
    CMailAddress GetAddress(int index, int kind) const;
    // Appends a copy; the index of the new entry, or -1 for an unknown kind.
    int AddAddress(const CMailAddress &address, int kind);
    // Appends every address of `text` to list `kind`. FALSE with last error
    // ERROR_INVALID_DATA at the first malformed item, which goes into
    // `unreadable` when given; the addresses parsed before it stay.
    BOOL ParseAddressList(const CString &text, int kind, CString *unreadable = nullptr);
    // Stores the body with every line ending in CR LF, dot-stuffed; each
    // byte written through `map` first, when given.
    void SetBody(const CString &body, const ByteMap *map = nullptr);
    // From, To, optional Cc, Subject, optional Reply-To, the MIME lines when
    // there are attachments, and the empty line. A CR or LF inside a field
    // is written as a blank, so no field can start a header line of its own.
    virtual CString BuildHeader() const;

    CMailAddress m_from;
    CString m_subject;
    CMailAddress m_replyTo;
    CString m_body;
    std::vector<CMailAddress> m_to;
    std::vector<CMailAddress> m_cc;
    std::vector<CMailAddress> m_bcc;
    std::vector<const CMailAttachment *> m_attachments;

    // How a display name or the subject is written into the header.
    using PhraseForm = std::function<std::string(std::string_view text)>;

protected:
    // The From, To, optional Cc, Subject and optional Reply-To lines, each
    // display name and the subject written in `form` once a CR or LF in it
    // has become a blank.
    CString AddressAndSubjectLines(const PhraseForm &form) const;

private:
    const std::vector<CMailAddress> *List(int kind) const;
    std::vector<CMailAddress> *List(int kind);
};
