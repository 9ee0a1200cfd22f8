#include "smtp/windows/tls_certificate.h"

#include "smtp/socket_address.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::string_view PEM_BEGIN = "-----BEGIN CERTIFICATE-----";
constexpr std::string_view PEM_END = "-----END CERTIFICATE-----";

bool AddPemCertificate(HCERTSTORE store, std::string_view pem)
{
    DWORD size = 0;
    const auto length = static_cast<DWORD>(pem.size());
    if (!CryptStringToBinaryA(pem.data(), length, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
        return false;
    std::vector<BYTE> der(size);
    return CryptStringToBinaryA(pem.data(), length, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr) &&
           CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size, CERT_STORE_ADD_ALWAYS,
                                            nullptr);
}

// Adds each certificate block of `text`; false when one is broken.
bool AddPemCertificates(HCERTSTORE store, std::string_view text, int &added)
{
    for (std::size_t at = text.find(PEM_BEGIN); at != std::string_view::npos; at = text.find(PEM_BEGIN, at)) {
        const std::size_t end = text.find(PEM_END, at);
        if (end == std::string_view::npos || !AddPemCertificate(store, text.substr(at, end + PEM_END.size() - at)))
            return false;
        ++added;
        at = end;
    }
    return true;
}

struct ChainFree {
    void operator()(PCCERT_CHAIN_CONTEXT chain) const { CertFreeCertificateChain(chain); }
};
using Chain = std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFree>;

PCCERT_CONTEXT ChainRoot(PCCERT_CHAIN_CONTEXT chain)
{
    const CERT_SIMPLE_CHAIN *simple = chain->rgpChain[0];
    return simple->rgpElement[simple->cElement - 1]->pCertContext;
}

bool InStore(HCERTSTORE store, PCCERT_CONTEXT certificate)
{
    const Certificate found(
        CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, certificate, nullptr));
    return found != nullptr;
}

// The chain as the system builds it, with `trusted` and the certificates
// the server sent to find the issuers in.
Chain BuildChain(PCCERT_CONTEXT certificate, HCERTSTORE trusted)
{
    const CertificateStore candidates(
        CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr));
    if (!candidates)
        return nullptr;
    CertAddStoreToCollection(candidates.get(), certificate->hCertStore, 0, 0);
    if (trusted)
        CertAddStoreToCollection(candidates.get(), trusted, 0, 0);
    CERT_CHAIN_PARA parameters{};
    parameters.cbSize = sizeof parameters;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, candidates.get(), &parameters, 0, nullptr, &chain))
        return nullptr;
    return Chain(chain);
}

// What the chain itself lacks, read before the policy: Wine's policy
// passes a chain whose issuer was never found.
const char *ChainReason(PCCERT_CHAIN_CONTEXT chain, HCERTSTORE trusted)
{
    const DWORD status = chain->TrustStatus.dwErrorStatus;
    if (status & CERT_TRUST_IS_PARTIAL_CHAIN)
        return "unable to get local issuer certificate";
    if ((status & CERT_TRUST_IS_UNTRUSTED_ROOT) && !(trusted && InStore(trusted, ChainRoot(chain))))
        return chain->rgpChain[0]->cElement == 1 ? "self-signed certificate"
                                                 : "self-signed certificate in certificate chain";
    return nullptr;
}

const char *PolicyReason(DWORD error, bool byAddress)
{
    switch (error) {
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH): return byAddress ? "IP address mismatch" : "hostname mismatch";
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING): return "unable to get local issuer certificate";
    case static_cast<DWORD>(CERT_E_EXPIRED): return "certificate has expired";
    case static_cast<DWORD>(CERT_E_REVOKED): return "certificate revoked";
    case static_cast<DWORD>(CERT_E_WRONG_USAGE): return "unsupported certificate purpose";
    case static_cast<DWORD>(TRUST_E_CERT_SIGNATURE): return "certificate signature failure";
    default: return nullptr;
    }
}

// The address bytes of an IP literal: 4 for IPv4, 16 for IPv6.
std::vector<BYTE> AddressBytes(const SocketAddress &address)
{
    const auto *bytes = reinterpret_cast<const BYTE *>(address.bytes);
    if (address.family == AF_INET) {
        const auto *in = reinterpret_cast<const BYTE *>(&reinterpret_cast<const sockaddr_in *>(bytes)->sin_addr);
        return std::vector<BYTE>(in, in + 4);
    }
    const auto *in6 = reinterpret_cast<const BYTE *>(&reinterpret_cast<const sockaddr_in6 *>(bytes)->sin6_addr);
    return std::vector<BYTE>(in6, in6 + 16);
}

// Whether the certificate's subject alternative names hold the address.
bool NamesAddress(PCCERT_CONTEXT certificate, const SocketAddress &address)
{
    const CERT_INFO *info = certificate->pCertInfo;
    const CERT_EXTENSION *extension =
        CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension);
    CERT_ALT_NAME_INFO *names = nullptr;
    DWORD size = 0;
    if (!extension || !CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                                           extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size))
        return false;
    const std::vector<BYTE> wanted = AddressBytes(address);
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY &entry = names->rgAltEntry[i];
        found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && entry.IPAddress.cbData == wanted.size() &&
                std::memcmp(entry.IPAddress.pbData, wanted.data(), wanted.size()) == 0;
    }
    LocalFree(names);
    return found;
}

}  // namespace

CertificateStore ReadTrustedCertificates(const CString &path, CString &failure)
{
    std::ifstream file(path.GetString(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    CertificateStore store(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr));
    int added = 0;
    if (!file)
        failure = "the file cannot be read";
    else if (!store || !AddPemCertificates(store.get(), text, added) || added == 0)
        failure = "no certificate could be read from it";
    return failure.IsEmpty() ? std::move(store) : nullptr;
}

CString CertificateRefusal(PCCERT_CONTEXT certificate, HCERTSTORE trusted, const CString &host)
{
    const Chain chain = BuildChain(certificate, trusted);
    if (!chain || chain->cChain == 0)
        return "unable to get local issuer certificate";
    if (const char *reason = ChainReason(chain.get(), trusted))
        return reason;
    SocketAddress address;
    const bool byAddress = ParseAddressLiteral(host.GetString(), 0, address);
    std::wstring name(host.GetString(), host.GetString() + host.GetLength());
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    // An address is matched below: the policy knows only names.
    ssl.pwszServerName = byAddress ? nullptr : name.data();
    CERT_CHAIN_POLICY_PARA parameters{};
    parameters.cbSize = sizeof parameters;
    parameters.pvExtraPolicyPara = &ssl;
    // A root of TlsCaFile is trusted, though the system does not know it.
    if (chain->TrustStatus.dwErrorStatus & CERT_TRUST_IS_UNTRUSTED_ROOT)
        parameters.dwFlags = CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &parameters, &status))
        return "the certificate chain cannot be checked";
    if (status.dwError == 0 && byAddress && !NamesAddress(certificate, address))
        status.dwError = static_cast<DWORD>(CERT_E_CN_NO_MATCH);
    if (status.dwError == 0)
        return CString();
    const char *reason = PolicyReason(status.dwError, byAddress);
    return reason ? CString(reason)
                  : CString::Formatted("certificate verify failed (0x%08lX)", static_cast<unsigned long>(status.dwError));
}
