// The shipped sendmail provider: running the program, its exit statuses,
// the library's entry points against a fake sendmail script, and a
// delivery through DeliverByMapi that ends in that script.
#include "mail/mapi.h"
#include "mail/message_record.h"
#include "mapi_environment.h"
#include "platform/library.h"
#include "platform/resources.h"
#include "provider_settings.h"
#include "sendmail_program.h"
#include "settings/game_settings.h"
#include "support/linked_plugin_api.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <future>
#include <string>

namespace {

const std::string PROVIDER = std::string(SENDMAIL_MAPI_DIR) + "/libmapi32.so";

// `mail` with the text of its Date line replaced by "-".
std::string WithoutDate(std::string mail)
{
    const auto start = mail.find("\nDate: ");
    if (start != std::string::npos)
        mail.replace(start + 7, mail.find('\n', start + 1) - start - 7, "-");
    return mail;
}

TEST(SendmailProgramTest, PassesArgumentsAndInputAndReturnsTheStatus)
{
    MapiEnvironment env;
    for (const int status : {0, 75}) {
        const std::string program = env.WriteSendmail(status);
        EXPECT_EQ(RunWithInput(program, {"-t", "-i"}, "To: a@x\n\nbody\n"), status);
        EXPECT_EQ(env.ReadFile(program + ".args"), "-t\n-i\n");
        EXPECT_EQ(env.ReadFile(program + ".input"), "To: a@x\n\nbody\n");
    }
}

TEST(SendmailProgramTest, ProgramThatCannotRunOrStopsReadingIsNoCrash)
{
    MapiEnvironment env;
    EXPECT_EQ(RunWithInput(env.Folder() + "/absent", {}, "x"), -1);
    const std::string quitter = env.WriteFile("quitter", "#!/bin/sh\nexit 3\n");
    std::filesystem::permissions(quitter, std::filesystem::perms::owner_all);
    EXPECT_EQ(RunWithInput(quitter, {}, std::string(1 << 22, 'x')), 3);
}

// The provider library loaded as the plug-in loads it.
class SendmailProviderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        library = LoadLibraryA(PROVIDER.c_str());
        ASSERT_NE(library, nullptr);
        logon = reinterpret_cast<LPMAPILOGON>(GetProcAddress(library, "MAPILogon"));
        logoff = reinterpret_cast<LPMAPILOGOFF>(GetProcAddress(library, "MAPILogoff"));
        sendMail = reinterpret_cast<LPMAPISENDMAIL>(GetProcAddress(library, "MAPISendMail"));
        resolveName = reinterpret_cast<LPMAPIRESOLVENAME>(GetProcAddress(library, "MAPIResolveName"));
        freeBuffer = reinterpret_cast<LPMAPIFREEBUFFER>(GetProcAddress(library, "MAPIFreeBuffer"));
        ASSERT_TRUE(logon && logoff && sendMail && resolveName && freeBuffer);
        program = env.WriteSendmail(0);
        env.SetVariable(SENDMAIL_VARIABLE, program);
    }
    void TearDown() override
    {
        if (library)
            FreeLibrary(library);
    }

    std::uint32_t Send(LHANDLE session, const char *to, FLAGS flags = 0, std::uint32_t files = 0)
    {
        std::string name = to;
        MapiRecipDesc recipient{};
        recipient.ulRecipClass = MAPI_TO;
        recipient.lpszName = name.data();
        MapiFileDesc file{};
        MapiMessage message{};
        message.nRecipCount = 1;
        message.lpRecips = &recipient;
        message.nFileCount = files;
        message.lpFiles = files ? &file : nullptr;
        return sendMail(session, 0, &message, flags, 0);
    }

    MapiEnvironment env;
    std::string program;
    HMODULE library = nullptr;
    LPMAPILOGON logon = nullptr;
    LPMAPILOGOFF logoff = nullptr;
    LPMAPISENDMAIL sendMail = nullptr;
    LPMAPIRESOLVENAME resolveName = nullptr;
    LPMAPIFREEBUFFER freeBuffer = nullptr;
};

TEST_F(SendmailProviderTest, SessionsOpenAndCloseOnce)
{
    char profile[] = "Default";
    char password[] = "";
    LHANDLE first = 0, second = 0;
    ASSERT_EQ(logon(0, profile, password, MAPI_NEW_SESSION, 0, &first), SUCCESS_SUCCESS);
    ASSERT_EQ(logon(0, nullptr, nullptr, 0, 0, &second), SUCCESS_SUCCESS);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(logoff(first, 0, 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(logoff(first, 0, 0, 0), MAPI_E_INVALID_SESSION);
    EXPECT_EQ(Send(first, "a@x"), MAPI_E_INVALID_SESSION);
    EXPECT_EQ(Send(second, "a@x"), SUCCESS_SUCCESS);
    EXPECT_EQ(logoff(second, 0, 0, 0), SUCCESS_SUCCESS);
}

TEST_F(SendmailProviderTest, ResolvesNamesAsGiven)
{
    char name[] = "Orion Server <s@x>";
    lpMapiRecipDesc resolved = nullptr;
    ASSERT_EQ(resolveName(0, 0, name, 0, 0, &resolved), SUCCESS_SUCCESS);
    EXPECT_STREQ(resolved->lpszName, name);
    EXPECT_EQ(resolved->ulRecipClass, MAPI_TO);
    EXPECT_EQ(freeBuffer(resolved), SUCCESS_SUCCESS);
    char broken[] = "a@x\nBcc: b@y";
    char empty[] = "";
    EXPECT_EQ(resolveName(0, 0, broken, 0, 0, &resolved), MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_EQ(resolveName(0, 0, empty, 0, 0, &resolved), MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_EQ(resolved, nullptr);
}

TEST_F(SendmailProviderTest, SendmailStatusBecomesTheResult)
{
    EXPECT_EQ(Send(0, "a@x"), SUCCESS_SUCCESS);
    EXPECT_EQ(env.ReadFile(program + ".args"), "-t\n-i\n");
    env.SetVariable(SENDMAIL_VARIABLE, env.WriteSendmail(69));
    EXPECT_EQ(Send(0, "a@x"), MAPI_E_NETWORK_FAILURE);
    env.SetVariable(SENDMAIL_VARIABLE, env.Folder() + "/no-sendmail");
    EXPECT_EQ(Send(0, "a@x"), MAPI_E_FAILURE);
}

// Reads what a program writes into the FIFO `path`, waiting at most
// `timeoutMs` for it; empty when nothing came.
std::string ReadFifo(const std::string &path, int timeoutMs)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return {};
    pollfd ready{fd, POLLIN, 0};
    char text[32] = "";
    if (::poll(&ready, 1, timeoutMs) == 1)
        static_cast<void>(::read(fd, text, sizeof text - 1));
    ::close(fd);
    return text;
}

TEST_F(SendmailProviderTest, LogoffEndsTheSendmailStillRunningForTheSessionAndReapsIt)
{
    const std::string started = env.Folder() + "/started";
    ASSERT_EQ(::mkfifo(started.c_str(), 0600), 0);
    // Takes the mail, says who it is, then waits far longer than the test.
    const std::string slow = env.WriteFile("slow", "#!/bin/sh\ncat > /dev/null\necho $$ > \"" + started +
                                                       "\"\nexec sleep 30\n");
    std::filesystem::permissions(slow, std::filesystem::perms::owner_all);
    env.SetVariable(SENDMAIL_VARIABLE, slow);
    LHANDLE session = 0;
    ASSERT_EQ(logon(0, nullptr, nullptr, 0, 0, &session), SUCCESS_SUCCESS);
    auto sending = std::async(std::launch::async, [&] { return Send(session, "a@x"); });
    const pid_t sendmail = static_cast<pid_t>(std::stol("0" + ReadFifo(started, 20000)));
    ASSERT_GT(sendmail, 0);
    EXPECT_EQ(logoff(session, 0, 0, 0), SUCCESS_SUCCESS);
    ASSERT_EQ(sending.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(sending.get(), MAPI_E_USER_ABORT);
    // Neither running nor left as a zombie.
    EXPECT_EQ(::kill(sendmail, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST_F(SendmailProviderTest, RefusedMailNeverReachesSendmail)
{
    EXPECT_EQ(Send(0, "a@x", 0, 1), MAPI_E_TOO_MANY_FILES);
    EXPECT_EQ(Send(0, "a@x", MAPI_DIALOG), MAPI_E_NOT_SUPPORTED);
    EXPECT_EQ(Send(0, "a@x\r\nBcc: all@x"), MAPI_E_INVALID_RECIPS);
    EXPECT_EQ(sendMail(0, 0, nullptr, 0, 0), MAPI_E_INVALID_MESSAGE);
    EXPECT_FALSE(std::filesystem::exists(program + ".input"));
}

// The whole way: the plug-in's mailer loads the shipped provider, which
// hands the mail to the sendmail script.
class SendmailDeliveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceLanguage(ResourceLanguage::English);
        env.InstallProvider(SENDMAIL_MAPI_DIR);
        record[KEY_GAME_NAME] = "Orion";
        record[KEY_MAILER] = "1";
        record[KEY_TO] = "a@game.example; b@game.example";
        record[KEY_SUBJECT] = "\xD5\xEE\xE4 7";
        record[KEY_BODY] = "orders\r\n.\r\nend";
    }

    MapiEnvironment env;
    CMessageRecord record;
};

TEST_F(SendmailDeliveryTest, MailerOneHandsTheMailToSendmail)
{
    const std::string program = env.WriteSendmail(0);
    env.SetVariable(SENDMAIL_VARIABLE, program);
    EXPECT_TRUE(record.Deliver());
    EXPECT_EQ(record.GetError(), "Orion MAPI error 0");
    const std::string input = env.ReadFile(program + ".input");
    EXPECT_EQ(WithoutDate(input),
              "To: a@game.example, b@game.example\nSubject: =?windows-1251?B?1e7kIDc=?=\nDate: -\n"
              "MIME-Version: 1.0\nContent-Type: text/plain; charset=windows-1251\n"
              "Content-Transfer-Encoding: 7bit\n\norders\n.\nend\n");
}

TEST_F(SendmailDeliveryTest, SendmailFailureReportsItsCode)
{
    env.SetVariable(SENDMAIL_VARIABLE, env.WriteSendmail(69));
    EXPECT_FALSE(record.Deliver());
    EXPECT_EQ(record.GetError(), "Orion MAPI error 23");
}

TEST_F(SendmailDeliveryTest, SendWithMailerOneReachesSendmailAndTheHostHearsItSent)
{
    const std::string program = env.WriteSendmail(0);
    env.SetVariable(SENDMAIL_VARIABLE, program);
    TestHost host(LinkedPluginApi());
    host.Load();
    RestoreGame(host.Api(), "Orion", MakeMap({{"Mailer", "1"}, {"To", "a@game.example"}, {"Subject", "turn"}}));
    CMapStringToString message = MakeMap({{"GameName", "Orion"}, {"Body", "orders"}});
    host.Api().Send(message);
    ASSERT_TRUE(host.WaitForText("Orion message sent")) << ::testing::PrintToString(host.Texts());
    host.Api().OnClose();
    EXPECT_NE(env.ReadFile(program + ".input").find("To: a@game.example\nSubject: turn\n"), std::string::npos);
}

}  // namespace
