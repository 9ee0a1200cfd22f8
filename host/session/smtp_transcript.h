// SmtpTranscript: the transcript of the plug-in's SMTP sessions, which it
// appends to the file MORV_SMTP_TRACE names, kept in memory for this run
// of morv-host: the lines of the current message (for hints and for the
// server check), and a copy of every line in the file the player asked
// for. Made before the plug-in is loaded; host's thread only.
#pragma once

#include "host/os/memory_file.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class SmtpTranscript {
public:
    // `copyTo`: a file that gets every line appended (made when missing),
    // "-" for standard error, empty for none. When no file can be kept in
    // memory, the plug-in writes straight to `copyTo` and nothing is kept.
    explicit SmtpTranscript(const std::string &copyTo);

    // The whole lines the plug-in added since the last call (a line it is
    // still writing waits), each without its line end; they are copied
    // and kept as the current message's.
    std::vector<std::string> Take();
    // Forgets the lines of the messages before.
    void BeginMessage() { m_message.clear(); }
    // The current message's lines, each ending in "\n".
    const std::string &MessageLines() const { return m_message; }

private:
    struct FileClose {
        void operator()(std::FILE *file) const { std::fclose(file); }
    };

    void OpenCopy(const std::string &copyTo);
    void Copy(const std::string &lines);

    std::optional<MemoryFile> m_capture;
    std::size_t m_taken = 0;  // bytes of m_capture taken so far
    std::unique_ptr<std::FILE, FileClose> m_file;
    std::FILE *m_copy = nullptr;  // m_file or stderr
    std::string m_message;
};
