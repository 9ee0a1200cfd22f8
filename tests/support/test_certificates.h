// Throwaway certificates for TLS tests, made once per test program with the
// openssl command in a folder of their own: a CA, a server certificate it
// signed for localhost and 127.0.0.1, one it signed for another name, and,
// when first asked for, one for 127.0.0.1 with an RSA key, which TLS 1.1
// ciphers need.
#pragma once

#include "support/temp_folder.h"

#include <filesystem>
#include <mutex>

class TestCertificates {
public:
    // The program's one set; Made() is false where openssl failed.
    static const TestCertificates &Shared();
    TestCertificates(const TestCertificates &) = delete;
    TestCertificates &operator=(const TestCertificates &) = delete;

    bool Made() const { return m_made; }
    // Makes RSA_SERVER on the first call (an RSA key takes long to make);
    // false where openssl failed.
    bool MadeRsa() const;
    std::filesystem::path Ca() const { return m_folder / "ca.pem"; }
    std::filesystem::path Certificate(const char *name) const { return m_folder / (std::string(name) + ".pem"); }
    std::filesystem::path Key(const char *name) const { return m_folder / (std::string(name) + ".key"); }

    // The certificate for localhost and 127.0.0.1, the one for
    // other.example, and the RSA one for 127.0.0.1.
    static constexpr const char *SERVER = "server";
    static constexpr const char *OTHER = "other";
    static constexpr const char *RSA_SERVER = "rsa-server";

private:
    TestCertificates();
    bool MakeCa() const;
    bool MakeSigned(const char *name, const char *altNames, const char *keyType = "ec") const;

    TempFolder m_folder;
    bool m_made = false;
    mutable std::once_flag m_rsaOnce;
    mutable bool m_rsaMade = false;
};
