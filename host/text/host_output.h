// HostOutput: where a command writes what the plug-in told it, one line per
// notification, flushed at once, in human or porcelain form. While a file's
// message is under way, human lines start with the file's name and
// porcelain has said "file<TAB>PATH" before them. Host's thread.
#pragma once

#include "host/text/notification_format.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class HostOutput {
public:
    HostOutput(OutputForm form, std::FILE *stream) : m_form(form), m_stream(stream) {}

    OutputForm Form() const { return m_form; }
    void Notify(const HostNotification &notification);
    // Writes `utf8` as it is (human lines go through the terminal's encoding).
    void Write(std::string_view utf8);
    // The notifications that follow belong to the message of `file` ("-"
    // for standard input), until the next file or EndFile.
    void BeginFile(const std::string &file);
    void EndFile() { m_linePrefix.clear(); }
    // Human form: "hint: LINE" for each line; porcelain leaves hints out.
    void Hints(const std::vector<std::string> &lines);
    // While held (the terminal shows a page), notifications wait, in
    // order, to be written when released.
    void Hold() { m_held = true; }
    void Release() noexcept;

private:
    OutputForm m_form;
    std::FILE *m_stream;
    std::string m_linePrefix;  // human form: "FILE: "
    bool m_held = false;
    std::vector<HostNotification> m_waiting;
};

// Holds the output's notifications for its lifetime.
class HeldNotifications {
public:
    explicit HeldNotifications(HostOutput &output) : m_output(output) { m_output.Hold(); }
    ~HeldNotifications() { m_output.Release(); }
    HeldNotifications(const HeldNotifications &) = delete;
    HeldNotifications &operator=(const HeldNotifications &) = delete;

private:
    HostOutput &m_output;
};
