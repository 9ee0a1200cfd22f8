// HostOutput: where a command writes what the plug-in told it, one line per
// notification, flushed at once, in human or porcelain form. A muted output
// drops notifications (the host's own bookkeeping calls). Host's thread.
#pragma once

#include "host/notification_format.h"

#include <cstdio>
#include <string_view>

class HostOutput {
public:
    HostOutput(OutputForm form, std::FILE *stream) : m_form(form), m_stream(stream) {}

    OutputForm Form() const { return m_form; }
    void Notify(const HostNotification &notification);
    // Writes `utf8` as it is (human lines go through the terminal's encoding).
    void Write(std::string_view utf8);

    void SetMuted(bool muted) { m_muted = muted; }
    bool Muted() const { return m_muted; }

private:
    OutputForm m_form;
    std::FILE *m_stream;
    bool m_muted = false;
};

// Mutes an output for its lifetime.
class MutedOutput {
public:
    explicit MutedOutput(HostOutput &output) : m_output(output), m_was(output.Muted()) { output.SetMuted(true); }
    ~MutedOutput() { m_output.SetMuted(m_was); }
    MutedOutput(const MutedOutput &) = delete;
    MutedOutput &operator=(const MutedOutput &) = delete;

private:
    HostOutput &m_output;
    bool m_was;
};
