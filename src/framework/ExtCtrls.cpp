#include "framework/ExtCtrls.h"

#include "core/DisplayScale.h"

#include "framework/Accessible.h"
#include "framework/ExceptionReport.h"

#include <oleacc.h>

#include <deque>
#include <map>

namespace qx {

// ---- TImage --------------------------------------------------------------------------------

const TClassInfo& TImage::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TImage>("TImage", &TGraphicControl::StaticClassInfo())
                                       .Object("Picture", &TImage::PictureObject, TPicture::StaticClassInfo())
                                       .Object("Picture2x", &TImage::Picture2xObject, TPicture::StaticClassInfo())
                                       .Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
                                       .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch)
                                       .Bool("Center", &TImage::Center, &TImage::SetCenter)
                                       .Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent)
                                       .Creatable()
                                       .Build();
    return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    width_ = 105;
    height_ = 105;
    picture_.OnChange = [this] { PictureChanged(); };
    picture2x_.OnChange = [this] { Invalidate(); };
}

void TImage::PictureChanged() {
    if (autoSize_ && !IsLoading() && picture_.Width() > 0 && picture_.Height() > 0) {
        const SIZE size = ScaledPictureSize();
        SetBounds(left_, top_, size.cx, size.cy);
    }
    if (TGraphic* g = picture_.Graphic()) g->SetTransparent(transparent_);
    Invalidate();
}

void TImage::Loaded() {
    TGraphicControl::Loaded();
    PictureChanged();
}

void TImage::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    PictureChanged();
}
void TImage::SetStretch(bool v) {
    if (v == stretch_) return;
    stretch_ = v;
    Invalidate();
}
void TImage::SetCenter(bool v) {
    if (v == center_) return;
    center_ = v;
    Invalidate();
}
void TImage::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    PictureChanged();
}

SIZE TImage::ScaledPictureSize() const {
    return {ScaleForDpi(picture_.Width(), dpi_), ScaleForDpi(picture_.Height(), dpi_)};
}

void TImage::ScaleMetrics(int toDpi, int /*fromDpi*/) {
    dpi_ = toDpi;
    Invalidate();
}

RECT TImage::DestRect() const {
    const SIZE size = ScaledPictureSize();
    const int w = size.cx, h = size.cy;
    if (stretch_) return ClientRect();
    RECT r{0, 0, w, h};
    if (center_) OffsetRect(&r, (width_ - w) / 2, (height_ - h) / 2);
    return r;
}

void TImage::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = ROLE_SYSTEM_GRAPHIC;
    info.Name = AccessibleCaption(Hint());
    info.State = STATE_SYSTEM_READONLY;
}

void TImage::Paint() {
    TGraphic* g = picture_.Graphic();
    if (!g || g->Empty()) return;
    if (TGraphic* large = picture2x_.Graphic(); large && !large->Empty() && dpi_ > BaseDpi) {
        large->SetTransparent(transparent_);
        g = large;
    }
    RECT r = DestRect();
    g->Draw(Canvas(), r);
}

// ---- the utility window, timers and posted calls -------------------------------------------

namespace {
constexpr UINT WM_QX_CALL = WM_APP + 0x101;
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}
std::deque<std::function<void()>>& Calls() {
    static std::deque<std::function<void()>> calls;
    return calls;
}
UINT_PTR g_nextTimerId = 1;
}  // namespace

LRESULT CALLBACK UtilityWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_TIMER) {
            auto it = Timers().find(wParam);
            if (it != Timers().end() && it->second->OnTimer) it->second->OnTimer(it->second);
            return 0;
        }
        if (message == WM_QX_CALL) {
            if (!Calls().empty()) {
                auto call = std::move(Calls().front());
                Calls().pop_front();
                call();
            }
            return 0;
        }
    } catch (...) {
        ReportException(nullptr, std::current_exception());
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND UtilityWindow() {
    static HWND window = [] {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = UtilityWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TQxUtilityWindow";
        RegisterClassExW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

void PostCall(std::function<void()> call) {
    Calls().push_back(std::move(call));
    PostMessageW(UtilityWindow(), WM_QX_CALL, 0, 0);
}

const TClassInfo& TTimer::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TTimer>("TTimer", &TComponent::StaticClassInfo())
                                       .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
                                       .Int("Interval", &TTimer::Interval, &TTimer::SetInterval)
                                       .Event("OnTimer", &TTimer::OnTimer)
                                       .Creatable()
                                       .Build();
    return info;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) { Update(); }

TTimer::~TTimer() {
    enabled_ = false;
    Update();
}

void TTimer::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Update();
}

void TTimer::SetInterval(int v) {
    if (v == interval_) return;
    interval_ = v;
    Update();
}

void TTimer::Update() {
    if (id_) {
        KillTimer(UtilityWindow(), id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (enabled_ && interval_ > 0) {
        id_ = g_nextTimerId++;
        Timers()[id_] = this;
        SetTimer(UtilityWindow(), id_, static_cast<UINT>(interval_), nullptr);
    }
}

}  // namespace qx
