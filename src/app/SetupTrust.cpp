#include "app/SetupTrust.h"

#include "app/Catalogue.h"
#include "core/Text.h"

#include <softpub.h>

#include <vector>

namespace qx {

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::string Hex(unsigned long value) { return "0x" + HexDigits(static_cast<std::uint32_t>(value), 8); }

// Revocation is soft-fail, as browsers have it: a certificate without a revocation address or
// a machine that cannot reach one is no reason to refuse; a certificate known to be revoked is.
constexpr DWORD RevocationNotKnown = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;

// The check an error of the trust provider or the chain policy stands for.
TTrustCheck CheckOf(HRESULT error) {
    switch (static_cast<unsigned long>(error)) {
        case static_cast<unsigned long>(TRUST_E_BAD_DIGEST):
            return TTrustCheck::Changed;
        case static_cast<unsigned long>(TRUST_E_NOSIGNATURE):
            return TTrustCheck::Unsigned;
        case static_cast<unsigned long>(CERT_E_UNTRUSTEDROOT):
        case static_cast<unsigned long>(CERT_E_UNTRUSTEDTESTROOT):
        case static_cast<unsigned long>(CERT_E_CHAINING):
        case static_cast<unsigned long>(CERT_E_WRONG_USAGE):
        case static_cast<unsigned long>(CERT_E_UNTRUSTEDCA):
        case static_cast<unsigned long>(TRUST_E_EXPLICIT_DISTRUST):
            return TTrustCheck::Chain;
        case static_cast<unsigned long>(CERT_E_EXPIRED):
        case static_cast<unsigned long>(CERT_E_VALIDITYPERIODNESTING):
        case static_cast<unsigned long>(TRUST_E_TIME_STAMP):
            return TTrustCheck::Time;
        case static_cast<unsigned long>(CERT_E_REVOKED):
            return TTrustCheck::Revoked;
        default:
            return TTrustCheck::Invalid;
    }
}

// The check a chain's error status fails; the status must be free of errors but for an
// unknown revocation.
bool ChainFails(DWORD errorStatus, TTrustCheck& check) {
    DWORD errors = errorStatus & ~RevocationNotKnown;
    if (errors == 0) return false;
    if (errors & CERT_TRUST_IS_REVOKED)
        check = TTrustCheck::Revoked;
    else if (errors & (CERT_TRUST_IS_NOT_TIME_VALID | CERT_TRUST_IS_NOT_TIME_NESTED))
        check = TTrustCheck::Time;
    else
        check = TTrustCheck::Chain;  // untrusted root, partial chain, wrong usage, bad signature...
    return true;
}

// The provider's state, given back however the judging ends.
class TTrustState {
public:
    TTrustState(ITrustPlatform& trust, GUID action, WINTRUST_DATA& data) : trust_(trust), action_(action), data_(data) {}
    ~TTrustState() {
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        trust_.WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
    }
    TTrustState(const TTrustState&) = delete;
    TTrustState& operator=(const TTrustState&) = delete;

private:
    ITrustPlatform& trust_;
    GUID action_;
    WINTRUST_DATA& data_;
};

class TChain {
public:
    explicit TChain(ITrustPlatform& trust) : trust_(trust) {}
    ~TChain() {
        if (chain_) trust_.CertFreeCertificateChain(chain_);
    }
    TChain(const TChain&) = delete;
    TChain& operator=(const TChain&) = delete;
    PCCERT_CHAIN_CONTEXT* Out() { return &chain_; }
    PCCERT_CHAIN_CONTEXT Get() const { return chain_; }

private:
    ITrustPlatform& trust_;
    PCCERT_CHAIN_CONTEXT chain_ = nullptr;
};

bool IsZero(const FILETIME& time) { return time.dwLowDateTime == 0 && time.dwHighDateTime == 0; }

}  // namespace

ESetupNotTrusted::ESetupNotTrusted(TTrustCheck check, const std::string& detail)
    : ESetupFileError("the downloaded program is not trusted: " + detail), check_(check) {}

std::u16string RefusalText(TTrustCheck check) {
    std::u16string text = u"İndirilen dosya doğrulanamadı ve silindi. ";
    switch (check) {
        case TTrustCheck::Changed:
            return text + u"Dosya imzalandıktan sonra değiştirilmiş.";
        case TTrustCheck::Unsigned:
            return text + u"Dosyada dijital imza yok.";
        case TTrustCheck::Invalid:
            return text + u"Dosyanın dijital imzası geçersiz.";
        case TTrustCheck::Chain:
            return text + u"İmzanın sertifikası güvenilen bir kök sertifikaya bağlanmıyor ya da zinciri eksik.";
        case TTrustCheck::Time:
            return text + u"İmzanın sertifikası imzalandığı tarihte geçerli değildi.";
        case TTrustCheck::Revoked:
            return text + u"İmzanın sertifikası iptal edilmiş.";
        case TTrustCheck::Publisher:
            return text + u"Dosya başka bir yayıncı tarafından imzalanmış.";
    }
    return text;
}

std::u16string VerifySetupProgram(ITrustPlatform& trust, const std::u16string& path, const std::u16string& publisher) {
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = Wide(path);

    // WTD_UI_NONE: nothing is asked of the user, the answer decides alone.
    // WTD_REVOKE_NONE: the provider's own revocation test is all or nothing (an unreachable list
    //   fails it); revocation is judged on the chain below instead, where "unknown" can be told
    //   from "revoked".
    // WTD_STATEACTION_VERIFY: the state is kept, so the signer and its certificate can be read
    //   from the provider's data; it is closed (WTD_STATEACTION_CLOSE) on every way out.
    // No WTD_LIFETIME_SIGNING_FLAG: a time-stamped signature stays good at its time stamp.
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;

    LONG verified = trust.WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    TTrustState state(trust, action, data);
    if (verified != ERROR_SUCCESS)
        throw ESetupNotTrusted(CheckOf(verified), "the trust provider answered " + Hex(verified));

    CRYPT_PROVIDER_DATA* provider = trust.WTHelperProvDataFromStateData(data.hWVTStateData);
    CRYPT_PROVIDER_SGNR* signer = provider ? trust.WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    CRYPT_PROVIDER_CERT* signerCertificate = signer ? trust.WTHelperGetProvCertFromChain(signer, 0) : nullptr;
    if (!signerCertificate || !signerCertificate->pCert)
        throw ESetupNotTrusted(TTrustCheck::Invalid, "the trust provider names no signer");
    PCCERT_CONTEXT certificate = signerCertificate->pCert;

    // A time-stamped signature is judged at its time stamp, the time the provider verified it as
    // of; any other now. Only a counter-signature (the time stamp) makes a time trustworthy: a
    // signer's own claimed signing time is not, though some providers report it. The signature's
    // own certificates (intermediates) come from the message's store.
    bool timeStamped = signer->csCounterSigners > 0 && !IsZero(signer->sftVerifyAsOf);
    FILETIME* asOf = timeStamped ? &signer->sftVerifyAsOf : nullptr;
    HCERTSTORE messageStore = provider->chStores > 0 && provider->pahStores ? provider->pahStores[0] : nullptr;
    LPSTR codeSigning[] = {const_cast<LPSTR>(szOID_PKIX_KP_CODE_SIGNING)};
    CERT_CHAIN_PARA parameters{};
    parameters.cbSize = sizeof parameters;
    parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
    parameters.RequestedUsage.Usage.rgpszUsageIdentifier = codeSigning;
    // Every certificate but the root is checked for revocation; the root is trusted as it stands.
    TChain chain(trust);
    if (!trust.CertGetCertificateChain(nullptr, certificate, asOf, messageStore, &parameters,
                                       CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, chain.Out()) ||
        !chain.Get())
        throw ESetupNotTrusted(TTrustCheck::Chain, "no chain could be built (error " + Hex(GetLastError()) + ")");

    // The chain policy alone is not enough: it passes a partial chain on some systems. The
    // status is judged here, and the policy must agree.
    TTrustCheck check{};
    DWORD errorStatus = chain.Get()->TrustStatus.dwErrorStatus;
    if (ChainFails(errorStatus, check)) throw ESetupNotTrusted(check, "the chain's status is " + Hex(errorStatus));

    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!trust.CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, chain.Get(), &policy, &status))
        throw ESetupNotTrusted(TTrustCheck::Invalid, "the chain policy could not be applied");
    if (status.dwError != 0) {
        TTrustCheck policyCheck = CheckOf(static_cast<HRESULT>(status.dwError));
        throw ESetupNotTrusted(policyCheck == TTrustCheck::Invalid ? TTrustCheck::Chain : policyCheck,
                               "the chain policy answered " + Hex(status.dwError));
    }

    // The subject's common name, exactly: not the friendliest name the platform would pick from
    // other fields, which a certificate of another subject could carry.
    std::vector<wchar_t> name(256);
    DWORD length = trust.CertGetNameStringW(certificate, CERT_NAME_ATTR_TYPE, 0,
                                            const_cast<char*>(szOID_COMMON_NAME), name.data(),
                                            static_cast<DWORD>(name.size()));
    std::u16string commonName;
    if (length > 1 && length <= name.size()) commonName.assign(name.begin(), name.begin() + (length - 1));
    if (commonName != publisher)
        throw ESetupNotTrusted(TTrustCheck::Publisher, "the signer is someone else (" + Utf16ToUtf8(commonName) + ")");
    return commonName;
}

}  // namespace qx
