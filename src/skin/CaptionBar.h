// The objects of a skinned caption that the user can point at: caption buttons (and, with
// menus, menu bar items). Each has a rectangle in window coordinates, a visibility and a state
// (normal, pressed, hot); at most one is hot or pressed at a time, the host's hot object.
#pragma once
#include "skin/SkinMessages.h"

#include <windows.h>

namespace qx {

class TNCObject;
class TSysButton;
class TDataSkinSysButton;

// What the caption objects need of the window that holds them.
class TNCObjectHost {
public:
    virtual ~TNCObjectHost() = default;
    virtual TNCObject* HotObject() const = 0;
    virtual void SetHotObject(TNCObject* object) = 0;
    // Draws one caption button in one state at once (immediate feedback).
    virtual void PaintSysButton(TSysButton& button, int state) = 0;
};

class TNCObject {
public:
    explicit TNCObject(TNCObjectHost& owner) : FOwner(owner) {}
    virtual ~TNCObject() = default;
    TNCObject(const TNCObject&) = delete;
    TNCObject& operator=(const TNCObject&) = delete;

    // The state machine: normal (1) -> hot (3) on entering, pressed (2) on a press, hot
    // again on release; leaving (or another object entering) makes it normal.
    void MouseDown();
    void MouseUp();
    void MouseEnter();
    void MouseLeave();
    virtual void Paint() = 0;

    TNCObjectHost& FOwner;
    RECT FRect{};
    bool FVisible = false;
    int FState = bcNormal;
};

class TSysButton : public TNCObject {
public:
    TSysButton(TNCObjectHost& owner, TDataSkinSysButton& skin) : TNCObject(owner), FSkin(&skin) {}
    void Paint() override { FOwner.PaintSysButton(*this, FState); }

    TDataSkinSysButton* FSkin;  // not owned
};

}  // namespace qx
