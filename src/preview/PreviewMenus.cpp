#include "PreviewMenus.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"

#include <cstdlib>
#include <vector>

using namespace qx;

namespace preview {

namespace {

constexpr std::uint32_t kKey = 0xFF00FF;  // the images' transparent colour

// Three 16 x 16 glyphs on magenta, side by side: a folder, a disk, a star.
void AddGlyphs(TImageList& images) {
    std::vector<std::uint32_t> px(48 * 16, kKey);
    auto set = [&px](int x, int y, std::uint32_t c) { px[static_cast<std::size_t>(y) * 48 + x] = c; };
    for (int y = 5; y < 14; ++y)
        for (int x = 1; x < 15; ++x) set(x, y, y == 5 || x == 1 || x == 14 || y == 13 ? 0x8A6A10 : 0xF2C94C);
    for (int x = 1; x < 7; ++x) set(x, 4, 0x8A6A10);
    for (int y = 2; y < 14; ++y)
        for (int x = 18; x < 30; ++x) set(x, y, y < 6 && x > 20 && x < 27 ? 0xE8EEF6 : 0x2060C0);
    for (int y = 2; y < 14; ++y)
        for (int x = 34; x < 46; ++x)
            if (std::abs(x - 40) + std::abs(y - 8) < 7 - (y > 8 ? 0 : 1)) set(x, y, 0xE0A000);
    TBitmap strip;
    strip.SetPixels32(48, 16, px);
    images.AddMasked(strip, static_cast<TColor>(0xFF00FF));
}

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const char16_t* caption, std::function<void()> click = {}) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    if (click) item->OnClick = [click](TObject*) { click(); };
    parent->Add(item);
    return item;
}

// The MDI demo: a frame whose window menu lists its children and arranges them.
class TMdiDemo : public TForm {
public:
    explicit TMdiDemo(TComponent* owner) : TForm(owner) {
        SetFormStyle(TFormStyle::fsMDIForm);
        SetCaption(u"MDI Demo");
        SetBounds(120, 90, 640, 460);
        auto* menu = new TMainMenu(this);
        TMenuItem* file = Item(this, menu->Items(), u"&File");
        Item(this, file, u"&New child", [this] { NewChild(); });
        Item(this, file, u"-");
        Item(this, file, u"&Close", [this] { Close(); });
        TMenuItem* window = Item(this, menu->Items(), u"&Window");
        Item(this, window, u"&Tile", [this] { Tile(); });
        Item(this, window, u"&Cascade", [this] { Cascade(); });
        Item(this, window, u"&Arrange icons", [this] { ArrangeIcons(); });
        SetMenu(menu);
        SetWindowMenu(window);
        // A new demo each time: closing frees this one with its children.
        OnClose = [this](TObject*) { SetCloseAction(TCloseAction::caFree); };
    }

    void NewChild() {
        auto* child = new TForm(this);
        child->SetFormStyle(TFormStyle::fsMDIChild);
        child->SetCaption(u"Child " + std::u16string(1, static_cast<char16_t>(u'0' + ++children_ % 10)));
        child->SetBounds(CW_USEDEFAULT, CW_USEDEFAULT, 260, 180);
        auto* label = new TLabel(child);
        label->SetParent(child);
        label->SetBounds(12, 12, 220, 20);
        label->SetCaption(u"An MDI child with a skinned frame.");
        child->Show();
    }

private:
    int children_ = 0;
};

}  // namespace

TPreviewMenus BuildPreviewMenus(TForm& form, std::function<void(const std::u16string&)> say,
                                std::function<void()> warnings) {
    TPreviewMenus menus;
    auto* images = new TImageList(&form);
    AddGlyphs(*images);

    auto* bar = new TMainMenu(&form);
    bar->SetImages(images);
    TMenuItem* file = Item(&form, bar->Items(), u"&File");
    Item(&form, file, u"&Open", [say] { say(u"Open was chosen"); })->SetImageIndex(0);
    TMenuItem* checked = Item(&form, file, u"&Checked item");
    checked->SetAutoCheck(true);
    checked->SetChecked(true);
    Item(&form, file, u"&Disabled item")->SetEnabled(false);
    Item(&form, file, u"-");
    Item(&form, file, u"E&xit", [&form] { form.Close(); });
    if (warnings) {
        Item(&form, file, u"-");
        Item(&form, file, u"Skin &warnings...", std::move(warnings));
    }
    TMenuItem* window = Item(&form, bar->Items(), u"&Window");
    Item(&form, window, u"&New MDI window", [&form] { OpenMdiDemo(form); });
    // A bar item without a drop-down is a command of its own.
    Item(&form, bar->Items(), u"&Help", [say] { say(u"Help was chosen"); });
    form.SetMenu(bar);
    menus.MainMenu = bar;

    // Every kind of item: image, shortcut, check, radio group, disabled, default, separator, sub-menu.
    auto* context = new TPopupMenu(&form);
    context->SetImages(images);
    TMenuItem* open = Item(&form, context->Items(), u"&Open", [say] { say(u"Open was chosen"); });
    open->SetImageIndex(0);
    open->SetDefault(true);
    TMenuItem* save = Item(&form, context->Items(), u"&Save", [say] { say(u"Save was chosen"); });
    save->SetImageIndex(1);
    save->SetShortCut(ShortCut('S', ssCtrl));
    Item(&form, context->Items(), u"-");
    TMenuItem* mark = Item(&form, context->Items(), u"&Marked");
    mark->SetAutoCheck(true);
    mark->SetChecked(true);
    for (const char16_t* caption : {u"S&mall", u"&Large"}) {
        TMenuItem* radio = Item(&form, context->Items(), caption);
        radio->SetRadioItem(true);
        radio->SetAutoCheck(true);
        radio->SetGroupIndex(1);
        radio->SetChecked(caption[0] == u'S');
    }
    Item(&form, context->Items(), u"&Unavailable")->SetEnabled(false);
    Item(&form, context->Items(), u"-");
    TMenuItem* more = Item(&form, context->Items(), u"M&ore");
    Item(&form, more, u"&Favourite", [say] { say(u"Favourite was chosen"); })->SetImageIndex(2);
    Item(&form, more, u"&Window list", [&form] { OpenMdiDemo(form); });
    form.SetPopupMenu(context);
    menus.ContextMenu = context;
    return menus;
}

void OpenMdiDemo(TForm& owner) {
    for (TComponent* c : owner.Components())
        if (auto* demo = dynamic_cast<TMdiDemo*>(c)) {
            demo->Show();
            return;
        }
    auto* demo = new TMdiDemo(&owner);
    demo->Show();
    for (int i = 0; i < 3; ++i) demo->NewChild();
}

}  // namespace preview
