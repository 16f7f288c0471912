// The base of every control skinner: takes over one child window's messages (a framework
// control's message handler, or a raw window's procedure through a stub), routes them through
// BeforeMessage and AfterMessage, and paints the control from the skin.
#pragma once
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "framework/WndStub.h"
#include "skin/SkinDraw.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qx {

class TSkinData;
class TSkinForm;
class TDataSkinObject;

// Private messages of the skin engine that every skinner answers.
constexpr UINT WM_SKINSWITCH = 0x3506;   // wParam > 0 on, otherwise off
constexpr UINT WM_SKINNEDQUERY = 0x3523; // a skinned window answers 1

enum TSkinStateFlag : std::uint8_t { skHot = 1, skPressed = 2 };

class TSkinControl : public TComponent {
public:
    explicit TSkinControl(TComponent* owner);
    ~TSkinControl() override;

    // Binds to the owner, which must be a windowed framework control.
    virtual void Attach(TSkinForm* form, TSkinData* skinData, bool ownColor, TCanvas* canvas);
    // Binds to a window without a framework object.
    virtual void AttachWindow(HWND handle, TSkinData* skinData, TSkinForm* form, TCanvas* canvas);
    virtual void Detach();
    // True: the message goes on to the previous handler and then to AfterMessage.
    virtual bool BeforeMessage(TMessage& message);
    virtual void AfterMessage(TMessage& message);
    // The whole window, through the window DC when dc is 0. Never throws.
    virtual void PaintWindow(HDC dc);
    // rect is the window rectangle moved to the origin.
    virtual void PaintSkin(HDC dc, const RECT& rect) {}
    virtual void SkinChanged();

    void SkinWndProc(TMessage& message);
    void CallPrevious(TMessage& message);
    void Repaint();
    // Frees the skinner now, or once the outermost message that is using it has returned.
    // While a handler installed later still calls it, it only passes messages on instead and
    // is freed with its control.
    void Free();

    HWND Handle() const { return FHandle; }
    TControl* Control() const { return FControl; }
    std::int32_t LifeState() const { return FLifeState; }
    bool SkinOn() const { return FSkinOn; }
    bool Attached() const { return FAttached; }
    std::int32_t SelfPaint() const { return FSelfPaint; }
    std::uint8_t State() const { return FState; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

    void FillFace(HDC dc, const RECT& rect);
    TColor ParentColor(TColor defaultColor) const;
    void FillParentColor(HDC dc, const RECT& rect);
    void DrawTextFocus(HDC dc, UINT format, const RECT& rect);
    void ForwardMouseDown(const TMessage& message);
    void SyncParentBackground(bool on);
    // WM_PAINT and WM_PRINT painted by the skinner alone.
    void PaintOwn(TMessage& message);
    void EraseTransparent(TMessage& message);
    // The window's text (the caption a raw window shows).
    std::u16string WindowText() const;
    LONG_PTR WindowStyle() const;
    bool OptionSet(int option) const;
    TColor SkinButtonFace() const;

    std::uint8_t FState = 0;
    TCanvas* FCanvas = nullptr;
    bool FEnabled = false;
    bool FFocused = false;
    std::u16string FCaption;
    TWndStub FWndStub;
    WNDPROC FOldWndProc = nullptr;
    bool FSkinOn = true;
    bool FUnicode = false;
    TSkinData* FSkinData = nullptr;
    HWND FHandle = nullptr;
    TWndMethod FOldWindowProc;
    TControl* FControl = nullptr;
    RECT FWindowRect{};
    TComponent* FCompanion = nullptr;
    bool FOwnColor = false;
    TColor FSavedColor = 0;
    bool FAttached = false;
    std::int32_t FLifeState = 0;
    TSkinForm* FSkinForm = nullptr;
    std::int32_t FSelfPaint = 0;
    bool FParentBackgroundWasOn = false;

private:
    // What the stub calls. It outlives the skinner when a later subclass still holds the stub
    // as its previous procedure, and then passes messages on until the window goes.
    struct TStubRoute;
    static LRESULT CALLBACK StubEntry(void* object, UINT message, WPARAM wParam, LPARAM lParam);
    void WatchControl(TControl* control);
    // windowGoing: at WM_NCDESTROY nothing calls the stub afterwards, so it is freed in any case.
    void GiveBackWindowProc(bool windowGoing = false);
    void GiveBackHandler();
    // Free() without waiting for a running message.
    void FreeNow();
    TStubRoute* stubRoute_ = nullptr;
    int depth_ = 0;          // messages of this skinner now running
    bool freePending_ = false;
    bool passOnly_ = false;  // let go while a later handler still calls it
};

// The window's parent shows through: what the parent paints behind the control goes into dc.
void CopyParentBackground(TControl* control, HDC dc);
// One frame of a skin element, nine-slice.
void DrawButtonFace(HDC dc, const RECT& rect, int frameCount, int frameIndex, TDataSkinObject& element);
// One cell of a glyph strip, magenta transparent.
void DrawStateGlyph(HDC dc, const RECT& rect, int frameCount, int frameIndex, TBitmap& image);
void DrawStateGlyph(TCanvas& canvas, const RECT& rect, int frameCount, int frameIndex, TBitmap& image);
std::u16string ReplaceFirst(const std::u16string& text, std::u16string_view pattern, std::u16string_view replacement);

// Published properties by name; absent objects and properties give the "missing" value.
bool HasProp(TObject* object, std::string_view name);
std::int64_t GetIntProp(TObject* object, std::string_view name);        // -1 when missing
std::string GetEnumPropText(TObject* object, std::string_view name);    // "" when missing
std::u16string GetWideStrProp(TObject* object, std::string_view name);  // "" when missing
TObject* GetObjectPropOf(TObject* object, std::string_view name, const TClassInfo& cls);
void SetPropFromText(TObject* object, std::string_view name, const std::u16string& text);
// Lower-cased text of any property ("" when missing).
std::string PropTextLower(TObject* object, std::string_view name);

}  // namespace qx
