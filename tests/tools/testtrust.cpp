// Test tool: trusts the test root inside a Wine prefix, and reports what the platform's trust
// services say of a signed file, so tests and measurements use the platform's own answers.
//   testtrust add-root FILE.der   adds the certificate to the machine's "ROOT" store (the
//                                 prefix's LocalMachine store); a copy already there is kept
//   testtrust report FILE         prints the trust provider's answer, the signer chain's error
//                                 status (at the time stamp's time, or now), the Authenticode policy's
//                                 answer and the signer's common name, as hexadecimal numbers
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int AddRoot(const wchar_t* path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<BYTE> der((std::istreambuf_iterator<char>(in)), {});
    if (der.empty()) {
        std::fprintf(stderr, "cannot read the certificate\n");
        return 2;
    }
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
    if (!store) {
        std::fprintf(stderr, "cannot open the ROOT store (error %lu)\n", GetLastError());
        return 1;
    }
    BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                                  CERT_STORE_ADD_USE_EXISTING, nullptr);
    DWORD error = GetLastError();
    CertCloseStore(store, 0);
    if (!added) {
        std::fprintf(stderr, "the certificate was not added (error 0x%08lX)\n", error);
        return 1;
    }
    return 0;
}

int Report(const wchar_t* path) {
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path;
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG verified = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    std::printf("verify 0x%08lX\n", static_cast<unsigned long>(verified));

    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data.hWVTStateData);
    CRYPT_PROVIDER_SGNR* signer = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    CRYPT_PROVIDER_CERT* certificate = signer ? WTHelperGetProvCertFromChain(signer, 0) : nullptr;
    if (certificate && certificate->pCert) {
        std::printf("asof %08lX%08lX countersigners %lu\n", signer->sftVerifyAsOf.dwHighDateTime,
                    signer->sftVerifyAsOf.dwLowDateTime, signer->csCounterSigners);
        LPSTR usage[] = {const_cast<LPSTR>(szOID_PKIX_KP_CODE_SIGNING)};
        CERT_CHAIN_PARA parameters{};
        parameters.cbSize = sizeof parameters;
        parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
        parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
        parameters.RequestedUsage.Usage.rgpszUsageIdentifier = usage;
        PCCERT_CHAIN_CONTEXT chain = nullptr;
        // As the installer judges it: at the time stamp's time, or now.
        FILETIME* asOf = signer->csCounterSigners && signer->sftVerifyAsOf.dwHighDateTime ? &signer->sftVerifyAsOf
                                                                                         : nullptr;
        HCERTSTORE store = provider->chStores ? provider->pahStores[0] : nullptr;
        if (CertGetCertificateChain(nullptr, certificate->pCert, asOf, store, &parameters,
                                    CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, nullptr, &chain)) {
            std::printf("chain 0x%08lX\n", chain->TrustStatus.dwErrorStatus);
            CERT_CHAIN_POLICY_PARA policy{};
            policy.cbSize = sizeof policy;
            policy.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
            CERT_CHAIN_POLICY_STATUS status{};
            status.cbSize = sizeof status;
            if (CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, chain, &policy, &status))
                std::printf("policy 0x%08lX\n", status.dwError);
            CertFreeCertificateChain(chain);
        } else {
            std::printf("chain none (error 0x%08lX)\n", GetLastError());
        }
        wchar_t name[256] = {};
        CertGetNameStringW(certificate->pCert, CERT_NAME_ATTR_TYPE, 0, const_cast<char*>(szOID_COMMON_NAME), name, 256);
        std::printf("name %ls\n", name);
    } else {
        std::printf("signer none\n");
    }
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"add-root") return AddRoot(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"report") return Report(argv[2]);
    std::fprintf(stderr, "usage: testtrust add-root FILE.der | report FILE\n");
    return 2;
}
