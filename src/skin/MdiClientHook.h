// The form skinner's hold on the MDI client of a skinned MDI frame: its scroll bars, its
// children's maximized state and the menu bar that follows the active child's menu. A part of
// the form skinner, which owns it and answers for the frame through TMdiClientHookHost.
#pragma once
#include "skin/Skinner.h"

#include <windows.h>

namespace qx {

class TSkinData;
class TSkinMenuBar;

// What the MDI client's hook needs of the frame that holds the client.
class TMdiClientHookHost {
public:
    virtual HWND Handle() const = 0;
    virtual TSkinData* SkinData() const = 0;
    // Whether the skin draws the frame (the client is left as it is otherwise).
    virtual bool SkinFrame() const = 0;
    virtual TSkinMenuBar* MenuBar() const = 0;
    virtual bool ActiveChildMaximized() const = 0;
    // The menu bar takes the frame's menu again (laid out anew when relayout) and the frame is
    // painted; nothing without a menu bar.
    virtual void ReloadMenuBar(bool relayout) = 0;
};

class TMdiClientHook {
public:
    explicit TMdiClientHook(TMdiClientHookHost& host) : FHost(host) {}
    TMdiClientHook(const TMdiClientHook&) = delete;
    TMdiClientHook& operator=(const TMdiClientHook&) = delete;
    // Takes over the client's messages; the skin's menu updating, switched off while a child
    // is being made, is given back as it is now when the last child goes.
    void Install(HWND client);
    // Gives the client its own procedure back; safe to call more than once.
    void Remove() { FSubclass.Remove(); }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    void ClientMessage(TMessage& m);

    TMdiClientHookHost& FHost;
    TWindowSubclass FSubclass;
    bool FSavedMenuUpdate = true;
};

}  // namespace qx
