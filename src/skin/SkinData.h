// The skin data component: carries a compressed skin (stored with the form or read from a
// file), turns it into the skin object model and the skin's colours, and holds the settings
// that decide what the skin engine skins. It knows no window: it tells its listeners (the skin
// manager) what changed, and they decide what that means for the windows. Form and control
// skinners only read from it.
#pragma once
#include "core/Stream.h"
#include "framework/Component.h"
#include "framework/Gdi.h"
#include "framework/Graphics.h"
#include "skin/ScaledPictures.h"
#include "skin/SkinCheck.h"
#include "skin/SkinObjects.h"
#include "skin/SkinValues.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace qx {

class TSkinReader;
class TQuickIni;
class TSkinPictures;

enum TSkinControlType : std::uint8_t {
    xcMainMenu, xcPopupMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton,
    xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcSpin, xcPanel, xcGroupBox,
    xcStatusBar, xcTab, xcTrackBar, xcSystemMenu, xcReportDesigner
};
using TSkinControlTypes = std::uint32_t;  // bit n for ordinal n
extern const TEnumInfo SkinControlTypeInfo;

enum TSkinOption : std::uint8_t {
    xoMDIScrollbar, xoMenuMerge, xoTransparent, xoPreview, xoParentBackGround, xoNoFocusRect, xoToolbarBK,
    xoMDIChildBorder
};
using TSkinOptions = std::uint8_t;
extern const TEnumInfo SkinOptionInfo;

enum TSkinFormType : std::uint8_t { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };
extern const TEnumInfo SkinFormTypeInfo;

constexpr TSkinControlTypes SkinControlBit(TSkinControlType t) { return TSkinControlTypes{1} << t; }
constexpr TSkinOptions SkinOptionBit(TSkinOption o) { return static_cast<TSkinOptions>(1u << o); }

// Every kind but xcMenuItem and xcReportDesigner.
inline constexpr TSkinControlTypes kDefaultSkinControls =
    ((TSkinControlTypes{1} << (xcReportDesigner + 1)) - 1) & ~SkinControlBit(xcMenuItem) & ~SkinControlBit(xcReportDesigner);
inline constexpr TSkinOptions kDefaultSkinOptions = SkinOptionBit(xoPreview) | SkinOptionBit(xoToolbarBK);

// An image list handle, destroyed with its owner.
class TImageListHandle {
public:
    TImageListHandle() = default;
    TImageListHandle(const TImageListHandle&) = delete;
    TImageListHandle& operator=(const TImageListHandle&) = delete;
    ~TImageListHandle() { Reset(); }
    HIMAGELIST Get() const { return handle_; }
    void Reset(HIMAGELIST handle = nullptr) {
        if (handle_) ImageList_Destroy(handle_);
        handle_ = handle;
    }

private:
    HIMAGELIST handle_ = nullptr;
};

// The skin's colours from [Colours], in their table order.
using TSkinColours = TSkinColourValues;

enum TSkinBorder : std::uint8_t { sbLeft, sbRight, sbTop, sbBottom };

class TSkinData;

// What changed about a skin data component.
enum class TSkinDataChange : std::uint8_t {
    Loaded,            // read from its layout (an Active without a skin already turned off)
    SwitchedOn,        // Active turned on, with a skin to show
    SwitchedOff,       // Active turned off
    SwitchOnRefused,   // Active asked on without a parsed skin: nothing changed
    SkinApplied,       // a newly loaded skin is to be shown
    SkinLostWhileOn,   // a skin replaced at run time cannot be used; Active was on (now off)
    SkinLostWhileOff,  // the same while Active was off
    Going,             // the component is being destroyed
};

// Follows every skin data component of the program (the skin manager does).
class TSkinDataListener {
public:
    virtual void SkinDataChanged(TSkinData& skinData, TSkinDataChange change) = 0;

protected:
    ~TSkinDataListener() = default;
};

class TSkinData : public TComponent {
    QX_CLASS_INFO()
public:
    // Listeners hear of every component, in the order they subscribed.
    static void Subscribe(TSkinDataListener* listener);
    static void Unsubscribe(TSkinDataListener* listener);

    using TOnFormSkin = std::function<void(TObject* sender, const std::string& name, bool& doSkin)>;
    using TOnSkinControl = std::function<void(TComponent* sender, TSkinData* skinData, TObject* form,
                                              TObject* control, const std::string& controlClass,
                                              TComponent*& skinnedControl)>;

    explicit TSkinData(TComponent* owner);
    ~TSkinData() override;

    // ---- published properties ----
    bool Active() const { return active_; }
    void SetActive(bool value);
    std::int32_t DisableTag() const { return disableTag_; }
    void SetDisableTag(std::int32_t value) { disableTag_ = value; }
    TSkinControlTypes SkinControls() const { return skinControls_; }
    void SetSkinControls(TSkinControlTypes value) { skinControls_ = value; }
    TSkinOptions Options() const { return options_; }
    void SetOptions(TSkinOptions value) { options_ = value; }
    const std::vector<std::u16string>& SkinClassMap() const { return skinClassMap_; }
    void SetSkinClassMap(const std::vector<std::u16string>& rows) { skinClassMap_ = rows; }
    const std::u16string& SkinFile() const { return skinFile_; }
    void SetSkinFile(const std::u16string& value);
    // The stored skin is part of the layout; these two only show text in a designer.
    std::u16string SkinStore() const { return u"(none)"; }
    void SetSkinStore(const std::u16string&) {}
    std::u16string Version() const { return u"1.0.0.0"; }
    void SetVersion(const std::u16string&) {}
    TSkinFormType SkinFormtype() const { return skinFormType_; }
    void SetSkinFormtype(TSkinFormType value) { skinFormType_ = value; }
    bool MenuUpdate() const { return menuUpdate_; }
    void SetMenuUpdate(bool value) { menuUpdate_ = value; }
    bool MenuMerge() const { return menuMerge_; }
    void SetMenuMerge(bool value) { menuMerge_ = value; }
    TOnFormSkin OnFormSkin;
    TNotifyEvent OnSkinChanged;
    TOnSkinControl OnSkinControl;

    // The "SkinStream" property as stored: a 32-bit little-endian length, then the bytes.
    // Parses the skin at once (at run time). A record that does not hold what its length
    // says leaves the component without a skin.
    void ReadSkinStream(std::span<const std::uint8_t> record);
    TMemoryStream& SkinStream() { return skinStream_; }

    // ---- loading ----
    // Decompresses the skin stream and parses it. False (the previous elements kept, the skin
    // missing) for an archive of another version, data that cannot be decoded, an archive
    // without its INI description, and a skin beyond a ceiling (its INI text or the pixels of
    // its pictures; see SkinPictures.h), which is refused with a message as the version is.
    bool LoadSkin();
    // Builds the object model from the INI that LoadSkin opened.
    void ParseSkin();
    // Makes this skin the one the skinned windows show (after a new skin was loaded).
    void ApplySkin();
    // An archive entry into bitmap; only ".bmp" names, and a bad or missing entry empties it.
    // Each entry is decoded once per load, and every bitmap it goes into shares that picture.
    void LoadSkinBitmap(TBitmap& bitmap, const std::string& name);
    static TColor ReadColor(std::string_view text, TColor defaultValue);

    void DoFormSkin(const std::string& className, bool& doSkin);
    void DoSkinChanged();
    void Loaded() override;

    // ---- the parsed skin ----
    bool SkinMissing() const { return skinMissing_; }
    // The skin has a caption strip to frame windows with, one that can serve (it shows, holds
    // its title and buttons and its close button lies within reach); otherwise windows keep their
    // own frame.
    bool HasFrame() const;
    // What the last load refused, left out or clamped, and why.
    const TSkinVerdict& Verdict() const { return verdict_; }
    const std::string& SkinName() const { return skinName_; }
    TDataSkinTitle Title{"Title"};
    TDataSkinButton Buttons{"Buttons"};
    std::array<TDataSkinObject, 4> Borders{TDataSkinObject{"Left"}, TDataSkinObject{"Right"}, TDataSkinObject{"Top"},
                                           TDataSkinObject{"Bottom"}};
    std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;

    std::unique_ptr<TDataSkinBorder> Progress;
    std::unique_ptr<TDataSkinObject> ProgressChunk;
    std::unique_ptr<TDataSkinObject> MenuBar;
    std::unique_ptr<TDataSkinObject> GroupBoxEdge;
    std::unique_ptr<TDataSkinBoxLabel> GroupBox;
    std::unique_ptr<TDataSkinBorder> Tabs;
    std::unique_ptr<TDataSkinObject> StatusBarEdges;
    std::unique_ptr<TDataSkinObject> TabPane;
    std::unique_ptr<TDataSkinObject> ToolBars;
    std::unique_ptr<TDataSkinBorder> ComboButton;
    std::unique_ptr<TDataSkinObject> SunkEdge;
    std::unique_ptr<TDataSkinObject> ExtraImages;
    std::unique_ptr<TDataSkinObject> Headerbar;
    std::unique_ptr<TDataSkinObject> MenuItem;
    std::unique_ptr<TDataSkinObject> MenuBackground;
    std::unique_ptr<TDataSkinObject> Scrollbar;
    std::unique_ptr<TDataSkinObject> HorzScroll;
    std::unique_ptr<TDataSkinObject> VertScroll;
    std::unique_ptr<TDataSkinObject> HorzScrollThumb;
    std::unique_ptr<TDataSkinObject> VertScrollThumb;
    std::unique_ptr<TDataSkinObject> TrackbarThumbHorz, TrackbarThumbVert, TrackbarThumbLeft, TrackbarThumbRight,
        TrackbarThumbUp, TrackbarThumbDown;
    std::unique_ptr<TDataSkinBorder> UpDownHorz, UpDownVert;
    std::unique_ptr<TDataSkinObject> Track, TrackVert;
    std::unique_ptr<TDataSkinObject> Toolbar;  // generated; kept across skins

    TSkinColours Colours{};
    std::vector<TColor> SectionColors;
    std::array<TColor, 10> CustomColors{};
    TColor FrameColor = clBtnFace;
    HBRUSH FaceBrush() const { return faceBrush_.Get(); }

    // Made when a skinned system menu first shows them: the image lists' library is not
    // loaded for a window that never opens one.
    HIMAGELIST MenuImages();
    TFont& CaptionFont() { return captionFont_; }
    TBitmap& AppIconBitmap() { return appIconBitmap_; }
    SIZE MaximizedSize() const { return maximizedSize_; }
    // The skin at a window's dpi: its pictures scaled once per scale, kept here and counted in
    // the skin's pixel budget with the pictures it decoded.
    TSkinScale ScaleAt(int dpi) { return TSkinScale{dpi, &scaledPictures_}; }
    // Changes whenever the elements are read anew: what is drawn from them and kept must be
    // drawn again.
    std::uint64_t Generation() const { return generation_; }
    // Makes the combo boxes' pictures (the sunken edge and the drop button in one strip, in
    // ComboButton, and its mirror in SunkEdge) from the skin's elements the first time a combo
    // box is drawn after a parse: most windows have none, and making them cost a few ms at start.
    void EnsureComboImages();
    TScaledSkinPictures& ScaledPictures() { return scaledPictures_; }
    bool NCPaintEnabled = true;

private:
    void ReadBorders();
    void ReadColours();
    void ReadSysButtons();
    void ReadButtons();
    void ReadTitle();
    void ReadSlots();
    void ApplyFrameCounts();
    void BuildMirroredComboButton();
    void BuildComboImages();
    void BuildToolbarImage();
    TColor SampleTopBorder() const;

    static void ApplyValues(TDataSkinObject& o, const TElementValues& values);
    // The slot's element anew from its values; none when they name no picture.
    template <class T>
    void MakeElement(std::unique_ptr<T>& slot, const TElementValues& values);
    // Shows why a skin is not used, or what of it is not (the verdict's message).
    void Refuse(const std::string& message);
    // A skin replaced at run time by one that cannot be used: Active goes off, and the windows
    // skinned from this component get their own look back (the listeners see to them).
    void GiveUpSkin();
    void Tell(TSkinDataChange change);
    void ReadElement(std::unique_ptr<TDataSkinObject>& slot, const std::string& section);
    void ReadTwoImage(std::unique_ptr<TDataSkinBorder>& slot, const std::string& section, const std::string& key);
    void ReadProgress(std::unique_ptr<TDataSkinBorder>& slot, const std::string& section);
    void ReadBoxLabel(std::unique_ptr<TDataSkinBoxLabel>& slot, const std::string& section);
    void ReadMenuBar(std::unique_ptr<TDataSkinObject>& slot);
    void MakeResourceElement(std::unique_ptr<TDataSkinObject>& slot, const char* name);
    std::int32_t Int(const std::string& section, const std::string& key, std::int32_t defaultValue) const;
    std::string Str(const std::string& section, const std::string& key) const;
    void BuildAppIconBitmap();
    void BuildCaptionFont();

    bool active_ = false;
    std::int32_t disableTag_ = 99;
    TSkinControlTypes skinControls_ = kDefaultSkinControls;
    TSkinOptions options_ = kDefaultSkinOptions;
    std::vector<std::u16string> skinClassMap_;
    std::u16string skinFile_;
    TSkinFormType skinFormType_ = sfMainform;
    bool menuUpdate_ = true;
    bool menuMerge_ = false;

    TMemoryStream skinStream_;
    bool skinMissing_ = true;
    TSkinVerdict verdict_;
    std::string skinName_;
    std::vector<std::string> sections_;
    TBrushHandle faceBrush_;
    TImageListHandle menuImages_;
    bool menuImagesTried_ = false;
    TFont captionFont_;
    TBitmap appIconBitmap_;
    SIZE maximizedSize_{};
    TScaledSkinPictures scaledPictures_;
    std::uint64_t generation_ = 0;
    bool comboImagesMade_ = false;

    // Open only while LoadSkin runs.
    const TSkinReader* reader_ = nullptr;
    const TQuickIni* ini_ = nullptr;
    const TSkinPictures* pictures_ = nullptr;
    std::unordered_map<std::size_t, std::unique_ptr<TBitmap>> decoded_;  // entry -> its picture
};

// Loads a bitmap resource of the program (RT_BITMAP) into bitmap through the bitmap file
// reader; false, with bitmap empty, when the program has no such resource or it is unreadable.
bool LoadBitmapResource(TBitmap& bitmap, const wchar_t* name);

}  // namespace qx
