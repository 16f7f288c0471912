#include "GdiPlus.h"

#include "core/TimedSteps.h"

#include <string>

namespace qx {

namespace {

class TGdiPlusSession {
public:
    TGdiPlusSession() {
        TTimedStep step("GDI+ loaded and started");
        Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~TGdiPlusSession() {
        if (started_) Gdiplus::GdiplusShutdown(token_);
    }
    TGdiPlusSession(const TGdiPlusSession&) = delete;
    TGdiPlusSession& operator=(const TGdiPlusSession&) = delete;
    bool Started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

std::string Describe(const char* operation, Gdiplus::Status status) {
    return std::string("GDI+: ") + operation + " failed (status " + std::to_string(int(status)) + ")";
}

}  // namespace

EGdipException::EGdipException(const char* operation, Gdiplus::Status status)
    : std::runtime_error(Describe(operation, status)), status_(status) {}

bool GdiPlusAvailable() {
    static TGdiPlusSession session;
    return session.Started();
}

void CheckGdip(Gdiplus::Status status, const char* operation) {
    if (status != Gdiplus::Ok) throw EGdipException(operation, status);
}

}  // namespace qx
