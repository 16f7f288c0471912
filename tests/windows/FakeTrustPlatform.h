// Trust services that answer from a script and record what is asked of them. By default they
// find a good signature by the publisher, chained to a trusted root.
#pragma once
#include "download/TrustPlatform.h"

#include <softpub.h>

#include <cstring>
#include <string>
#include <vector>

namespace qx::testing {

class TFakeTrustPlatform : public ITrustPlatform {
public:
    static inline const HANDLE StateHandle = reinterpret_cast<HANDLE>(0x7A57);

    LONG VerifyResult = ERROR_SUCCESS;
    bool HasProviderData = true, HasSigner = true, HasCertificate = true;
    FILETIME VerifiedAsOf{0x12345678, 0x01D90000};  // the time the provider judged the signature as of
    DWORD CounterSigners = 1;                        // a time stamp's counter-signature
    bool ChainBuilt = true;
    DWORD ChainErrorStatus = 0;
    DWORD PolicyError = 0;
    std::wstring CommonName = L"Quenrix";

    std::vector<std::string> Calls;
    std::wstring VerifiedPath;
    FILETIME ChainTime{};
    bool ChainTimeGiven = false;
    HCERTSTORE ChainStore = nullptr;
    DWORD ChainFlags = 0;
    std::string ChainUsage, NameOid, Policy;
    DWORD PolicyFlags = 0;
    int OpenStates = 0;    // verified and not yet closed
    int OpenChains = 0;    // built and not yet freed

    LONG WinVerifyTrust(HWND, GUID* action, WINTRUST_DATA* data) override {
        GUID generic = WINTRUST_ACTION_GENERIC_VERIFY_V2;
        if (!action || std::memcmp(action, &generic, sizeof generic) != 0 || data->cbStruct != sizeof *data)
            return TRUST_E_PROVIDER_UNKNOWN;
        if (data->dwStateAction == WTD_STATEACTION_CLOSE) {
            Calls.push_back("close");
            if (data->hWVTStateData == StateHandle) --OpenStates;
            data->hWVTStateData = nullptr;
            return ERROR_SUCCESS;
        }
        Calls.push_back("verify ui=" + std::to_string(data->dwUIChoice) +
                        " revoke=" + std::to_string(data->fdwRevocationChecks) +
                        " state=" + std::to_string(data->dwStateAction));
        if (data->dwUnionChoice == WTD_CHOICE_FILE && data->pFile) VerifiedPath = data->pFile->pcwszFilePath;
        // The provider keeps its state whatever it answers; the caller must close it.
        data->hWVTStateData = StateHandle;
        ++OpenStates;
        return VerifyResult;
    }
    CRYPT_PROVIDER_DATA* WTHelperProvDataFromStateData(HANDLE state) override {
        Calls.push_back("provider data");
        return state == StateHandle && HasProviderData ? &provider_ : nullptr;
    }
    CRYPT_PROVIDER_SGNR* WTHelperGetProvSignerFromChain(CRYPT_PROVIDER_DATA* data, DWORD index, BOOL counter,
                                                        DWORD) override {
        Calls.push_back("signer");
        signer_.sftVerifyAsOf = VerifiedAsOf;
        signer_.csCounterSigners = CounterSigners;
        return data == &provider_ && index == 0 && !counter && HasSigner ? &signer_ : nullptr;
    }
    CRYPT_PROVIDER_CERT* WTHelperGetProvCertFromChain(CRYPT_PROVIDER_SGNR* signer, DWORD index) override {
        Calls.push_back("signer certificate");
        return signer == &signer_ && index == 0 && HasCertificate ? &certificate_ : nullptr;
    }
    BOOL CertGetCertificateChain(HCERTCHAINENGINE, PCCERT_CONTEXT certificate, FILETIME* time, HCERTSTORE store,
                                 CERT_CHAIN_PARA* parameters, DWORD flags, PCCERT_CHAIN_CONTEXT* chain) override {
        Calls.push_back("chain");
        if (certificate != Certificate()) return FALSE;
        ChainTimeGiven = time != nullptr;
        if (time) ChainTime = *time;
        ChainStore = store;
        ChainFlags = flags;
        const CERT_USAGE_MATCH& usage = parameters->RequestedUsage;
        ChainUsage = usage.Usage.cUsageIdentifier == 1 && usage.dwType == USAGE_MATCH_TYPE_AND
                         ? usage.Usage.rgpszUsageIdentifier[0]
                         : "";
        if (!ChainBuilt) {
            SetLastError(static_cast<DWORD>(CRYPT_E_NOT_FOUND));
            return FALSE;
        }
        chain_.TrustStatus.dwErrorStatus = ChainErrorStatus;
        *chain = &chain_;
        ++OpenChains;
        return TRUE;
    }
    BOOL CertVerifyCertificateChainPolicy(LPCSTR policy, PCCERT_CHAIN_CONTEXT chain, CERT_CHAIN_POLICY_PARA* parameters,
                                          CERT_CHAIN_POLICY_STATUS* status) override {
        Calls.push_back("policy");
        Policy = policy == CERT_CHAIN_POLICY_AUTHENTICODE ? "authenticode" : "other";
        PolicyFlags = parameters ? parameters->dwFlags : 0;
        status->dwError = chain == &chain_ ? PolicyError : static_cast<DWORD>(E_INVALIDARG);
        return TRUE;
    }
    void CertFreeCertificateChain(PCCERT_CHAIN_CONTEXT chain) override {
        Calls.push_back("free chain");
        if (chain == &chain_) --OpenChains;
    }
    DWORD CertGetNameStringW(PCCERT_CONTEXT certificate, DWORD type, DWORD, void* parameter, wchar_t* name,
                             DWORD size) override {
        Calls.push_back("name");
        NameOid = type == CERT_NAME_ATTR_TYPE && parameter ? static_cast<const char*>(parameter) : "";
        if (certificate != Certificate() || size == 0) return 0;
        std::wstring answer = CommonName.substr(0, size - 1);
        std::memcpy(name, answer.c_str(), (answer.size() + 1) * sizeof(wchar_t));
        return static_cast<DWORD>(answer.size() + 1);
    }

    PCCERT_CONTEXT Certificate() const { return &context_; }
    HCERTSTORE MessageStore() const { return store_; }

    TFakeTrustPlatform() {
        provider_.chStores = 1;
        provider_.pahStores = &store_;
        certificate_.pCert = &context_;
    }
    TFakeTrustPlatform(const TFakeTrustPlatform&) = delete;
    TFakeTrustPlatform& operator=(const TFakeTrustPlatform&) = delete;

private:
    HCERTSTORE store_ = reinterpret_cast<HCERTSTORE>(0x5703E);
    CRYPT_PROVIDER_DATA provider_{};
    CRYPT_PROVIDER_SGNR signer_{};
    CRYPT_PROVIDER_CERT certificate_{};
    CERT_CONTEXT context_{};
    CERT_CHAIN_CONTEXT chain_{};
};

}  // namespace qx::testing
