#include "framework/ExceptionReport.h"

namespace qx {

namespace {

TExceptionReporter g_reporter = nullptr;

}  // namespace

void SetExceptionReporter(TExceptionReporter reporter) { g_reporter = reporter; }

void ReportException(TObject* sender, std::exception_ptr error) noexcept {
    if (!g_reporter) return;
    try {
        g_reporter(sender, error);
    } catch (...) {
        // The reporter is the last place an error can go.
    }
}

}  // namespace qx
