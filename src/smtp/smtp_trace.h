// CSmtpTrace: the transcript of one SMTP session for troubleshooting,
// appended to a file: one time-stamped line per line sent ("> ") or
// received ("< ") and per event ("* "). The session decides what is
// shown: secrets and message content never reach it. Owned by the
// session, on its thread; a trace without a file writes nothing.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

class CSmtpTrace {
public:
    CSmtpTrace() = default;

    // Appends to the file at `path` from now on; "-" is standard error,
    // null or empty ends the trace. A file that cannot be opened is
    // skipped: the trace must never fail a delivery.
    void Open(const char *path);

    void Sent(std::string_view bytes) { Lines('>', bytes); }
    void Received(std::string_view bytes) { Lines('<', bytes); }
    void Note(std::string_view text) { Lines('*', text); }

private:
    struct FileClose {
        void operator()(std::FILE *file) const { std::fclose(file); }
    };

    void Lines(char mark, std::string_view bytes);
    void Line(char mark, std::string_view line);

    std::unique_ptr<std::FILE, FileClose> m_file;
    std::FILE *m_out = nullptr;  // m_file or stderr
};
