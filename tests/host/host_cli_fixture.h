// What the tests of morv-host's commands share: a project in a folder of
// the test's own, the arguments that point the program at it, body files,
// and the project refusals that config and send both make.
#pragma once

#include "host/loopback/loopback_smtp_server.h"
#include "host_process.h"
#include "support/temp_folder.h"

#include <sys/types.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

constexpr const char *EMPTY_PROJECT = "{\"morv-host-project\": 1, \"games\": {}}\n";

using Settings = std::map<std::string, std::string>;

// A project holding the games with these settings, as config saves them.
std::string ProjectWith(const std::map<std::string, Settings> &games);

// "ServerSMTP" at the sink, "From" and "To".
Settings SinkSettings(const LoopbackSmtpServer &sink);

// The permission bits of the file.
mode_t ModeOf(const std::filesystem::path &path);

// The output holds `line` as a whole line (or the end of one).
bool Has(const std::string &output, const std::string &line);

std::size_t Count(const std::string &text, const std::string &part);

class HostCliTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(project, EMPTY_PROJECT); }

    // The global options for the test's project, then `rest`.
    std::vector<std::string> Args(std::vector<std::string> rest, bool porcelain = true) const;
    // A body file in the test's folder.
    std::string Body(const std::string &name, const std::string &text) const;
    HostRun Send(const std::string &game, std::vector<std::string> extra, const std::string &input = {}) const;
    // The project holds `game` pointed at the sink.
    void UseSink(const LoopbackSmtpServer &sink, const std::string &game = "G") const;

    // `command` (config or send with its arguments) refuses a project file
    // that is not ours, says why and leaves it as it is.
    void ExpectProjectsNotOursRefused(const std::vector<std::string> &command);
    // `command` refuses, before it reads a byte or takes the lock, a
    // project that is no regular file or too large.
    void ExpectProjectsNoRegularFileRefusedUnread(const std::vector<std::string> &command);

    TempFolder folder;
    std::filesystem::path project = folder / "project.json";
};
