// The text of a message as `send` reads it from a file or standard input
// ("-"), in the encoding the user names, handed to the plug-in in
// Windows-1251. Every problem is a UsageError that says what is wrong with
// the file and how to put it right; it comes before anything is sent.
#pragma once

#include <string>
#include <vector>

// The encodings --encoding takes, as iconv names them by the same words.
const std::vector<std::string> &BodyEncodings();

// The file's text in Windows-1251. A UTF-8 byte-order mark is dropped.
// Throws UsageError for a folder, an unreadable file, bytes that cannot be
// text (file_text_check.h), text that is not in `encoding`, and text that
// Windows-1251 cannot hold. On a terminal, standard input is read after
// saying so.
std::string ReadMessageBody(const std::string &file, const std::string &encoding);
