// The installer's command line: splitting it as the platform's own rules do, the switches it
// takes, the words of the six products and the exit codes the program ends with.
#pragma once
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// What the installer ends with. Where the Windows installer service has a code for the same
// outcome, it is that code, so that deployment tools read both alike.
enum TExitCode : int {
    ecSuccess = 0,              // the setup program started (with /wait: its own code instead)
    ecBadCommandLine = 87,      // a switch or product that is not known, or /?
    ecCancelled = 1602,         // the user (or the end of the session) cancelled
    ecInternalError = 1603,     // anything else: the folder, the file, the program itself
    ecNotOnline = 2001,         // the machine reports no connection
    ecServerAnswer = 2002,      // no usable answer: HTTP error, a page, a short body, no server
    ecStalled = 2003,           // the transfer stopped sending data
    ecVerificationFailed = 2004,  // the downloaded file is not trusted
    ecLaunchFailed = 2005,      // the setup program could not be started
};

// Splits a whole command line (the program's name first) into its words as
// CommandLineToArgvW does: the program's name ends at the closing quote or the first blank;
// afterwards 2n backslashes before a quote give n backslashes and the quote toggles quoting,
// 2n+1 give n and a literal quote, other backslashes stay, and a doubled quote inside quotes
// gives one quote.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

// The product words, in the catalogue's order; case does not matter on the command line.
inline constexpr std::array<std::u16string_view, 6> kProductWords{u"Drivano", u"Hestra", u"Partelo",
                                                                  u"Lumiqo", u"Sarvek", u"Nuvreta"};

enum class TUiLevel { Full, Passive, Quiet };

struct TInstallerOptions {
    std::optional<std::size_t> Product;  // index into kProductWords
    TUiLevel Ui = TUiLevel::Full;
    bool Wait = false;
    bool Help = false;
    std::optional<std::u16string> LogPath;
    std::u16string SetupArguments;  // handed to the setup program as its parameters
};

// A command line the installer does not take; what() names the word and what is wrong.
class ECommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the words after the program's name. Switches begin with "/" or "-", their names are
// not case-sensitive, and a value follows ":" or "=". Raises ECommandLineError; /quiet is
// still taken from a line that is otherwise wrong (QuietRequested), so that a bad line in an
// unattended run shows nothing.
TInstallerOptions ParseInstallerArguments(const std::vector<std::u16string>& arguments);
bool QuietRequested(const std::vector<std::u16string>& arguments);
// Likewise the first /log with a file name, so that a bad line is logged where it asked to be.
std::optional<std::u16string> LogRequested(const std::vector<std::u16string>& arguments);

// The text of the box that lists the switches and the products (/?, or a bad line).
std::u16string CommandLineHelpText();

}  // namespace qx
