// Basic types of the window framework: the message record, colours, the framework's own
// notification messages, and the small enumerations that controls share.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace qx {

class TObject;

// The record that a control's message handler receives; handlers read and set Result.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A message handler bound to an object: comparable, so that whoever replaces a control's
// handler can tell whether its own is still the installed one before putting the old back.
struct TWndMethod {
    void* Object = nullptr;
    void (*Code)(void* object, TMessage& message) = nullptr;

    void operator()(TMessage& message) const { Code(Object, message); }
    explicit operator bool() const { return Code != nullptr; }
    bool operator==(const TWndMethod&) const = default;

    template <class T, void (T::*Method)(TMessage&)>
    static TWndMethod Of(T* object) {
        return {object, [](void* o, TMessage& m) { (static_cast<T*>(o)->*Method)(m); }};
    }
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// 0x00BBGGRR for a direct colour, 0xFF000000 + n for system colour n.
using TColor = std::int32_t;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// Resolves system colours; clNone and clDefault resolve to black.
COLORREF ColorToRGB(TColor color);

// The framework's own notifications, sent with Perform to controls (the skin engine
// listens to several of them, so their numbers are part of the framework's contract).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
// Notifications that a parent reflects back to the child control that sent them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : std::uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = std::uint8_t;
TShiftState KeysToShiftState(WPARAM keys);

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
HCURSOR CursorHandle(TCursor cursor);

inline int RectWidth(const RECT& r) { return r.right - r.left; }
inline int RectHeight(const RECT& r) { return r.bottom - r.top; }

}  // namespace qx
