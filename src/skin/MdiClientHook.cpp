#include "skin/MdiClientHook.h"

#include "skin/SkinData.h"
#include "skin/SkinMessages.h"
#include "skin/SkinnerOwner.h"

namespace qx {

void TMdiClientHook::Install(HWND client) {
    if (FHost.SkinData()) FSavedMenuUpdate = FHost.SkinData()->MenuUpdate();
    FSubclass.Install(client, &TMdiClientHook::SubclassProc, this);
}

LRESULT CALLBACK TMdiClientHook::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR refData) {
    auto* self = reinterpret_cast<TMdiClientHook*>(refData);
    return self->FSubclass.Run(window, message, wParam, lParam, [self](TMessage& m) { self->ClientMessage(m); });
}

void TMdiClientHook::ClientMessage(TMessage& m) {
    const HWND client = FSubclass.Window();
    auto pass = [&m, client] { m.Result = DefSubclassProc(client, m.Msg, m.WParam, m.LParam); };
    const HWND frame = FHost.Handle();
    if (m.Msg == WM_SKINREDRAWMDI) {
        if (IsWindow(frame))
            RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        m.Result = 0;
        return;
    }
    TSkinData* skinData = FHost.SkinData();
    if (!FHost.SkinFrame() || !skinData) {
        pass();
        return;
    }
    TSkinnerOwner* manager = SkinnerOwner();
    switch (m.Msg) {
        case WM_NCDESTROY:
            pass();
            FSubclass.Remove();
            if (manager && manager->MDIClient() == client) manager->SetMDIFrame(nullptr, nullptr);
            return;
        case WM_NCCALCSIZE:
            // The skin draws no scroll bars for the client unless it says so.
            if (!(skinData->Options() & SkinOptionBit(xoMDIScrollbar))) {
                const LONG_PTR style = GetWindowLongPtrW(client, GWL_STYLE);
                const LONG_PTR without = style & ~static_cast<LONG_PTR>(WS_VSCROLL | WS_HSCROLL);
                if (without != style) SetWindowLongPtrW(client, GWL_STYLE, without);
            }
            pass();
            return;
        case WM_MDICREATE:
            skinData->SetMenuUpdate(false);
            pass();
            return;
        case WM_MDIDESTROY:
            pass();
            // Another child that is maximized keeps the state, as the platform keeps it.
            if (manager) manager->SetMDIChildMaximized(FHost.ActiveChildMaximized());
            if (FHost.MenuBar() && !SendMessageW(client, WM_MDIGETACTIVE, 0, 0)) {
                skinData->SetMenuUpdate(FSavedMenuUpdate);
                FHost.ReloadMenuBar(false);
            }
            return;
        case WM_MDITILE:
        case WM_MDICASCADE:
            if (manager && manager->MDIChildMaximized()) manager->SetMDIChildMaximized(false);
            pass();
            return;
        case WM_MDISETMENU:
            pass();
            if (FHost.MenuBar() && m.WParam) FHost.ReloadMenuBar(true);
            if (GetMenu(frame)) SetMenu(frame, nullptr);
            return;
        default: break;
    }
    pass();
}

}  // namespace qx
