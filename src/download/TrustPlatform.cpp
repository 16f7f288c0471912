#include "download/TrustPlatform.h"

#include "download/LateLibrary.h"

namespace qx {

namespace {

// Imported, the trust and certificate libraries would be looked for beside the program (often
// a downloads folder) and loaded at every start; taken late, they come from the system folder
// and only when a download is judged.
TLateLibrary& TrustLibrary() {
    static TLateLibrary library(SystemModuleLoader(), "WINTRUST.DLL");
    return library;
}

TLateLibrary& CertificateLibrary() {
    static TLateLibrary library(SystemModuleLoader(), "CRYPT32.DLL");
    return library;
}

class TWindowsTrust final : public ITrustPlatform {
public:
    LONG WinVerifyTrust(HWND window, GUID* action, WINTRUST_DATA* data) override {
        QX_LATE_CALL(TrustLibrary, WinVerifyTrust, static_cast<LONG>(TRUST_E_PROVIDER_UNKNOWN), window, action, data);
    }
    CRYPT_PROVIDER_DATA* WTHelperProvDataFromStateData(HANDLE state) override {
        QX_LATE_CALL(TrustLibrary, WTHelperProvDataFromStateData, nullptr, state);
    }
    CRYPT_PROVIDER_SGNR* WTHelperGetProvSignerFromChain(CRYPT_PROVIDER_DATA* data, DWORD signer, BOOL counterSigner,
                                                        DWORD counterSignerIndex) override {
        QX_LATE_CALL(TrustLibrary, WTHelperGetProvSignerFromChain, nullptr, data, signer, counterSigner,
                     counterSignerIndex);
    }
    CRYPT_PROVIDER_CERT* WTHelperGetProvCertFromChain(CRYPT_PROVIDER_SGNR* signer, DWORD index) override {
        QX_LATE_CALL(TrustLibrary, WTHelperGetProvCertFromChain, nullptr, signer, index);
    }
    BOOL CertGetCertificateChain(HCERTCHAINENGINE engine, PCCERT_CONTEXT certificate, FILETIME* time,
                                 HCERTSTORE additionalStore, CERT_CHAIN_PARA* parameters, DWORD flags,
                                 PCCERT_CHAIN_CONTEXT* chain) override {
        QX_LATE_CALL(CertificateLibrary, CertGetCertificateChain, FALSE, engine, certificate, time, additionalStore,
                     parameters, flags, nullptr, chain);
    }
    BOOL CertVerifyCertificateChainPolicy(LPCSTR policy, PCCERT_CHAIN_CONTEXT chain,
                                          CERT_CHAIN_POLICY_PARA* parameters,
                                          CERT_CHAIN_POLICY_STATUS* status) override {
        QX_LATE_CALL(CertificateLibrary, CertVerifyCertificateChainPolicy, FALSE, policy, chain, parameters, status);
    }
    void CertFreeCertificateChain(PCCERT_CHAIN_CONTEXT chain) override {
        static const auto procedure = CertificateLibrary().Find<decltype(&::CertFreeCertificateChain)>(
            "CertFreeCertificateChain");
        if (procedure) procedure(chain);
    }
    DWORD CertGetNameStringW(PCCERT_CONTEXT certificate, DWORD type, DWORD flags, void* typeParameter,
                             wchar_t* name, DWORD size) override {
        // The platform's own answer for no name: an empty text of one character.
        if (name && size) name[0] = L'\0';
        QX_LATE_CALL(CertificateLibrary, CertGetNameStringW, 1, certificate, type, flags, typeParameter, name, size);
    }
};

}  // namespace

ITrustPlatform& WindowsTrust() {
    static TWindowsTrust trust;
    return trust;
}

}  // namespace qx
