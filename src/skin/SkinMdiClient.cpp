// The form skinner's hold on the MDI client of a skinned MDI frame: its scroll bars, its
// children's maximized state and the menu bar that follows the active child's menu.
#include "framework/Forms.h"
#include "skin/MenuBar.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"
#include "skin/SkinnerOwner.h"

namespace qx {

LRESULT CALLBACK TSkinForm::ClientSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR refData) {
    auto* self = reinterpret_cast<TSkinForm*>(refData);
    return self->FClientSubclass.Run(window, message, wParam, lParam, [self](TMessage& m) { self->ClientWndProc(m); });
}

void TSkinForm::ClientWndProc(TMessage& m) {
    const HWND client = FClientHandle;
    auto pass = [&m, client] { m.Result = DefSubclassProc(client, m.Msg, m.WParam, m.LParam); };
    if (m.Msg == WM_SKINREDRAWMDI) {
        if (IsWindow(FHandle))
            RedrawWindow(FHandle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        m.Result = 0;
        return;
    }
    if (!FSkinFrame || !FSkinData) {
        pass();
        return;
    }
    TSkinnerOwner* manager = SkinnerOwner();
    switch (m.Msg) {
        case WM_NCDESTROY:
            pass();
            FClientSubclass.Remove();
            if (manager && manager->MDIClient() == client) manager->SetMDIFrame(nullptr, nullptr);
            return;
        case WM_NCCALCSIZE:
            // The skin draws no scroll bars for the client unless it says so.
            if (!(FSkinData->Options() & SkinOptionBit(xoMDIScrollbar))) {
                const LONG_PTR style = GetWindowLongPtrW(client, GWL_STYLE);
                const LONG_PTR without = style & ~static_cast<LONG_PTR>(WS_VSCROLL | WS_HSCROLL);
                if (without != style) SetWindowLongPtrW(client, GWL_STYLE, without);
            }
            pass();
            return;
        case WM_MDICREATE:
            FSkinData->SetMenuUpdate(false);
            pass();
            return;
        case WM_MDIDESTROY: {
            pass();
            // Another child that is maximized keeps the state, as the platform keeps it.
            if (manager) manager->SetMDIChildMaximized(ActiveChildMaximized());
            if (TSkinMenuBar* bar = FMenus->MenuBar(); bar && !SendMessageW(client, WM_MDIGETACTIVE, 0, 0)) {
                FSkinData->SetMenuUpdate(FSavedMenuUpdate);
                bar->MenuBarFromHandle(FHandle, FForm ? FForm->Menu() : nullptr);
                PaintFrame();
            }
            return;
        }
        case WM_MDITILE:
        case WM_MDICASCADE:
            if (manager && manager->MDIChildMaximized()) manager->SetMDIChildMaximized(false);
            pass();
            return;
        case WM_MDISETMENU:
            pass();
            if (TSkinMenuBar* bar = FMenus->MenuBar(); bar && m.WParam) {
                bar->MenuBarFromHandle(FHandle, FForm ? FForm->Menu() : nullptr);
                bar->Layout(MenuBand());
                PaintFrame();
            }
            if (GetMenu(FHandle)) SetMenu(FHandle, nullptr);
            return;
        default: break;
    }
    pass();
}

}  // namespace qx
