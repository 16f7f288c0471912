// The platform's code-signing services the installer judges a downloaded program with: the
// trust provider and the certificate chain engine. The program uses the Windows ones, loaded
// from the system folder the first time they are wanted; tests put a scripted fake in their place.
#pragma once
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>

namespace qx {

class ITrustPlatform {
public:
    virtual ~ITrustPlatform() = default;

    // As the platform's functions of the same names.
    virtual LONG WinVerifyTrust(HWND window, GUID* action, WINTRUST_DATA* data) = 0;
    virtual CRYPT_PROVIDER_DATA* WTHelperProvDataFromStateData(HANDLE state) = 0;
    virtual CRYPT_PROVIDER_SGNR* WTHelperGetProvSignerFromChain(CRYPT_PROVIDER_DATA* data, DWORD signer,
                                                                BOOL counterSigner, DWORD counterSignerIndex) = 0;
    virtual CRYPT_PROVIDER_CERT* WTHelperGetProvCertFromChain(CRYPT_PROVIDER_SGNR* signer, DWORD index) = 0;
    virtual BOOL CertGetCertificateChain(HCERTCHAINENGINE engine, PCCERT_CONTEXT certificate, FILETIME* time,
                                         HCERTSTORE additionalStore, CERT_CHAIN_PARA* parameters, DWORD flags,
                                         PCCERT_CHAIN_CONTEXT* chain) = 0;
    virtual BOOL CertVerifyCertificateChainPolicy(LPCSTR policy, PCCERT_CHAIN_CONTEXT chain,
                                                  CERT_CHAIN_POLICY_PARA* parameters,
                                                  CERT_CHAIN_POLICY_STATUS* status) = 0;
    virtual void CertFreeCertificateChain(PCCERT_CHAIN_CONTEXT chain) = 0;
    virtual DWORD CertGetNameStringW(PCCERT_CONTEXT certificate, DWORD type, DWORD flags, void* typeParameter,
                                     wchar_t* name, DWORD size) = 0;
};

// The real services, shared by the whole program. A function that cannot be had answers as a
// failure of its own kind (an unknown provider, no chain, no name), so nothing is trusted.
ITrustPlatform& WindowsTrust();

}  // namespace qx
