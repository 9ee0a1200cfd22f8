// Throwaway certificates for TLS tests, made once per test program with the
// openssl command in a folder of their own: a CA, a server certificate it
// signed for localhost and 127.0.0.1, and one it signed for another name.
#pragma once

#include "support/temp_folder.h"

#include <filesystem>

class TestCertificates {
public:
    // The program's one set; Made() is false where openssl failed.
    static const TestCertificates &Shared();
    TestCertificates(const TestCertificates &) = delete;
    TestCertificates &operator=(const TestCertificates &) = delete;

    bool Made() const { return m_made; }
    std::filesystem::path Ca() const { return m_folder / "ca.pem"; }
    std::filesystem::path Certificate(const char *name) const { return m_folder / (std::string(name) + ".pem"); }
    std::filesystem::path Key(const char *name) const { return m_folder / (std::string(name) + ".key"); }

    // The certificate for localhost and 127.0.0.1, and the one for
    // other.example.
    static constexpr const char *SERVER = "server";
    static constexpr const char *OTHER = "other";

private:
    TestCertificates();
    bool MakeCa() const;
    bool MakeSigned(const char *name, const char *altNames) const;

    TempFolder m_folder;
    bool m_made = false;
};
