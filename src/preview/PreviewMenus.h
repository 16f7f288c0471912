// Skin Preview's menus: the main window's menu bar, a context menu with every kind of item,
// and the MDI demo (a frame with three children) that "Window > New MDI window" opens.
#pragma once
#include <functional>
#include <string>

namespace qx {
class TForm;
class TMainMenu;
class TPopupMenu;
}  // namespace qx

namespace preview {

struct TPreviewMenus {
    qx::TMainMenu* MainMenu = nullptr;
    qx::TPopupMenu* ContextMenu = nullptr;
};

// Gives the form its menu bar and context menu; say shows a short text to the user (the
// status bar) when an item without other work is chosen; File > Skin warnings calls warnings.
TPreviewMenus BuildPreviewMenus(qx::TForm& form, std::function<void(const std::u16string&)> say,
                                std::function<void()> warnings = {});

// Opens the MDI demo (or brings back the one that is open).
void OpenMdiDemo(qx::TForm& owner);

}  // namespace preview
