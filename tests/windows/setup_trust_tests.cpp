// Judging a downloaded setup program with the platform's trust services replaced: what is
// asked of them, and that every refusal names its check and gives back what it took.
#include "FakeTrustPlatform.h"

#include "app/SetupTrust.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

using namespace qx;
using qx::testing::TFakeTrustPlatform;

namespace {

const std::u16string Path = u"C:\\Kullanıcılar\\Şule\\DrivanoKur.exe.42.part";

TEST(SetupTrust, AGoodSignatureIsJudgedOnTheSignersChainAtTheSignersTime) {
    TFakeTrustPlatform trust;
    ASSERT_NO_THROW(VerifySetupProgram(trust, Path, u"Quenrix"));
    EXPECT_EQ(trust.VerifiedPath, std::wstring(Path.begin(), Path.end()));
    EXPECT_EQ(trust.Calls.front(), "verify ui=" + std::to_string(WTD_UI_NONE) + " revoke=" +
                                       std::to_string(WTD_REVOKE_NONE) + " state=" +
                                       std::to_string(WTD_STATEACTION_VERIFY));
    EXPECT_EQ(trust.Calls.back(), "close");
    EXPECT_EQ(trust.OpenStates, 0);
    EXPECT_EQ(trust.OpenChains, 0);
    // The chain is the signer's, at the time stamp's time, with
    // the signature's own certificates, for code signing, revocation checked below the root.
    ASSERT_TRUE(trust.ChainTimeGiven);
    EXPECT_EQ(trust.ChainTime.dwLowDateTime, trust.VerifiedAsOf.dwLowDateTime);
    EXPECT_EQ(trust.ChainTime.dwHighDateTime, trust.VerifiedAsOf.dwHighDateTime);
    EXPECT_EQ(trust.ChainStore, trust.MessageStore());
    EXPECT_EQ(trust.ChainUsage, szOID_PKIX_KP_CODE_SIGNING);
    EXPECT_TRUE(trust.ChainFlags & CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT);
    EXPECT_EQ(trust.Policy, "authenticode");
    EXPECT_EQ(trust.PolicyFlags & CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS,
              static_cast<DWORD>(CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS));
    EXPECT_EQ(trust.NameOid, szOID_COMMON_NAME);

    // Revocation soft-fails: a status nobody could learn, online or not, is no refusal.
    TFakeTrustPlatform offline;
    offline.ChainErrorStatus = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
    EXPECT_NO_THROW(VerifySetupProgram(offline, Path, u"Quenrix"));

    // Without a time stamp the chain is judged now, whatever signing time the signer claims;
    // without a time from the provider, now rather than at the epoch.
    TFakeTrustPlatform claimed;
    claimed.CounterSigners = 0;
    EXPECT_NO_THROW(VerifySetupProgram(claimed, Path, u"Quenrix"));
    EXPECT_FALSE(claimed.ChainTimeGiven);
    TFakeTrustPlatform untimed;
    untimed.VerifiedAsOf = {};
    EXPECT_NO_THROW(VerifySetupProgram(untimed, Path, u"Quenrix"));
    EXPECT_FALSE(untimed.ChainTimeGiven);
}

TEST(SetupTrust, EachRefusalNamesTheCheckThatFailedAndGivesBackTheStateAndTheChain) {
    struct TCase {
        const char* what;
        std::function<void(TFakeTrustPlatform&)> script;
        TTrustCheck check;
    } cases[] = {
        {"a changed byte", [](auto& t) { t.VerifyResult = TRUST_E_BAD_DIGEST; }, TTrustCheck::Changed},
        {"no signature", [](auto& t) { t.VerifyResult = TRUST_E_NOSIGNATURE; }, TTrustCheck::Unsigned},
        {"a file the provider cannot read", [](auto& t) { t.VerifyResult = TRUST_E_SUBJECT_FORM_UNKNOWN; },
         TTrustCheck::Invalid},
        {"the provider finds no trusted root", [](auto& t) { t.VerifyResult = CERT_E_UNTRUSTEDROOT; },
         TTrustCheck::Chain},
        {"the provider finds a certificate out of date", [](auto& t) { t.VerifyResult = CERT_E_EXPIRED; },
         TTrustCheck::Time},
        {"no provider data", [](auto& t) { t.HasProviderData = false; }, TTrustCheck::Invalid},
        {"no signer", [](auto& t) { t.HasSigner = false; }, TTrustCheck::Invalid},
        {"no signer certificate", [](auto& t) { t.HasCertificate = false; }, TTrustCheck::Invalid},
        {"no chain", [](auto& t) { t.ChainBuilt = false; }, TTrustCheck::Chain},
        // What the platform says of a self-signed certificate and of a leaf of an unknown issuer,
        // while its Authenticode policy passes the second.
        {"an untrusted root", [](auto& t) { t.ChainErrorStatus = CERT_TRUST_IS_UNTRUSTED_ROOT; }, TTrustCheck::Chain},
        {"a partial chain", [](auto& t) { t.ChainErrorStatus = CERT_TRUST_IS_PARTIAL_CHAIN; }, TTrustCheck::Chain},
        {"not for code signing", [](auto& t) { t.ChainErrorStatus = CERT_TRUST_IS_NOT_VALID_FOR_USAGE; },
         TTrustCheck::Chain},
        {"not valid at signing time", [](auto& t) { t.ChainErrorStatus = CERT_TRUST_IS_NOT_TIME_VALID; },
         TTrustCheck::Time},
        {"revoked, with another certificate's status unknown",
         [](auto& t) { t.ChainErrorStatus = CERT_TRUST_IS_REVOKED | CERT_TRUST_REVOCATION_STATUS_UNKNOWN; },
         TTrustCheck::Revoked},
        {"the policy refuses a clean status", [](auto& t) { t.PolicyError = CERT_E_UNTRUSTEDROOT; },
         TTrustCheck::Chain},
        {"the policy finds a revoked certificate", [](auto& t) { t.PolicyError = CERT_E_REVOKED; },
         TTrustCheck::Revoked},
        {"the policy refuses for a reason of its own", [](auto& t) { t.PolicyError = TRUST_E_BASIC_CONSTRAINTS; },
         TTrustCheck::Chain},
        {"another publisher", [](auto& t) { t.CommonName = L"Other Publisher"; }, TTrustCheck::Publisher},
        {"the name in other letter case", [](auto& t) { t.CommonName = L"QUENRIX"; }, TTrustCheck::Publisher},
        {"the name with more after it", [](auto& t) { t.CommonName = L"Quenrix Ltd"; }, TTrustCheck::Publisher},
        {"no common name", [](auto& t) { t.CommonName = L""; }, TTrustCheck::Publisher},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TFakeTrustPlatform trust;
        c.script(trust);
        try {
            VerifySetupProgram(trust, Path, u"Quenrix");
            ADD_FAILURE() << "accepted";
        } catch (const ESetupNotTrusted& refused) {
            EXPECT_EQ(refused.Check(), c.check);
        }
        EXPECT_EQ(trust.OpenStates, 0) << "the provider's state is closed";
        EXPECT_EQ(trust.OpenChains, 0) << "the chain is freed";
        EXPECT_EQ(trust.Calls.back(), "close");
    }
}

TEST(SetupTrust, EveryRefusalSaysTheFileWasNotVerifiedAndDeletedThenItsOwnReason) {
    const std::u16string first = u"İndirilen dosya doğrulanamadı ve silindi. ";
    std::set<std::u16string> reasons;
    for (TTrustCheck check : {TTrustCheck::Changed, TTrustCheck::Unsigned, TTrustCheck::Invalid, TTrustCheck::Chain,
                              TTrustCheck::Time, TTrustCheck::Revoked, TTrustCheck::Publisher}) {
        std::u16string text = RefusalText(check);
        ASSERT_EQ(text.rfind(first, 0), 0u);
        EXPECT_GT(text.size(), first.size() + 10);
        reasons.insert(text.substr(first.size()));
    }
    EXPECT_EQ(reasons.size(), 7u) << "no two checks share a reason";
}

}  // namespace
