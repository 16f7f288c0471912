// Where the installer saves the setup program it downloads, and how a finished download
// becomes that file: a transfer goes into a file of its own beside the target and replaces
// the target only once it is complete and is a program, so no cut-off or error page ever
// sits under the setup program's name.
#pragma once
#include "download/InstallerPlatform.h"

#include <stdexcept>
#include <string>

namespace qx {

// A downloaded file that cannot be used; its message says why.
class ESetupFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The folder of the installer's own executable, ending in a path delimiter, whatever the
// process's current folder is. Raises ESetupFileError when the platform cannot name it.
std::u16string InstallerFolder(IInstallerPlatform& platform);

// The file a transfer for target is written to before it is checked: beside the target (so
// the final move is a rename within one volume) and marked with the process id (so two
// installers never share one).
std::u16string PartialFileName(const std::u16string& target);

// Whether the file begins as a Windows program does ("MZ"); a server's, proxy's or portal's
// HTML page does not.
bool LooksLikeProgram(const std::u16string& path);

// Checks the partial file and moves it to target, replacing an older file there; raises
// ESetupFileError (and leaves target as it was) when the file is no program or the move fails,
// for example because the target is held open by a running program.
void PutSetupFileInPlace(const std::u16string& partial, const std::u16string& target);

// Removes what a failed transfer may have left; a file that is not there is no error.
void RemovePartialFile(const std::u16string& partial) noexcept;

}  // namespace qx
