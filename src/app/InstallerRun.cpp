#include "app/InstallerRun.h"

#include "app/Ana.h"
#include "app/InstallLog.h"
#include "core/CommandLine.h"
#include "core/Text.h"

#include <exception>
#include <string>

namespace qx {

namespace {

std::u16string U16(const wchar_t* text) {
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

int Finish(TInstallLog& log, int exitCode) {
    log.Write("Exit code " + std::to_string(exitCode));
    return exitCode;
}

}  // namespace

int RunInstaller(TApplication& application, const wchar_t* commandLine, std::uint32_t stallTimeout) {
    const std::u16string line = U16(commandLine);
    std::vector<std::u16string> words = SplitCommandLine(line);
    words.erase(words.begin());
    const bool quiet = QuietRequested(words);

    TInstallerOptions options;
    std::u16string problem;
    try {
        options = ParseInstallerArguments(words);
    } catch (const ECommandLineError& e) {
        problem = Utf8ToUtf16(e.what());
    }
    TInstallLog log;
    if (!options.LogPath) options.LogPath = LogRequested(words);
    if (options.LogPath && !log.Open(*options.LogPath)) {
        if (!quiet)
            application.MessageBox(u"Günlük dosyası yazılamıyor (hata " + Utf8ToUtf16(std::to_string(log.LastError())) +
                                       u"):\n" + *options.LogPath,
                                   application.Title(), MB_OK | MB_ICONERROR);
        return ecInternalError;
    }
    log.Write(Utf16ToUtf8(application.Title()) + " " + ProgramVersion());
    log.Write("Command line: " + Utf16ToUtf8(line));
    if (!problem.empty() || options.Help) {
        if (!problem.empty()) log.Write("Bad command line: " + Utf16ToUtf8(problem));
        if (!quiet)
            application.MessageBox((problem.empty() ? u"" : problem + u"\n\n") + CommandLineHelpText(),
                                   application.Title(), MB_OK | (problem.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
        return Finish(log, ecBadCommandLine);
    }

    TFrmAna* form = nullptr;
    try {
        form = application.CreateForm<TFrmAna>();
    } catch (const std::exception& e) {
        log.Write(std::string("The window cannot be created: ") + e.what());
        // A window that cannot be built from its layout is not shown half-made.
        if (options.Ui != TUiLevel::Quiet) {
            std::u16string text = u"The installer's window cannot be created:\n" + Utf8ToUtf16(e.what());
            application.MessageBox(text, application.Title(), MB_OK | MB_ICONERROR);
        }
        return Finish(log, ecInternalError);
    }
    form->SetStallTimeout(stallTimeout);
    form->SetOptions(options, &log);
    form->StartFromOptions();
    if (options.Ui == TUiLevel::Quiet) {
        // The loop of Run, without showing the window.
        while (!application.Terminated())
            if (!application.ProcessMessage() && !application.Terminated()) WaitMessage();
    } else {
        application.Run();
    }
    return Finish(log, form->ExitCode());
}

}  // namespace qx
