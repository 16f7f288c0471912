// The picture control and the timer.
#pragma once
#include "framework/Controls.h"

#include <functional>

namespace qx {

// Shows a TPicture; with AutoSize it takes the picture's size.
class TImage : public TGraphicControl {
    QX_CLASS_INFO()
public:
    explicit TImage(TComponent* owner);
    TPicture& Picture() { return picture_; }
    TPicture* PictureObject() { return &picture_; }
    // The same picture drawn at twice its size: taken in its place (at Picture's scaled size)
    // whenever the control is shown above 100 %, so that a larger display gets a sharp picture
    // rather than an enlarged one.
    TPicture& Picture2x() { return picture2x_; }
    TPicture* Picture2xObject() { return &picture2x_; }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    void Loaded() override;
    // A picture, named by its hint.
    void DescribeAccessible(TAccessibleInfo& info) const override;

protected:
    void Paint() override;
    void ScaleMetrics(int toDpi, int fromDpi) override;

private:
    void PictureChanged();
    RECT DestRect() const;
    // The picture's size at the control's display scale.
    SIZE ScaledPictureSize() const;
    TPicture picture_;
    TPicture picture2x_;
    bool autoSize_ = false;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
    int dpi_ = 96;
};

// Calls OnTimer every Interval milliseconds while Enabled.
class TTimer : public TComponent {
    QX_CLASS_INFO()
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int Interval() const { return interval_; }
    void SetInterval(int value);
    TNotifyEvent OnTimer;

private:
    friend LRESULT CALLBACK UtilityWndProc(HWND, UINT, WPARAM, LPARAM);
    void Update();
    bool enabled_ = true;
    int interval_ = 1000;
    UINT_PTR id_ = 0;
};

// The hidden message-only window of the framework (timers, posted calls).
HWND UtilityWindow();
// Runs call on the user-interface thread after the current message has been handled.
void PostCall(std::function<void()> call);

}  // namespace qx
