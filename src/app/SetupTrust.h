// Whether a downloaded setup program may be started: its code signature is intact, its
// signer's certificate chains to a root the machine trusts and it names the publisher. Only
// the platform's services judge; nothing here reads a signature or a certificate itself.
#pragma once
#include "app/SetupFile.h"
#include "download/TrustPlatform.h"

#include <string>

namespace qx {

// The check a refused program failed, in the order they are made.
enum class TTrustCheck {
    Changed,      // the file's digest does not match its signature
    Unsigned,     // the file carries no signature
    Invalid,      // the signature is malformed or cannot be judged
    Chain,        // no trusted root, an incomplete chain or a certificate not for code signing
    Time,         // a certificate was not valid at signing time
    Revoked,      // a certificate is known to be revoked
    Publisher,    // signed by someone other than the publisher
};

// A downloaded program that must not be started.
class ESetupNotTrusted : public ESetupFileError {
public:
    ESetupNotTrusted(TTrustCheck check, const std::string& detail);
    TTrustCheck Check() const { return check_; }

private:
    TTrustCheck check_;
};

// What the user is told about a refused program: that it could not be verified and was
// deleted, then which check failed.
std::u16string RefusalText(TTrustCheck check);

// Raises ESetupNotTrusted unless the program at path is signed by publisher and trusted;
// returns the signer's common name (for the log).
std::u16string VerifySetupProgram(ITrustPlatform& trust, const std::u16string& path,
                                  const std::u16string& publisher);

}  // namespace qx
