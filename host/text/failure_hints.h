// Hints after a failed delivery, printed as git prints its hints: what
// morv-host can tell beyond the plug-in's text, from the transcript of
// the SMTP session and the game's settings. Each comes from one rule of a
// table (what the transcript or the text shows -> the likely fix). Pure.
#pragma once

#include <string>
#include <vector>

// All in UTF-8.
struct FailedDelivery {
    std::string game;
    std::string text;        // the plug-in's failure text
    std::string transcript;  // the session's transcript, as the plug-in wrote it
    std::string security;    // the game's settings; empty when absent
    std::string server;
    std::string login;
};

// One line each, without "hint: "; none when the plug-in's text says it
// all.
std::vector<std::string> FailureHints(const FailedDelivery &failure);
