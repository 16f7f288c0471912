#include "skin/SkinManager.h"


#include "core/MenuRules.h"
#include "core/TimedSteps.h"
#include "framework/Forms.h"
#include "framework/WindowDpi.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"
#include "skin/SkinPopupMenu.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace qx {

namespace {

TSkinManager* g_manager = nullptr;

// The program's own manager: made on demand, freed when the program ends.
std::unique_ptr<TSkinManager>& ProgramManager() {
    static std::unique_ptr<TSkinManager> manager;
    return manager;
}

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

}  // namespace

std::string LowerAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string WindowClassName(HWND window) {
    wchar_t name[101] = {};
    const int n = window ? GetClassNameW(window, name, 101) : 0;
    std::string out;
    for (int i = 0; i < n; ++i) out.push_back(name[i] < 0x80 ? static_cast<char>(name[i]) : '?');
    return out;
}

TSkinManager* SkinManager() { return g_manager; }

TSkinManager& EnsureSkinManager() {
    if (!g_manager) ProgramManager() = std::make_unique<TSkinManager>();
    return *g_manager;
}

TSkinnerOwner* SkinnerOwner() { return g_manager; }

TSkinnerOwner& EnsureSkinnerOwner() { return EnsureSkinManager(); }

namespace {

// What a skin data component's changes mean for the windows, told to the program's manager of
// the moment (a test's own while it lives); the program's own is made when a component first
// needs one.
class TSkinDataFollower final : public TSkinDataListener {
public:
    void SkinDataChanged(TSkinData& data, TSkinDataChange change) override {
        switch (change) {
            case TSkinDataChange::Loaded: Loaded(data); return;
            case TSkinDataChange::SwitchedOn:
            case TSkinDataChange::SwitchedOff: {
                const bool on = change == TSkinDataChange::SwitchedOn;
                TSkinManager& manager = EnsureSkinManager();
                manager.SetCurrentSkinData(&data);
                manager.QueueCommand(on ? scStart : scStop, 250);
                if (on && data.SkinFormtype() == sfMainform) manager.SetState(msRunning);
                return;
            }
            case TSkinDataChange::SwitchOnRefused:
                // A component that skins only its own form is still the one commands are about.
                if (data.SkinFormtype() == sfOnlyThisForm) EnsureSkinManager().SetCurrentSkinData(&data);
                return;
            case TSkinDataChange::SkinApplied: {
                if (!SkinManager()) data.Loaded();
                TSkinManager& manager = EnsureSkinManager();
                manager.SetCurrentSkinData(&data);
                // Caption-button objects point at the elements of the previous parse.
                manager.DropCaptionButtons();
                if (manager.State() == msRunning) manager.QueueCommand(scRefresh, 250);
                return;
            }
            case TSkinDataChange::SkinLostWhileOn:
            case TSkinDataChange::SkinLostWhileOff: {
                TSkinManager* manager = SkinManager();
                if (!manager) return;
                bool inUse = change == TSkinDataChange::SkinLostWhileOn;
                for (TSkinForm* form : manager->FormSkinners()) inUse = inUse || form->SkinData() == &data;
                if (!inUse) return;
                // As switching off does: every window skinned from the component gets its own look back.
                manager->SetCurrentSkinData(&data);
                manager->QueueCommand(scStop, 250);
                return;
            }
            case TSkinDataChange::Going:
                if (TSkinManager* manager = SkinManager()) manager->RemoveSkinData(&data);
                return;
        }
    }

private:
    static void Loaded(TSkinData& data) {
        TSkinManager& manager = EnsureSkinManager();
        manager.AddSkinData(&data);
        if (data.SkinFormtype() != sfMainform) {
            manager.SetSkinningOn(true);
            if (manager.State() == msIdle) manager.SetState(msRunning);
            if (auto* form = dynamic_cast<TCustomForm*>(data.Owner()); form && form->HandleAllocated())
                manager.SkinWindow(form->Handle());
            return;
        }
        manager.InstallHooks();
        if (data.Active()) {
            manager.SetCurrentSkinData(&data);
            manager.QueueCommand(scStart, 250);
        }
    }
};

}  // namespace

void FollowSkinData() {
    // Never destroyed: a component may go after the program's statics.
    static TSkinDataFollower* const follower = new TSkinDataFollower;
    TSkinData::Subscribe(follower);
}

TSkinManager::TSkinManager() : TComponent(nullptr), previous_(g_manager) {
    g_manager = this;
    timer_ = new TTimer(this);
    timer_->SetEnabled(false);
    timer_->SetInterval(250);
    timer_->OnTimer = [this](TObject*) { ExecuteCommand(); };
}

TSkinManager::~TSkinManager() {
    state_ = msDestroying;
    skinningOn_ = false;
    if (hook_) {
        UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
    }
    timer_->SetEnabled(false);
    popupSkinners_.clear();
    // Every window keeps its size: the program is ending, or the windows go with the manager.
    for (TSkinForm* form : std::vector<TSkinForm*>(formSkinners_)) {
        if (!Owns(form)) continue;
        form->DetachAtDestroy();
        Forget(form);
    }
    while (!table_.empty()) {
        auto it = table_.begin();
        std::unique_ptr<TSkinner> skinner = std::move(it->second);
        table_.erase(it);
        skinner->Release();
        skinner.reset();
    }
    if (g_manager == this) g_manager = previous_;
}

// ---- ownership ---------------------------------------------------------------------------------

void TSkinManager::Adopt(std::unique_ptr<TSkinner> skinner, TSkinKey key) {
    if (auto it = table_.find(key); it != table_.end() && it->second.get() != skinner.get()) Free(it->second.get());
    if (auto* form = dynamic_cast<TSkinForm*>(skinner.get())) formSkinners_.push_back(form);
    if (auto* popup = dynamic_cast<TSkinPopupMenu*>(skinner.get())) popupSkinners_.push_back(popup);
    table_[key] = std::move(skinner);
}

TSkinner* TSkinManager::Find(TSkinKey key) const {
    auto it = table_.find(key);
    return it == table_.end() ? nullptr : it->second.get();
}

bool TSkinManager::Owns(const TSkinner* skinner) const {
    if (!skinner) return false;
    return std::any_of(table_.begin(), table_.end(), [skinner](const auto& e) { return e.second.get() == skinner; });
}

std::unique_ptr<TSkinner> TSkinManager::Take(TSkinner* skinner) {
    for (auto it = table_.begin(); it != table_.end(); ++it) {
        if (it->second.get() != skinner) continue;
        std::unique_ptr<TSkinner> owned = std::move(it->second);
        table_.erase(it);
        formSkinners_.erase(std::remove(formSkinners_.begin(), formSkinners_.end(), skinner), formSkinners_.end());
        popupSkinners_.erase(std::remove(popupSkinners_.begin(), popupSkinners_.end(), skinner), popupSkinners_.end());
        if (popupSkinners_.empty()) {
            menuBarPopup_ = false;
            popupKind_ = pkPopup;
        }
        return owned;
    }
    return nullptr;
}

void TSkinManager::Free(TSkinner* skinner) {
    std::unique_ptr<TSkinner> owned = Take(skinner);
    if (!owned) return;
    owned->Release();
    DisposeSkinner(std::move(owned));
}

void TSkinManager::Forget(TSkinner* skinner) { DisposeSkinner(Take(skinner)); }

// ---- skin data -----------------------------------------------------------------------------

void TSkinManager::AddSkinData(TSkinData* skinData) {
    if (std::find(skinDataList_.begin(), skinDataList_.end(), skinData) != skinDataList_.end()) return;
    skinDataList_.push_back(skinData);
    if (!mainSkinData_ && skinData->SkinFormtype() == sfMainform) mainSkinData_ = skinData;
}

void TSkinManager::RemoveSkinData(TSkinData* skinData) {
    SkinDataGoing(skinData);
    skinDataList_.erase(std::remove(skinDataList_.begin(), skinDataList_.end(), skinData), skinDataList_.end());
    if (mainSkinData_ == skinData) mainSkinData_ = nullptr;
    if (currentSkinData_ == skinData) currentSkinData_ = nullptr;
}

void TSkinManager::SkinDataGoing(TSkinData* skinData) {
    // Skinners only borrow the skin; none may outlive it. A form that is going with its skin
    // data is only let go: giving it its own frame back would only flash before it closes.
    const bool ending = skinData->Owner() && skinData->Owner()->IsDestroying();
    for (TSkinForm* form : std::vector<TSkinForm*>(formSkinners_)) {
        if (form->SkinData() != skinData || !Owns(form)) continue;
        if (ending)
            form->DetachAtDestroy();
        else
            form->Unskin();
        Free(form);
    }
}

TSkinData* TSkinManager::FindSkinDataFor(HWND window) const {
    TSkinData* found = nullptr;
    for (TSkinData* data : skinDataList_) {
        auto* owner = dynamic_cast<TWinControl*>(data->Owner());
        if (data->SkinFormtype() == sfOnlyThisForm && owner && owner->HandleAllocated() && owner->Handle() == window)
            found = data;
    }
    if (found) return found;
    const std::string cls = LowerAscii(WindowClassName(window));
    if (cls == "tmessageform" || cls == "#32770")
        for (TSkinData* data : skinDataList_)
            if (data->SkinFormtype() == sfDialog) found = data;
    if (found) return found;
    for (TSkinData* data : skinDataList_)
        if (data->SkinFormtype() == sfMainform) found = data;
    if (found) return found;
    return skinDataList_.empty() ? nullptr : skinDataList_.front();
}

namespace {

// Top-level windows by the exact name of their class: some never get a form skinner, preview
// windows get one only when the main skin data asks for it (its xoPreview option).
enum class TFormExclusion : std::uint8_t { None, Always, Preview };

struct TFormExclusionRule {
    std::string_view Class;
    TFormExclusion Exclusion;
};

constexpr TFormExclusionRule kFormExclusions[] = {
    {"TApplication", TFormExclusion::Always},           // the framework's hidden application window
    {"TPopupEditPopupWindow", TFormExclusion::Always},  // an edit's drop-down, drawn by its edit
    {"TPreviewForm", TFormExclusion::Preview},          // Skin Preview's window
};

TFormExclusion FormExclusionFor(std::string_view className) {
    for (const TFormExclusionRule& rule : kFormExclusions)
        if (rule.Class == className) return rule.Exclusion;
    return TFormExclusion::None;
}

}  // namespace

bool TSkinManager::CanSkinClass(const std::string& className) const {
    if (!mainSkinData_) return true;
    bool result = FormExclusionFor(className) != TFormExclusion::Preview ||
                  (mainSkinData_->Options() & SkinOptionBit(xoPreview)) != 0;
    mainSkinData_->DoFormSkin(className, result);
    return result;
}

// ---- windows -------------------------------------------------------------------------------

void TSkinManager::InstallHooks() {
    if (hook_) return;
    hook_ = SetWindowsHookExW(WH_CBT, &TSkinManager::CbtHook, nullptr, GetCurrentThreadId());
}

LRESULT CALLBACK TSkinManager::CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    TSkinManager* manager = g_manager;
    if (code >= 0 && manager) {
        try {
            TTimedStep step(code == HCBT_CREATEWND ? "skin manager's hook: creation" : "skin manager's hook: other");
            manager->OnCbt(code, wParam, lParam);
        } catch (...) {
            // Window creation and activation go on whatever the skin engine met.
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TSkinManager::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    switch (code) {
        case HCBT_CREATEWND: {
            const CBT_CREATEWNDW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
            const CREATESTRUCTW* cs = create ? create->lpcs : nullptr;
            if (!cs) return;
            const std::string cls = LowerAscii(WindowClassName(window));
            if (cls == "scrollbar" && (cs->style & SBS_SIZEGRIP))
                if (TSkinForm* parent = FindSkinForm(cs->hwndParent)) parent->ChildDispatch().DispatchWindow(window);
            if (cls == "#32768" && !(cs->style & WS_CHILD)) SkinPopupMenu(window);
            if (cs->dwExStyle & WS_EX_MDICHILD) SkinWindow(window);
            return;
        }
        case HCBT_DESTROYWND: UnskinPopupMenu(window); return;
        case HCBT_ACTIVATE:
            if (state_ == msIdle) state_ = msRunning;
            SkinWindow(window);
            return;
        default: return;
    }
}

namespace {

TControl* FindForm(HWND window) {
    for (TCustomForm* form : Screen.Forms())
        if (form->HandleAllocated() && form->Handle() == window) return form;
    return FindControl(window);
}

bool IsMdiClientChild(HWND window) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE), ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(style & WS_CHILD) || (ex & WS_EX_MDICHILD)) return false;
    return LowerAscii(WindowClassName(GetParent(window))) == "mdiclient";
}

}  // namespace

bool TSkinManager::SkinWindow(HWND window) {
    if (!skinningOn_ || !window || !IsWindow(window)) return false;
    PurgeDeadForms();
    if (FindSkinForm(window) || SendMessageW(window, WM_SKINNEDQUERY, 0, 0) == 1) return false;
    TControl* control = FindForm(window);
    if (!forceSkin_ && IsMdiClientChild(window)) return false;
    const std::string cls = WindowClassName(window);
    const bool ours = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)) == ModuleInstance();
    if (!control && !ours && cls != "#32770") return false;
    RECT r{};
    GetWindowRect(window, &r);
    const bool mdiChild = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
    if ((r.right - r.left) * (r.bottom - r.top) == 0 && !mdiChild) return false;
    if (control && control->Tag() == kNeverSkinTag) return false;
    if (FormExclusionFor(cls) == TFormExclusion::Always) return false;
    if (!CanSkinClass(cls)) return false;
    TSkinData* skinData = FindSkinDataFor(window);
    if (!skinData || skinData->SkinMissing()) return false;

    TTimedStep step("form skinner attached");
    TSkinForm* form = Own(std::make_unique<TSkinForm>(window), TSkinKey{window, nullptr});
    if (auto* framework = dynamic_cast<TCustomForm*>(control))
        form->AttachForm(skinData, framework);
    else
        form->AttachWindow(skinData);
    PostMessageW(window, WM_SKINSTART, 0, kSkinStartKey);
    return true;
}

bool TSkinManager::SkinForm(TCustomForm* form) {
    if (!form || !form->Visible() || !form->HandleAllocated()) return true;
    // Child windows are skinned by their form, except MDI children, which have frames of their
    // own (and are skinned again when skinning starts anew).
    const HWND window = form->Handle();
    if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) && !(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_MDICHILD))
        return true;
    return SkinWindow(window);
}

TSkinForm* TSkinManager::FindSkinForm(HWND window) const {
    if (!window) return nullptr;
    for (TSkinForm* form : formSkinners_)
        if (form->Handle() == window) return form;
    return nullptr;
}

void TSkinManager::DropCaptionButtons() {
    for (TSkinForm* form : formSkinners_)
        if (form->SkinData() == currentSkinData_) form->DropCaptionButtons();
}

void TSkinManager::PurgeDeadForms() {
    if (state_ == msDestroying) return;
    std::vector<TSkinForm*> dead;
    for (auto it = formSkinners_.rbegin(); it != formSkinners_.rend(); ++it)
        if (!IsWindow((*it)->Handle())) dead.push_back(*it);
    for (TSkinForm* form : dead) {
        form->DetachAtDestroy();
        Forget(form);
    }
}

void TSkinManager::PurgeClosed() {
    for (TSkinForm* form : std::vector<TSkinForm*>(formSkinners_))
        if (form->Life() == TSkinnerLife::Destroyed || !IsWindow(form->Handle())) Forget(form);
}

void TSkinManager::UnskinAndFree(TSkinForm* form) {
    // The window is invalidated whole as it is given back, and painted once by its next paint.
    {
        TTimedStep step("form unskinned");
        form->Unskin();
    }
    TTimedStep step("form skinner freed");
    Free(form);
}

// ---- popup menus ---------------------------------------------------------------------------

void TSkinManager::SkinPopupMenu(HWND window) {
    if (!skinningOn_ || !window) return;
    if (IsPopupSkinned(window) || SendMessageW(window, WM_SKINNEDQUERY, 0, 0) == 1) return;
    TSkinData* skinData = FindSkinDataFor(window);
    if (!skinData || skinData->SkinMissing()) return;
    const TSkinControlTypes has = skinData->SkinControls();
    const TPopupFamilies families{(has & SkinControlBit(xcPopupMenu)) != 0, (has & SkinControlBit(xcMainMenu)) != 0,
                                  (has & SkinControlBit(xcMenuItem)) != 0, (has & SkinControlBit(xcSystemMenu)) != 0};
    if (!PopupKindSkinned(popupKind_, families)) return;
    TSkinPopupMenu* popup = Own(std::make_unique<TSkinPopupMenu>(), TSkinKey{window, nullptr});
    popup->AttachPopup(window, skinData, PopupDpi(window));
}

int TSkinManager::PopupDpi(HWND popup) const {
    // A menu opens for the thread's active window; it is drawn at that window's scale, which
    // its items are measured at too.
    const HWND owner = GetActiveWindow();
    if (TSkinForm* form = owner ? FindSkinForm(owner) : nullptr) return form->Dpi();
    return WindowDpi(owner ? owner : popup);
}

bool TSkinManager::UnskinPopupMenu(HWND window) {
    for (TSkinPopupMenu* popup : popupSkinners_)
        if (popup->Window() == window) {
            Free(popup);
            return true;
        }
    return false;
}

bool TSkinManager::IsPopupSkinned(HWND window) const {
    return std::any_of(popupSkinners_.begin(), popupSkinners_.end(),
                       [window](const TSkinPopupMenu* p) { return p->Window() == window; });
}

TSkinPopupMenu* TSkinManager::PopupShowing(HMENU menu) const {
    if (!menu) return nullptr;
    for (TSkinPopupMenu* popup : popupSkinners_)
        if (popup->Attached() && popup->Menu() == menu) return popup;
    return nullptr;
}

void TSkinManager::FreePopupSkinners() {
    while (!popupSkinners_.empty()) Free(popupSkinners_.back());
}

// ---- commands ------------------------------------------------------------------------------

void TSkinManager::QueueCommand(TSkinCommand command, int delay) {
    pendingCommand_ = command;
    timer_->SetInterval(delay);
    if (state_ != msIdle) {
        timer_->SetEnabled(true);
        return;
    }
    // Nothing has been activated yet: skinning begins with the first activation.
    if (command == scStart)
        skinningOn_ = true;
    else if (command == scStop)
        skinningOn_ = false;
}

void TSkinManager::ExecuteCommand() {
    timer_->SetEnabled(false);
    TSkinData* data = currentSkinData_;
    if (!data) return;
    TSkinCommand command = pendingCommand_;
    pendingCommand_ = scNone;
    // A skin that cannot be used is never used to skin: starting or refreshing with it stops.
    if (data->SkinMissing() && (command == scStart || command == scRefresh)) command = scStop;
    auto formOf = [data](TCustomForm* f) {
        for (TComponent* c : f->Components())
            if (c == data) return true;
        return false;
    };
    if (data->SkinFormtype() == sfOnlyThisForm) {
        switch (command) {
            case scStart: {
                skinningOn_ = forceSkin_ = true;
                const auto& forms = Screen.Forms();
                for (auto it = forms.rbegin(); it != forms.rend(); ++it)
                    if (formOf(*it)) {
                        SkinForm(*it);
                        break;
                    }
                forceSkin_ = false;
                break;
            }
            case scStop:
                skinningOn_ = false;
                PurgeDeadForms();
                for (auto it = formSkinners_.rbegin(); it != formSkinners_.rend(); ++it)
                    if ((*it)->SkinData() == data) {
                        UnskinAndFree(*it);
                        break;
                    }
                break;
            case scRefresh:
                PurgeDeadForms();
                for (TSkinForm* form : formSkinners_)
                    if (form->SkinData() == data) {
                        form->DropCaptionButtons();
                        form->MeasureFrame();
                        SendMessageW(form->Handle(), WM_SKINCHANGED, 0, 0);
                        break;
                    }
                break;
            case scPurge: PurgeClosed(); break;
            default: break;
        }
    } else {
        switch (command) {
            case scStart: {
                skinningOn_ = forceSkin_ = true;
                PurgeDeadForms();
                const std::vector<TCustomForm*> forms = Screen.Forms();
                for (auto it = forms.rbegin(); it != forms.rend(); ++it) SkinForm(*it);
                forceSkin_ = false;
                break;
            }
            case scStop:
                skinningOn_ = false;
                PurgeDeadForms();
                while (!formSkinners_.empty()) UnskinAndFree(formSkinners_.front());
                FreePopupSkinners();
                break;
            case scRefresh: {
                PurgeDeadForms();
                std::vector<TSkinForm*> forms;
                for (TSkinForm* form : formSkinners_)
                    if (form->SkinData() == data) forms.push_back(form);
                for (TSkinForm* form : forms) {
                    form->DropCaptionButtons();
                    form->MeasureFrame();
                }
                for (TSkinForm* form : forms) SendMessageW(form->Handle(), WM_SKINCHANGED, 0, 0);
                break;
            }
            case scPurge: PurgeClosed(); break;
            default: break;
        }
    }
    data->DoSkinChanged();
    currentSkinData_ = nullptr;
}

// ---- MDI -----------------------------------------------------------------------------------

void TSkinManager::SetMDIChildMaximized(bool value) {
    if (value == mdiChildMaximized_) return;
    mdiChildMaximized_ = value;
    // The frame's menu bar shows or hides the maximized child's buttons.
    RedrawMdiClient(nullptr);
    if (mainSkinData_ && (mainSkinData_->Options() & SkinOptionBit(xoMDIChildBorder))) return;
    for (TSkinForm* form : std::vector<TSkinForm*>(formSkinners_))
        if (form->MdiKind() == mkChild) form->MdiChildMaximizedChanged(value);
}

void TSkinManager::RedrawMdiClient(HWND child) {
    const HWND client = mdiClient_;
    if (!client || !IsWindow(client) || LowerAscii(WindowClassName(client)) != "mdiclient") return;
    PostMessageW(client, WM_SKINREDRAWMDI, reinterpret_cast<WPARAM>(child), 0);
}

}  // namespace qx
