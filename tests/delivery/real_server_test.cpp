// End to end against an SMTP server no one here wrote (aiosmtpd): a Cyrillic
// message handed to Send, checked in the bytes the server stored and read
// back by a standard mail parser.
#include "platform/resources.h"
#include "support/plugin_api.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const char *const PYTHON = "/usr/bin/python3";

std::string ReadFile(const fs::path &path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// aiosmtpd_sink.py in a child process; it stops when its standard input
// closes.
class AiosmtpdServer {
public:
    explicit AiosmtpdServer(const fs::path &directory)
    {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            close(toChild[1]);
            close(fromChild[0]);
            const std::string script = std::string(MORV_SOURCE_DIR) + "/tests/support/aiosmtpd_sink.py";
            execl(PYTHON, PYTHON, script.c_str(), directory.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        m_input = toChild[1];
        FILE *output = fdopen(fromChild[0], "r");
        if (output && std::fscanf(output, "%d", &m_port) != 1)
            m_port = 0;
        if (output)
            std::fclose(output);
    }
    ~AiosmtpdServer()
    {
        if (m_input >= 0)
            close(m_input);
        if (m_pid > 0)
            waitpid(m_pid, nullptr, 0);
    }

    int Port() const { return m_port; }

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_port = 0;
};

std::string RunPython(const std::string &code, const fs::path &file)
{
    const std::string command = std::string(PYTHON) + " -c '" + code + "' " + file.string();
    FILE *pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    if (pipe)
        pclose(pipe);
    return output;
}

TEST(RealServerTest, CyrillicTurnArrivesAsKoi8AndParses)
{
    SetResourceLanguage(ResourceLanguage::English);
    const fs::path directory = fs::temp_directory_path() / ("morv-aiosmtpd-" + std::to_string(getpid()));
    fs::create_directories(directory);
    AiosmtpdServer server(directory);
    ASSERT_GT(server.Port(), 0) << "aiosmtpd did not start (python3-aiosmtpd missing?)";

    PluginLibrary library;
    TestHost host(library.Api());
    host.Load();
    const std::string serverSetting = "127.0.0.1:" + std::to_string(server.Port());
    CString game("Alpha"), tag(MORV_SETTINGS_TAG);
    unsigned long version = MORV_SETTINGS_VERSION;
    CMapStringToString store = MakeMap({{"From", "player@example.org"}, {"To", "Zentar <server@example.org>"},
                                        {"Subject", "\xCF\xF0\xE8\xE2\xE5\xF2"},  // "Привет"
                                        {"ServerSMTP", serverSetting.c_str()}});
    host.Api().OnRestore(game, store, tag, version);
    // "Ход Щуки", a line of one dot, a line starting with a dot, no final CRLF.
    CMapStringToString message = MakeMap({{"GameName", "Alpha"}, {"Body", "\xD5\xEE\xE4 \xD9\xF3\xEA\xE8\r\n.\r\n.x"}});
    host.Api().Send(message);
    ASSERT_TRUE(host.WaitForText("Alpha message sent")) << ::testing::PrintToString(host.Texts());
    host.Api().OnClose();

    const fs::path stored = directory / "1.eml";
    ASSERT_TRUE(fs::exists(stored));
    EXPECT_EQ(ReadFile(stored), "From: player@example.org\r\nTo: Zentar <server@example.org>\r\n"
                                "Subject: \xF0\xD2\xC9\xD7\xC5\xD4\r\n\r\n"
                                "\xE8\xCF\xC4 \xFD\xD5\xCB\xC9\r\n.\r\n.x\r\n");
    EXPECT_EQ(ReadFile(directory / "1.envelope"), "player@example.org\nserver@example.org\n");
    const std::string parsed = RunPython(
        "import email,sys\n"
        "from email.header import decode_header\n"
        "m = email.message_from_bytes(open(sys.argv[1], \"rb\").read())\n"
        "subject = decode_header(m[\"Subject\"])[0][0].decode(\"koi8-r\")\n"
        "print(m[\"From\"], m[\"To\"], subject, sep=\"|\")\n"
        "print(m.get_payload(decode=True).decode(\"koi8-r\").splitlines()[0])",
        stored);
    EXPECT_EQ(parsed, "player@example.org|Zentar <server@example.org>|\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n"
                      "\xD0\xA5\xD0\xBE\xD0\xB4 \xD0\xA9\xD1\x83\xD0\xBA\xD0\xB8\n");
    fs::remove_all(directory);
}

}  // namespace
