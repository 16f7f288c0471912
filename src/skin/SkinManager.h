// The skin manager: the single object that decides which windows of the program are skinned
// and when, and the one owner of every skinner (form and control) in a table keyed by window.
// It watches window creation, activation and destruction on the main thread through a
// computer-based-training hook, and runs start, stop and refresh commands on a short timer so
// that they happen outside the message that asked for them.
#pragma once
#include "framework/Component.h"
#include "framework/ExtCtrls.h"
#include "skin/SkinMessages.h"
#include "skin/Skinner.h"
#include "skin/SkinnerOwner.h"
#include "skin/WindowNames.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qx {

class TSkinData;
class TSkinForm;
class TSkinPopupMenu;
class TCustomForm;

class TSkinManager : public TComponent, public TSkinnerOwner {
public:
    // The newest manager is the one skinners report to (SkinManager()) until it goes; a test
    // makes its own for its duration.
    TSkinManager();
    ~TSkinManager() override;

    // ---- ownership: one table from window to skinner (Own and Find of a window: the owner's) ----
    using TSkinnerOwner::Find;
    TSkinner* Find(TSkinKey key) const override;
    bool Owns(const TSkinner* skinner) const override;
    std::size_t SkinnerCount() const { return table_.size(); }
    void Free(TSkinner* skinner) override;
    void Forget(TSkinner* skinner) override;

    // ---- skin data components ----
    void AddSkinData(TSkinData* skinData);
    void RemoveSkinData(TSkinData* skinData);
    const std::vector<TSkinData*>& SkinDataList() const { return skinDataList_; }
    TSkinData* MainSkinData() const { return mainSkinData_; }
    TSkinData* CurrentSkinData() const { return currentSkinData_; }
    void SetCurrentSkinData(TSkinData* skinData) { currentSkinData_ = skinData; }
    // The skin data that applies to a window, or none.
    TSkinData* FindSkinDataFor(HWND window) const;
    bool CanSkinClass(const std::string& className) const;

    // ---- windows ----
    void InstallHooks();
    bool HooksInstalled() const { return hook_ != nullptr; }
    // Skins a top-level or MDI window when every rule allows it; true when a form skinner was made.
    bool SkinWindow(HWND window);
    // A framework form: skipped (true) when invisible or a child window.
    bool SkinForm(TCustomForm* form);
    TSkinForm* FindSkinForm(HWND window) const;
    const std::vector<TSkinForm*>& FormSkinners() const { return formSkinners_; }
    // Every form skinner of the current skin data lets go of its caption-button objects.
    void DropCaptionButtons();
    // Drops form skinners whose window has gone without telling them.
    void PurgeDeadForms();
    void PurgeClosed();

    // ---- popup menus ----
    // A popup menu window is being made: skins it when skinning is on and its kind's family
    // (PopupKind) is skinned.
    void SkinPopupMenu(HWND window);
    // The popup menu window goes: true when it had a skinner.
    bool UnskinPopupMenu(HWND window);
    bool IsPopupSkinned(HWND window) const;
    const std::vector<TSkinPopupMenu*>& PopupSkinners() const { return popupSkinners_; }
    // The skinner of the popup window that shows menu, or none: owner-drawn items take their
    // background from it.
    TSkinPopupMenu* PopupShowing(HMENU menu) const override;
    // Lets go of every popup menu (skinning stops).
    void FreePopupSkinners();

    // ---- commands ----
    // Runs command after delay milliseconds on the timer; before any window was activated a
    // start or stop only switches skinning on or off.
    void QueueCommand(TSkinCommand command, int delay);
    TSkinCommand PendingCommand() const { return pendingCommand_; }
    bool CommandQueued() const { return timer_ && timer_->Enabled(); }
    void ExecuteCommand();

    // ---- state ----
    bool SkinningOn() const override { return skinningOn_; }
    void SetSkinningOn(bool on) { skinningOn_ = on; }
    bool ForceSkin() const { return forceSkin_; }
    TManagerState State() const override { return state_; }
    void SetState(TManagerState state) override { state_ = state; }
    TPopupKind PopupKind() const { return popupKind_; }
    void SetPopupKind(TPopupKind kind) override { popupKind_ = kind; }
    bool MenuBarPopup() const { return menuBarPopup_; }
    void SetMenuBarPopup(bool value) override { menuBarPopup_ = value; }
    bool MDIChildMaximized() const override { return mdiChildMaximized_; }
    void SetMDIChildMaximized(bool value) override;
    HWND MDIClient() const override { return mdiClient_; }
    // Asks the recorded MDI client to redraw its frame with all children; only a living MDI
    // client is asked (a message posted to no window would go to the thread instead).
    void RedrawMdiClient(HWND child) override;
    TCustomForm* MDIFrameForm() const { return mdiFrameForm_; }
    void SetMDIFrame(HWND client, TCustomForm* frameForm) override {
        mdiClient_ = client;
        mdiFrameForm_ = frameForm;
    }
    // The skin data goes: every skinner that draws from it lets go first.
    void SkinDataGoing(TSkinData* skinData);

private:
    // The dpi a popup menu window is drawn at.
    int PopupDpi(HWND popup) const;

    void Adopt(std::unique_ptr<TSkinner> skinner, TSkinKey key) override;
    std::unique_ptr<TSkinner> Take(TSkinner* skinner);
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    void OnCbt(int code, WPARAM wParam, LPARAM lParam);
    // Gives a form skinner's window its own frame back, repaints it and frees the skinner.
    void UnskinAndFree(TSkinForm* form);

    std::map<TSkinKey, std::unique_ptr<TSkinner>> table_;
    std::vector<TSkinForm*> formSkinners_;  // in the order they were made
    std::vector<TSkinPopupMenu*> popupSkinners_;  // in the order they were made
    std::vector<TSkinData*> skinDataList_;
    TTimer* timer_ = nullptr;  // owned as a component
    HHOOK hook_ = nullptr;
    bool skinningOn_ = false;
    bool forceSkin_ = false;
    TManagerState state_ = msIdle;
    TPopupKind popupKind_ = pkPopup;
    bool menuBarPopup_ = false;
    bool mdiChildMaximized_ = false;
    HWND mdiClient_ = nullptr;
    TCustomForm* mdiFrameForm_ = nullptr;
    TSkinCommand pendingCommand_ = scNone;
    TSkinData* currentSkinData_ = nullptr;
    TSkinData* mainSkinData_ = nullptr;
    TSkinManager* previous_ = nullptr;
};

// The program's manager, or none before the first skin data component is loaded.
TSkinManager* SkinManager();
// The program's manager, made when there is none; it lives until the program ends.
TSkinManager& EnsureSkinManager();

// Makes the program's manager follow every skin data component: the components tell what
// changed, and the manager (made for the first that loads) skins, refreshes and unskins the
// windows. Part of registering the skin classes.
void FollowSkinData();

}  // namespace qx
