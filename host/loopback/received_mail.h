// ReceivedMail: one mail as the loopback SMTP server received it: the
// envelope the server accepted and the content as it came over the wire.
// A value; the server hands out copies.
#pragma once

#include <string>
#include <vector>

struct ReceivedMail {
    std::string mailFrom;                 // the address between MAIL FROM's brackets
    std::vector<std::string> recipients;  // the same for each accepted RCPT TO
    std::string data;                     // the bytes after 354 up to the end line, as sent (dot-stuffed)

    // The content with the dot-stuffing undone: the mail as the sender meant it.
    std::string Content() const;
    // Content() split at the empty line that ends the header block.
    std::string Header() const;
    std::string Body() const;
};
