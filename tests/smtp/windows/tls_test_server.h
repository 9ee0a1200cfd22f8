// The TLS test server (../tls_test_server.h) as tls_reply_server.py, run
// by the Linux side's Python under Wine.
#pragma once

#include "support/windows/unix_process.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class TlsTestServer {
public:
    TlsTestServer(const std::filesystem::path &certificate, const std::filesystem::path &key,
                  const std::vector<TlsReply> &replies, TlsHandshake handshake = TlsHandshake::Complete)
        : m_child(Words(certificate, key, handshake))
    {
        std::string lines;
        for (const TlsReply &reply : replies)
            lines += std::to_string(reply.pauseMs) + " " + Hex(reply.text) + "\n";
        m_child.Write(lines + "\n");
        const std::optional<std::string> port = m_child.ReadLine(ANSWER_MS);
        m_port = port ? static_cast<unsigned short>(std::stoi(*port)) : 0;
    }

    unsigned short Port() const { return m_port; }
    // Without the handshake: waits up to `timeout` ms for the client's
    // first bytes (its ClientHello).
    bool WaitForHello(DWORD timeout) { return m_child.ReadLine(timeout) == "hello"; }
    // What the client sent under TLS, once it has closed: a reply still
    // paused is not sent, and the server reads to the end.
    std::string Received()
    {
        std::string received;
        for (const std::string &read : Reads())
            received += read;
        return received;
    }
    // The same, as each read took it: one TLS record per read.
    std::vector<std::string> Reads()
    {
        if (!m_reads) {
            m_child.Write("stop\n");
            m_reads.emplace();
            for (std::optional<std::string> line; (line = m_child.ReadLine(ANSWER_MS)) && *line != "end";)
                m_reads->push_back(Bytes(line->substr(line->find(' ') + 1)));
        }
        return *m_reads;
    }

private:
    // The longest the script may take to start or to answer.
    static constexpr DWORD ANSWER_MS = 30000;

    static std::vector<std::string> Words(const std::filesystem::path &certificate, const std::filesystem::path &key,
                                          TlsHandshake handshake)
    {
        const std::string script = std::string(MORV_SOURCE_DIR) + "/tests/smtp/windows/tls_reply_server.py";
        if (handshake == TlsHandshake::Never)
            return {"/usr/bin/python3", script, "never"};
        const char *mode = handshake == TlsHandshake::Tls11Only ? "tls11" : "complete";
        return {"/usr/bin/python3", script, mode, UnixPath(certificate), UnixPath(key)};
    }

    static std::string Hex(const std::string &bytes)
    {
        static constexpr char DIGITS[] = "0123456789abcdef";
        std::string hex;
        for (const unsigned char c : bytes)
            hex += {DIGITS[c >> 4], DIGITS[c & 15]};
        return hex;
    }

    static std::string Bytes(const std::string &hex)
    {
        std::string bytes;
        for (std::size_t at = 0; at + 1 < hex.size(); at += 2)
            bytes += static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16));
        return bytes;
    }

    UnixChild m_child;
    unsigned short m_port = 0;
    std::optional<std::vector<std::string>> m_reads;  // once the server has told them
};
