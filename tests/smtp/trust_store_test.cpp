// The trusted certificates are read once and shared, read again once their
// file has changed, and a file that cannot be read says why every time.
#include "smtp/trust_store.h"
#include "support/temp_folder.h"
#include "support/test_certificates.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(TrustStoreTest, ReadOncePerFileAndAgainWhenTheFileChanged)
{
    const TestCertificates &certificates = TestCertificates::Shared();
    if (!certificates.Made())
        GTEST_SKIP() << "the openssl command could not make the test certificates";
    const TempFolder folder;
    const CString caFile((folder / "ca.pem").string().c_str());
    CString reason;
    EXPECT_EQ(SharedTrustStore(caFile, reason), nullptr);
    EXPECT_FALSE(reason.IsEmpty());

    std::filesystem::copy_file(certificates.Ca(), folder / "ca.pem");
    const TrustStorePtr first = SharedTrustStore(caFile, reason);
    ASSERT_NE(first, nullptr) << reason;
    EXPECT_EQ(SharedTrustStore(caFile, reason).get(), first.get());
    EXPECT_NE(SharedTrustStore(CString(), reason).get(), first.get());

    // Replaced as editors and package tools replace files: a new file.
    std::filesystem::copy_file(certificates.Ca(), folder / "new.pem");
    std::filesystem::rename(folder / "new.pem", folder / "ca.pem");
    const TrustStorePtr second = SharedTrustStore(caFile, reason);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second.get(), first.get());
    EXPECT_EQ(SharedTrustStore(caFile, reason).get(), second.get());
}

}  // namespace
