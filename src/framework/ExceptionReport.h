// Where an exception goes that reached the edge of a message handler: nothing may unwind into
// the platform's message dispatch. The application object shows it; before there is one, or
// after it has gone, it is dropped.
#pragma once
#include <exception>

namespace qx {

class TObject;

using TExceptionReporter = void (*)(TObject* sender, std::exception_ptr error);

// Replaces the reporter (none: exceptions are dropped).
void SetExceptionReporter(TExceptionReporter reporter);
// Hands the exception to the reporter; never throws.
void ReportException(TObject* sender, std::exception_ptr error) noexcept;

}  // namespace qx
