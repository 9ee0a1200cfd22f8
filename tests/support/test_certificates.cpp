#include "support/test_certificates.h"

#include "support/shell_command.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// EC keys are made at once, unlike RSA ones.
std::string NewKey(const std::string &type)
{
    const std::string options = type == "ec" ? " -pkeyopt ec_paramgen_curve:prime256v1" : "";
    return "openssl req -newkey " + type + options + " -nodes ";
}

std::string Quoted(const fs::path &path) { return ShellQuoted(ShellPath(path)); }

// Wine checks an ECDSA signature whose r or s is shorter than the curve's
// size (one in 128) as broken: under Wine the CA signs with RSA.
#if defined(_WIN32)
constexpr const char *CA_KEY = "rsa:2048";
#else
constexpr const char *CA_KEY = "ec";
#endif

}  // namespace

const TestCertificates &TestCertificates::Shared()
{
    static const TestCertificates certificates;
    return certificates;
}

TestCertificates::TestCertificates()
    : m_made(MakeCa() && MakeSigned(SERVER, "DNS:localhost,IP:127.0.0.1") && MakeSigned(OTHER, "DNS:other.example"))
{
}

bool TestCertificates::MadeRsa() const
{
    std::call_once(m_rsaOnce, [this] { m_rsaMade = m_made && MakeSigned(RSA_SERVER, "IP:127.0.0.1", "rsa:2048"); });
    return m_rsaMade;
}

bool TestCertificates::MakeCa() const
{
    return CommandSucceeds(NewKey(CA_KEY) + "-x509 -days 2 -subj '/CN=Morv Test CA' -keyout " + Quoted(m_folder / "ca.key") +
               " -out " + Quoted(Ca()) +
               " -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign");
}

bool TestCertificates::MakeSigned(const char *name, const char *altNames, const char *keyType) const
{
    const fs::path request = m_folder / (std::string(name) + ".csr");
    const fs::path extensions = m_folder / (std::string(name) + ".ext");
    std::ofstream(extensions) << "subjectAltName=" << altNames << "\n";
    return CommandSucceeds(NewKey(keyType) + "-subj '/CN=" + name + "' -keyout " + Quoted(Key(name)) + " -out " + Quoted(request)) &&
           CommandSucceeds("openssl x509 -req -days 2 -in " + Quoted(request) + " -CA " + Quoted(Ca()) + " -CAkey " +
               Quoted(m_folder / "ca.key") + " -CAcreateserial -extfile " + Quoted(extensions) + " -out " +
               Quoted(Certificate(name)));
}
