// The skinned window as its menu bar sees it: where the bar paints, which way it runs, and the
// caption objects it shares the mouse with. The menu bar reaches the form skinner only
// through this.
#pragma once
#include "skin/CaptionBar.h"
#include "skin/ScaledPictures.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace qx {

class TMenuBarHost {
public:
    virtual HWND Handle() const = 0;
    virtual bool Active() const = 0;
    virtual bool RightToLeft() const = 0;
    // The bar's items are caption objects of the window: one of them or a caption button is hot.
    virtual TNCObjectHost& CaptionObjects() = 0;
    // An MDI frame whose maximized child's caption buttons sit at the bar's end.
    virtual bool MdiButtonsOnBar() const = 0;
    virtual const std::vector<std::unique_ptr<TSysButton>>& SysButtons() const = 0;
    // The skin at the window's scale, and a length of the skin at it.
    virtual TSkinScale SkinScale() const = 0;
    virtual int Scaled(int length) const = 0;

protected:
    ~TMenuBarHost() = default;
};

}  // namespace qx
