#include "host_cli_fixture.h"

#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace fs = std::filesystem;

std::string ProjectWith(const std::map<std::string, Settings> &games)
{
    nlohmann::json project = {{"morv-host-project", 1}, {"games", nlohmann::json::object()}};
    for (const auto &[game, settings] : games) {
        nlohmann::json pairs(settings);
        pairs["GameName"] = game;
        project["games"][game] = {{"tag", "OXU:-)Transport"}, {"version", 100}, {"settings", pairs}};
    }
    return project.dump(2);
}

Settings SinkSettings(const LoopbackSmtpServer &sink)
{
    return {{"ServerSMTP", sink.Address()}, {"From", "me@x"}, {"To", "them@y"}};
}

mode_t ModeOf(const fs::path &path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

bool Has(const std::string &output, const std::string &line) { return output.find(line + "\n") != std::string::npos; }

std::size_t Count(const std::string &text, const std::string &part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

std::vector<std::string> HostCliTest::Args(std::vector<std::string> rest, bool porcelain) const
{
    std::vector<std::string> args{"--lang", "en", "--project", project.string()};
    if (porcelain)
        args.insert(args.begin(), "--porcelain");
    args.insert(args.end(), rest.begin(), rest.end());
    return args;
}

std::string HostCliTest::Body(const std::string &name, const std::string &text) const
{
    WriteFile(folder / name, text);
    return (folder / name).string();
}

HostRun HostCliTest::Send(const std::string &game, std::vector<std::string> extra, const std::string &input) const
{
    std::vector<std::string> args = Args({"send", game, "--timeout", "20"});
    args.insert(args.end(), extra.begin(), extra.end());
    return RunHostProgram(args, input);
}

void HostCliTest::UseSink(const LoopbackSmtpServer &sink, const std::string &game) const
{
    WriteFile(project, ProjectWith({{game, SinkSettings(sink)}}));
}

void HostCliTest::ExpectProjectsNotOursRefused(const std::vector<std::string> &command)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "is empty"},
        {"not json at all", "is not JSON"},
        {"{\"projects\": []}", "is not a morv-host project"},
        {R"({"morv-host-project": 1, "games": {"G": {"tag": "OtherPlugin", "version": 100, "settings": {"To": "t"}}}})",
         "belongs to another plug-in"},
        {R"({"morv-host-project": 1, "games": {"G": {"tag": "OXU:-)Transport", "version": 99, "settings": {}}}})",
         "version 99"},
    };
    for (const auto &[content, problem] : cases) {
        WriteFile(project, content);
        const HostRun run = RunHostProgram(Args(command), "body");
        EXPECT_EQ(run.exitCode, 2) << content;
        EXPECT_NE(run.err.find(problem), std::string::npos) << content << " -> " << run.err;
        EXPECT_EQ(ReadFile(project), content) << "the file was changed";
    }
}

// A device would be read until memory runs out, a pipe would block.
void HostCliTest::ExpectProjectsNoRegularFileRefusedUnread(const std::vector<std::string> &command)
{
    const fs::path pipe = folder / "pipe.json", large = folder / "large.json";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    WriteFile(large, EMPTY_PROJECT);
    fs::resize_file(large, (64u << 20) + 1);  // sparse: nothing is written
    const std::pair<fs::path, std::string> cases[] = {
        {"/dev/zero", "is not a regular file"}, {pipe, "is not a regular file"},
        {folder.Path(), "is not a regular file"}, {large, "larger than 64 MiB"}};
    for (const auto &[path, problem] : cases) {
        std::vector<std::string> args{"--project", path.string()};
        args.insert(args.end(), command.begin(), command.end());
        const HostRun run = RunHostProgram(args, "body", std::chrono::seconds(10));
        EXPECT_EQ(run.exitCode, 2) << path;
        EXPECT_NE(run.err.find(problem), std::string::npos) << path << " -> " << run.err;
        EXPECT_FALSE(fs::exists(path.parent_path() / ("." + path.filename().string() + ".lock"))) << path;
    }
}
