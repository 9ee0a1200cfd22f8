// The certificates a TLS client trusts: the system's store and, where a
// game names one, a file of its own (PEM). Reading them costs tens of ms
// of CPU, so each set is read once per process and shared by every
// connection that trusts it. A file of one's own is read again once it
// has changed (another size, time stamp or file); the system's store
// stays as read until the process ends. Any thread.
#pragma once

#include "platform/cstring.h"

#include <memory>

struct x509_store_st;

struct TrustStoreFree {
    void operator()(x509_store_st *store) const;
};
// One reference to a shared store.
using TrustStorePtr = std::unique_ptr<x509_store_st, TrustStoreFree>;

// The store for `caFile` (empty: the system's alone), or null with the
// library's reason in `reason` when it cannot be read. A failure is not
// kept: the next call reads again.
TrustStorePtr SharedTrustStore(const CString &caFile, CString &reason);
