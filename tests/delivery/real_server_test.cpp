// End to end against an SMTP server no one here wrote (aiosmtpd): a Cyrillic
// message handed to Send, checked in the bytes the server stored and read
// back by a standard mail parser.
#include "platform/resources.h"
#include "support/aiosmtpd_server.h"
#include "support/plugin_api.h"
#include "support/shell_command.h"
#include "support/temp_folder.h"
#include "support/test_host.h"

#include <gtest/gtest.h>


#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string RunPython(const std::string &code, const fs::path &file)
{
    return CommandOutput(std::string(AiosmtpdServer::PYTHON) + " -c " + ShellQuoted(code) + " " +
                         ShellQuoted(file.string()));
}

TEST(RealServerTest, CyrillicTurnArrivesAsKoi8AndParses)
{
    if (!AiosmtpdServer::Available())
        GTEST_SKIP() << "python3-aiosmtpd is missing: no real SMTP server to test against";
    SetResourceLanguage(ResourceLanguage::English);
    const TempFolder folder;
    const fs::path &directory = folder.Path();
    AiosmtpdServer server(directory);
    ASSERT_GT(server.Port(), 0) << "aiosmtpd did not start (python3-aiosmtpd missing?)";

    PluginLibrary library;
    TestHost host(library.Api());
    host.Load();
    const std::string serverSetting = server.Address();
    RestoreGame(host.Api(), "Alpha",
                MakeMap({{"From", "player@example.org"}, {"To", "Zentar <server@example.org>"},
                         {"Subject", "\xCF\xF0\xE8\xE2\xE5\xF2"},  // "Привет"
                         {"ServerSMTP", serverSetting.c_str()}}));
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
}

}  // namespace
