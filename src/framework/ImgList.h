// An image list: images of one size kept by the platform's image list, drawn by index (menu
// items and other controls show them). It owns its list, or shows one that another object owns.
#pragma once
#include "framework/Component.h"
#include "framework/Graphics.h"

#include <windows.h>
#include <commctrl.h>

namespace qx {

class TImageList : public TComponent {
    QX_CLASS_INFO()
public:
    explicit TImageList(TComponent* owner);
    ~TImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // A new size empties the list.
    void SetWidth(int width);
    void SetHeight(int height);
    int Count() const;

    // The list, made on demand (24-bit colour with a mask).
    HIMAGELIST Handle();
    // Shows a list that another object owns and frees (the list's size becomes its size).
    void ShareHandle(HIMAGELIST list);

    // Adds the images that lie side by side in bitmap; pixels of mask are transparent.
    // Returns the index of the first one, or -1.
    int AddMasked(TBitmap& bitmap, TColor mask);
    void Clear();
    // Draws image index with its top-left corner at (x, y); a disabled image is drawn greyed.
    void Draw(HDC dc, int x, int y, int index, bool enabled = true);

private:
    void Release();
    HIMAGELIST handle_ = nullptr;
    bool owned_ = false;
    int width_ = 16, height_ = 16;
};

// Draws one image of a platform image list with its top-left corner at (x, y), greyed when
// disabled; an index outside the list draws nothing.
void DrawListImage(HIMAGELIST list, int index, HDC dc, int x, int y, bool enabled);

}  // namespace qx
