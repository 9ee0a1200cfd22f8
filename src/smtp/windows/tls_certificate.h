// The server's certificate under Schannel, checked by the channel itself
// (Schannel is told to leave it alone) so that the reasons read as on the
// other side: the chain against the system's roots plus the certificates
// of TlsCaFile, and the host name or IP address against the certificate.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <wincrypt.h>

#include <memory>

struct CertificateStoreClose {
    void operator()(HCERTSTORE store) const { CertCloseStore(store, 0); }
};
using CertificateStore = std::unique_ptr<void, CertificateStoreClose>;

struct CertificateFree {
    void operator()(PCCERT_CONTEXT certificate) const { CertFreeCertificateContext(certificate); }
};
using Certificate = std::unique_ptr<const CERT_CONTEXT, CertificateFree>;

// The PEM certificates in `path`, in a store of their own; null with the
// reason in `failure` when the file cannot be read or holds none.
CertificateStore ReadTrustedCertificates(const CString &path, CString &failure);

// Empty when `certificate` (with the intermediates its store holds) chains
// to a root of the system or of `trusted` (may be null) and names `host`;
// else why not, in the words the OpenSSL side uses.
CString CertificateRefusal(PCCERT_CONTEXT certificate, HCERTSTORE trusted, const CString &host);
