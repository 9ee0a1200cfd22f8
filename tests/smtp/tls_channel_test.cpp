// The TLS handshake on the client socket obeys the abort and its bounds
// like every other wait of the socket: a server that takes the connection
// and never answers the ClientHello cannot hold the sender. A server that
// offers nothing newer than TLS 1.1 is refused.
#include "platform/last_error.h"
#include "platform/ticks.h"
#include "smtp/client_socket.h"
#include "support/temp_folder.h"
#include "support/test_certificates.h"
#include "tls_test_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class TlsHandshakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Certificates().Made())
            GTEST_SKIP() << "the openssl command could not make the test certificates";
        server = std::make_unique<TlsTestServer>(Certificates().Certificate(TestCertificates::SERVER),
                                                 Certificates().Key(TestCertificates::SERVER),
                                                 std::vector<TlsReply>{}, TlsHandshake::Never);
        socket.SetAbortEvent(&abort);
        ASSERT_TRUE(socket.Connect("127.0.0.1", server->Port()));
    }

    static const TestCertificates &Certificates() { return TestCertificates::Shared(); }
    TlsPeer Peer() const { return {"127.0.0.1", Certificates().Ca().string().c_str()}; }

    std::unique_ptr<TlsTestServer> server;
    CEvent abort;
    CClientSocket socket;  // after the server: closed first
    CString failure;
};

TEST_F(TlsHandshakeTest, CancelDuringAHandshakeThatNeverCompletesEndsItAtOnce)
{
    std::atomic<DWORD> cancelledAt{0};
    std::thread canceller([&] {
        EXPECT_TRUE(server->WaitForHello(5000));
        cancelledAt = GetTickCount();
        abort.SetEvent();
    });
    EXPECT_FALSE(socket.StartTls(Peer(), {60000, 60000}, failure));
    const DWORD ended = GetTickCount();
    const DWORD error = GetLastError();
    canceller.join();
    EXPECT_EQ(error, WSAEINTR);
    EXPECT_LT(ended - cancelledAt, 300u);
    EXPECT_FALSE(socket.IsSecure());
}

TEST_F(TlsHandshakeTest, SilentServerFailsTheHandshakeWhenItsBoundRunsOut)
{
    EXPECT_FALSE(socket.StartTls(Peer(), {100, 5000}, failure));
    EXPECT_EQ(GetLastError(), WSAETIMEDOUT);
    EXPECT_EQ(failure, "TLS handshake with 127.0.0.1 failed: no answer in time");
}

TEST_F(TlsHandshakeTest, UnreadableTrustedCertificatesFailBeforeTheHandshake)
{
    TempFolder folder;
    const std::string noCertificate = (folder / "none.pem").string();
    WriteFile(noCertificate, "no certificate here\n");
    for (const std::string &file : {std::string("/nonexistent/ca.pem"), noCertificate}) {
        EXPECT_FALSE(socket.StartTls({"127.0.0.1", file.c_str()}, {5000, 5000}, failure));
        EXPECT_EQ(failure.Find(("Cannot read the trusted certificates in " + file + ": ").c_str()), 0) << failure.str();
    }
    EXPECT_FALSE(server->WaitForHello(0));
}

TEST(TlsVersionTest, ServerOfferingTls11AtMostIsRefusedThoughItsCertificateVerifies)
{
    const TestCertificates &certificates = TestCertificates::Shared();
    if (!certificates.MadeRsa())
        GTEST_SKIP() << "the openssl command could not make the test certificates";
    TlsTestServer server(certificates.Certificate(TestCertificates::RSA_SERVER),
                         certificates.Key(TestCertificates::RSA_SERVER), {"220 ready\r\n"}, TlsHandshake::Tls11Only);
    CClientSocket socket;
    ASSERT_TRUE(socket.Connect("127.0.0.1", server.Port()));
    CString failure;
    EXPECT_FALSE(socket.StartTls({"127.0.0.1", certificates.Ca().string().c_str()}, {5000, 5000}, failure));
    EXPECT_FALSE(socket.IsSecure());
#if defined(_WIN32)
    // The reason is the TLS library's: Schannel's words are its own.
    EXPECT_EQ(failure.Find("TLS handshake with 127.0.0.1 failed: "), 0) << failure.str();
#else
    EXPECT_EQ(failure, "TLS handshake with 127.0.0.1 failed: tlsv1 alert protocol version");
#endif
}

}  // namespace
