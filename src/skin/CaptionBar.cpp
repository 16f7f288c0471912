#include "skin/CaptionBar.h"

namespace qx {

void TNCObject::MouseDown() {
    // The one that was hot lets go even when this one does not react.
    if (TNCObject* hot = FOwner.HotObject(); hot && hot != this) hot->MouseLeave();
    if (!FVisible) return;
    FOwner.SetHotObject(this);
    FState = bcPressed;
    Paint();
}

void TNCObject::MouseUp() {
    if (!FVisible) return;
    FState = bcHot;
    Paint();
}

void TNCObject::MouseEnter() {
    TNCObject* hot = FOwner.HotObject();
    if (hot == this) return;
    if (hot) hot->MouseLeave();
    if (!FVisible) return;
    FOwner.SetHotObject(this);
    FState = bcHot;
    Paint();
}

void TNCObject::MouseLeave() {
    if (FOwner.HotObject() == this) FOwner.SetHotObject(nullptr);
    if (!FVisible) return;
    FState = bcNormal;
    Paint();
}

}  // namespace qx
