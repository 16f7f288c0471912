// The skin engine's private window messages and the named numbers that skinned windows,
// skin elements and caption buttons share, so that a condition says what it tests.
#pragma once
#include <windows.h>

#include <cstdint>

namespace qx {

// ---- private messages (the application's message range) ----
constexpr UINT WM_SKINCHANGED = 0x3401;        // the skin was replaced: re-skin the form
constexpr UINT WM_SKINPAINTFRAME = 0x3502;     // paint the frame now
constexpr UINT WM_SKINSTART = 0x3503;          // start skinning this window; lParam kSkinStartKey
constexpr UINT WM_SKINSWITCH = 0x3506;         // one control: wParam > 0 on, otherwise off
constexpr UINT WM_SKINCAPTIONACTION = 0x3514;  // an application caption button: wParam its action
constexpr UINT WM_SKINBUTTONVISIBLE = 0x3515;  // may the caption button (visibility, action) show?
constexpr UINT WM_SKINREDRAWMDI = 0x3516;      // redraw the MDI client with its children and frames
constexpr UINT WM_SKINRECREATESCROLL = 0x3517; // re-create the scroll-bar skinner of wParam's window
constexpr UINT WM_SKINOPENMENU = 0x3518;       // open the menu bar item under the screen point lParam
constexpr UINT WM_SKINNEDQUERY = 0x3523;       // a skinned window answers 1
constexpr LPARAM kSkinStartKey = 1000;

// ---- states of a skin element's pictures (counted from 1) ----
// Window frame pieces and the caption text background.
enum TFrameState : int { fsActive = 1, fsInactive = 2 };
// Caption buttons and caption-bar objects.
enum TButtonCell : int { bcNormal = 1, bcPressed = 2, bcHot = 3, bcInactive = 4 };

// The four frame pieces, in the order the frame painter and the region builder name them.
enum TFramePiece : int { fpLeft = 1, fpRight = 2, fpTop = 3, fpBottom = 4 };

// ---- caption buttons ----
// What a caption button does when it is released over itself.
enum TCaptionAction : std::int32_t {
    caClose = 0,
    caMaximize = 1,
    caMinimize = 2,
    caSystemMenu = 3,
    caMdiMinimize = 7,
    caMdiRestore = 8,
    caMdiClose = 9,
    caIconMenu = 11,
    caSystemMenu2 = 12,
    caMaximize2 = 22,
    caMinimize2 = 23,
    caMdiMinimize2 = 60,
    caMdiRestore2 = 61,
    caMdiClose2 = 62,
};
constexpr bool ShowsWindowIcon(std::int32_t action) { return action == caSystemMenu || action == caIconMenu; }
constexpr bool OpensSystemMenu(std::int32_t action) {
    return action == caSystemMenu || action == caIconMenu || action == caSystemMenu2;
}

// When a caption button shows (its Visibility and Visibility1 codes).
enum TButtonVisibility : std::int32_t {
    bvNever = -1,
    bvAlways = 0,
    bvMaximized = 1,
    bvNotMaximized = 2,
    bvActive = 3,
    bvInactive = 4,
    bvHidden = 5,
    bvMaxBox = 6,
    bvNoMaxBox = 7,
    bvMinBox = 8,
    bvNoMinBox = 9,
    bvMdiMenuBar = 100,
    bvDialogFrame = 200,
    bvApplicationFirst = 1000,  // 1000 to 2000: the application decides (WM_SKINBUTTONVISIBLE)
    bvApplicationLast = 2000,
};

// Where a caption button sits (its Align code).
enum TButtonAlign : std::int32_t {
    baLeft = 0,
    baRight = 1,
    baBeforeText = 2,
    baAfterText = 3,
    baBeforeText2 = 8,
    baAfterText2 = 9,
    baMenuBar = 100,
};

// ---- form skinner ----
enum TMdiKind : std::uint8_t { mkPlain = 0, mkFrame = 1, mkChild = 2 };
enum TBorderKind : std::uint8_t { bkSizeable = 0, bkSingle = 1, bkNoCaption = 2, bkDialog = 3 };
enum TWindowState : std::uint8_t { wsNormal = 0, wsMaximized = 1, wsMinimized = 2 };
enum TFormCap : std::uint8_t { fcMaxBox = 1, fcMinBox = 2, fcSysMenu = 8, fcCaptionStripped = 0x10 };

// ---- skin manager ----
enum TSkinCommand : std::int32_t { scNone = 0, scStart = 1, scStop = 2, scRefresh = 3, scPurge = 6 };
enum TManagerState : std::int32_t { msIdle = 0, msRunning = 1, msDestroying = 4 };
enum TPopupKind : std::int32_t { pkPopup = 0, pkMenuBar = 1, pkSystemMenu = 2 };

// A window with this Tag is never skinned, whatever the skin data's DisableTag says.
constexpr std::int32_t kNeverSkinTag = 99;
// A control with this Tag shows its parent's background through its skin.
constexpr std::int32_t TransparentTag = 5555;

}  // namespace qx
