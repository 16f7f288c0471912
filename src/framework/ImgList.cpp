#include "framework/ImgList.h"

#include <algorithm>

namespace qx {

const TClassInfo& TImageList::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TImageList>("TImageList", &TComponent::StaticClassInfo())
                                       .Int("Width", &TImageList::Width, &TImageList::SetWidth)
                                       .Int("Height", &TImageList::Height, &TImageList::SetHeight)
                                       .Creatable()
                                       .Build();
    return info;
}

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

TImageList::~TImageList() { Release(); }

void TImageList::Release() {
    if (handle_ && owned_) ImageList_Destroy(handle_);
    handle_ = nullptr;
    owned_ = false;
}

void TImageList::SetWidth(int width) {
    width = std::max(1, width);
    if (width == width_) return;
    Release();
    width_ = width;
}

void TImageList::SetHeight(int height) {
    height = std::max(1, height);
    if (height == height_) return;
    Release();
    height_ = height;
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

HIMAGELIST TImageList::Handle() {
    if (!handle_) {
        handle_ = ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 4, 4);
        owned_ = handle_ != nullptr;
    }
    return handle_;
}

void TImageList::ShareHandle(HIMAGELIST list) {
    if (list == handle_) return;
    Release();
    handle_ = list;
    owned_ = false;
    int cx = 0, cy = 0;
    if (list && ImageList_GetIconSize(list, &cx, &cy)) {
        width_ = cx;
        height_ = cy;
    }
}

int TImageList::AddMasked(TBitmap& bitmap, TColor mask) {
    if (bitmap.Empty() || !Handle()) return -1;
    // The list copies the pixels; the bitmap may not be selected into a DC meanwhile.
    TBitmap copy;
    copy.Assign(bitmap);
    HBITMAP h = copy.Handle();
    return h ? ImageList_AddMasked(handle_, h, ColorToRGB(mask)) : -1;
}

void TImageList::Clear() {
    if (handle_) ImageList_RemoveAll(handle_);
}

void TImageList::Draw(HDC dc, int x, int y, int index, bool enabled) {
    DrawListImage(handle_, index, dc, x, y, enabled);
}

void DrawListImage(HIMAGELIST list, int index, HDC dc, int x, int y, bool enabled) {
    if (!list || index < 0 || index >= ImageList_GetImageCount(list)) return;
    if (enabled) {
        ImageList_Draw(list, index, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    IMAGELISTDRAWPARAMS p{};
    p.cbSize = sizeof p;
    p.himl = list;
    p.i = index;
    p.hdcDst = dc;
    p.x = x;
    p.y = y;
    p.rgbBk = CLR_NONE;
    p.rgbFg = CLR_NONE;
    p.fStyle = ILD_TRANSPARENT;
    p.fState = ILS_SATURATE;
    if (!ImageList_DrawIndirect(&p)) ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_BLEND50);
}

}  // namespace qx
