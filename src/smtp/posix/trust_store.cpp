#include "smtp/trust_store.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/x509_vfy.h>

#include <sys/stat.h>

#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace {

// What tells a changed file from the one that was read.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const FileIdentity &other) const
    {
        return std::tie(device, inode, size, modified.tv_sec, modified.tv_nsec) ==
               std::tie(other.device, other.inode, other.size, other.modified.tv_sec, other.modified.tv_nsec);
    }
};

FileIdentity IdentityOf(const CString &path)
{
    struct stat status {};
    if (path.IsEmpty() || stat(path.GetString(), &status) != 0)
        return {};
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim};
}

TrustStorePtr AnotherReference(x509_store_st *store)
{
    X509_STORE_up_ref(store);
    return TrustStorePtr(store);
}

TrustStorePtr ReadStore(const CString &caFile, CString &reason)
{
    ERR_clear_error();
    TrustStorePtr store(X509_STORE_new());
    if (store && X509_STORE_set_default_paths(store.get()) == 1 &&
        (caFile.IsEmpty() || X509_STORE_load_file(store.get(), caFile.GetString()) == 1))
        return store;
    const char *why = ERR_reason_error_string(ERR_peek_last_error());
    reason = why ? why : "unknown error";
    return nullptr;
}

class TrustStoreCache {
public:
    // The library is set up first, so that its clean-up at exit comes
    // after this cache has let go of its stores.
    TrustStoreCache() { OPENSSL_init_crypto(0, nullptr); }

    TrustStorePtr Get(const CString &caFile, CString &reason)
    {
        const FileIdentity identity = IdentityOf(caFile);
        const std::lock_guard lock(m_mutex);
        auto found = m_stores.find(caFile.str());
        if (found != m_stores.end() && found->second.identity == identity)
            return AnotherReference(found->second.store.get());
        TrustStorePtr store = ReadStore(caFile, reason);
        if (!store)
            return nullptr;
        TrustStorePtr shared = AnotherReference(store.get());
        m_stores[caFile.str()] = {identity, std::move(store)};
        return shared;
    }

private:
    struct Entry {
        FileIdentity identity;
        TrustStorePtr store;
    };

    std::mutex m_mutex;
    std::map<std::string, Entry> m_stores;  // guarded by m_mutex; by file, "" for the system's alone
};

}  // namespace

void TrustStoreFree::operator()(x509_store_st *store) const { X509_STORE_free(store); }

TrustStorePtr SharedTrustStore(const CString &caFile, CString &reason)
{
    static TrustStoreCache cache;
    return cache.Get(caFile, reason);
}
