// GDI+ for the whole program: started on first use and shut down at exit, with the error
// type that failed GDI+ calls raise.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <stdexcept>

namespace qx {

class EGdipException : public std::runtime_error {
public:
    EGdipException(const char* operation, Gdiplus::Status status);
    Gdiplus::Status Status() const { return status_; }

private:
    Gdiplus::Status status_;
};

// Starts GDI+ once; false when the platform cannot start it (the GDI+ classes then stay
// unregistered and nothing is drawn through it).
bool GdiPlusAvailable();

// Throws EGdipException unless status is Ok.
void CheckGdip(Gdiplus::Status status, const char* operation);

}  // namespace qx
