// The accessible object that a framework window answers the platform with: the platform's
// standard object wrapped so that what the control paints itself is told too. The controls reach
// it only through the entry points in Accessible.h, so they need not know how it walks them.
#include "framework/Accessible.h"

#include "core/Accelerator.h"
#include "core/Text.h"
#include "framework/Controls.h"
#include "framework/ExtCtrls.h"

#include <oleacc.h>

#include <algorithm>
#include <vector>

namespace qx {

namespace {

// The platform's accessibility library, looked up on first need: a program that is never
// asked about its windows does not load it.
struct TOleAcc {
    decltype(&CreateStdAccessibleObject) createStd = nullptr;
    decltype(&LresultFromObject) lresult = nullptr;
    decltype(&AccessibleObjectFromWindow) fromWindow = nullptr;
    bool Ready() const { return createStd && lresult && fromWindow; }
};

// The system's copy only, never one beside the program; a system whose loader does not know
// the flag is given the full path.
HMODULE LoadSystemOleAcc() {
    HMODULE module = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH - 12);
    if (length == 0 || length >= MAX_PATH - 12) return nullptr;
    lstrcpyW(path + length, L"\\oleacc.dll");
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

const TOleAcc& OleAcc() {
    static const TOleAcc acc = [] {
        TOleAcc a;
        if (HMODULE module = LoadSystemOleAcc()) {
            a.createStd = reinterpret_cast<decltype(a.createStd)>(
                reinterpret_cast<void*>(GetProcAddress(module, "CreateStdAccessibleObject")));
            a.lresult = reinterpret_cast<decltype(a.lresult)>(
                reinterpret_cast<void*>(GetProcAddress(module, "LresultFromObject")));
            a.fromWindow = reinterpret_cast<decltype(a.fromWindow)>(
                reinterpret_cast<void*>(GetProcAddress(module, "AccessibleObjectFromWindow")));
        }
        return a;
    }();
    return acc;
}

// One child of a window's accessible object: a child window (told by its own object), a
// windowless control that describes itself, or a part of the window's own control (both told
// by the window's object, under a child number).
struct TChild {
    HWND window = nullptr;
    TControl* control = nullptr;
    int item = -1;
};

// Whether a window is a framework window that asks not to be read (it paints over another).
bool IsHiddenWindow(HWND window) {
    TWinControl* control = FindControl(window);
    if (!control) return false;
    TAccessibleInfo info;
    control->DescribeAccessible(info);
    return info.Hidden;
}

// The window's own parts, then the framework's controls in their order, then any child window
// the framework did not make (less those that ask not to be read).
std::vector<TChild> ChildrenOf(TWinControl* host) {
    std::vector<TChild> out;
    std::vector<TAccessibleItem> items;
    host->DescribeAccessibleItems(items);
    for (std::size_t i = 0; i < items.size(); ++i) out.push_back({nullptr, nullptr, static_cast<int>(i)});
    for (TControl* c : host->Controls()) {
        if (c->IsWindowed()) {
            auto* windowed = static_cast<TWinControl*>(c);
            if (windowed->HandleAllocated() && !IsHiddenWindow(windowed->Handle()))
                out.push_back({windowed->Handle(), nullptr});
            continue;
        }
        TAccessibleInfo info;
        c->DescribeAccessible(info);
        if (info.Role != 0) out.push_back({nullptr, c});
    }
    if (host->HandleAllocated())
        for (HWND w = GetWindow(host->Handle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            if (std::none_of(out.begin(), out.end(), [w](const TChild& c) { return c.window == w; }) &&
                !IsHiddenWindow(w))
                out.push_back({w, nullptr});
    return out;
}

HRESULT ToBstr(const std::u16string& text, BSTR* out) {
    *out = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

VARIANT SelfId() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

DWORD WindowlessState(const TControl* control, const TAccessibleInfo& info) {
    DWORD state = info.State;
    if (!control->Showing()) state |= STATE_SYSTEM_INVISIBLE;
    if (!control->Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
    return state;
}

// The accessible object of a framework window: the platform's standard one for it, with what
// the control says about itself laid over, and its windowless children added. It keeps no
// pointer to a control: each call finds the control through the window again, so a client
// holding the object after the window is gone gets errors, never a freed control.
class TAccessibleObject final : public IAccessible, public IOleWindow {
public:
    TAccessibleObject(HWND window, IAccessible* inner) : window_(window), inner_(inner) {}
    TAccessibleObject(const TAccessibleObject&) = delete;
    TAccessibleObject& operator=(const TAccessibleObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible))
            *out = static_cast<IAccessible*>(this);
        else if (riid == IID_IOleWindow)
            *out = static_cast<IOleWindow*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: clients use the interface's own methods; the platform marshals them from
    // its own type description.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return inner_->get_accParent(parent); }

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        TWinControl* host = Host();
        if (!host) return inner_->get_accChildCount(count);
        *count = static_cast<long>(ChildrenOf(host).size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        const TTarget t = Resolve(child);
        switch (t.kind) {
            case TKind::Window: return WindowObject(t.window, IID_IDispatch, reinterpret_cast<void**>(out));
            case TKind::Windowless:
            case TKind::Item: return S_FALSE;  // a simple element, told by this object
            case TKind::Self: return E_INVALIDARG;
            default: return E_INVALIDARG;
        }
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return Text(child, out, [](const TAccessibleInfo& i) { return i.Name; },
                    [](IAccessible* a, VARIANT v, BSTR* b) { return a->get_accName(v, b); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return Text(child, out, [](const TAccessibleInfo& i) { return i.Value; },
                    [](IAccessible* a, VARIANT v, BSTR* b) { return a->get_accValue(v, b); });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return Text(child, out, [](const TAccessibleInfo& i) { return i.DefaultAction; },
                    [](IAccessible* a, VARIANT v, BSTR* b) { return a->get_accDefaultAction(v, b); });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return Text(child, out, [](const TAccessibleInfo& i) { return i.KeyboardShortcut; },
                    [](IAccessible* a, VARIANT v, BSTR* b) { return a->get_accKeyboardShortcut(v, b); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return Text(child, out, [](const TAccessibleInfo&) { return std::optional<std::u16string>(); },
                    [](IAccessible* a, VARIANT v, BSTR* b) { return a->get_accDescription(v, b); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return Text(child, out, [](const TAccessibleInfo&) { return std::optional<std::u16string>(); },
                    [](IAccessible* a, VARIANT v, BSTR* b) { return a->get_accHelp(v, b); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        const TTarget t = Resolve(child);
        if (t.kind == TKind::Self) return inner_->get_accHelpTopic(file, child, topic);
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return t.kind == TKind::Invalid ? E_INVALIDARG : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        const TTarget t = Resolve(child);
        switch (t.kind) {
            case TKind::Self: {
                TAccessibleInfo info;
                if (!Describe(info) || info.Role == 0) return inner_->get_accRole(child, out);
                out->vt = VT_I4;
                out->lVal = info.Role;
                return S_OK;
            }
            case TKind::Window: return OnWindow(t.window, [out](IAccessible* a) { return a->get_accRole(SelfId(), out); });
            case TKind::Windowless: {
                TAccessibleInfo info;
                t.control->DescribeAccessible(info);
                out->vt = VT_I4;
                out->lVal = info.Role;
                return S_OK;
            }
            case TKind::Item:
                out->vt = VT_I4;
                out->lVal = t.item.Role;
                return S_OK;
            default: return E_INVALIDARG;
        }
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        const TTarget t = Resolve(child);
        switch (t.kind) {
            case TKind::Self: {
                const HRESULT hr = inner_->get_accState(child, out);
                TAccessibleInfo info;
                if (SUCCEEDED(hr) && out->vt == VT_I4 && Describe(info)) out->lVal |= static_cast<LONG>(info.State);
                return hr;
            }
            case TKind::Window: return OnWindow(t.window, [out](IAccessible* a) { return a->get_accState(SelfId(), out); });
            case TKind::Windowless: {
                TAccessibleInfo info;
                t.control->DescribeAccessible(info);
                out->vt = VT_I4;
                out->lVal = static_cast<LONG>(WindowlessState(t.control, info));
                return S_OK;
            }
            case TKind::Item:
                out->vt = VT_I4;
                out->lVal = static_cast<LONG>(t.item.State);
                return S_OK;
            default: return E_INVALIDARG;
        }
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return inner_->get_accFocus(out); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return inner_->get_accSelection(out); }

    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        const TTarget t = Resolve(child);
        switch (t.kind) {
            case TKind::Self: return inner_->accSelect(flags, child);
            case TKind::Window: return OnWindow(t.window, [flags](IAccessible* a) { return a->accSelect(flags, SelfId()); });
            case TKind::Windowless:
            case TKind::Item: return DISP_E_MEMBERNOTFOUND;  // a windowless part takes no focus of its own
            default: return E_INVALIDARG;
        }
    }

    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
        const TTarget t = Resolve(child);
        switch (t.kind) {
            case TKind::Self: return inner_->accLocation(x, y, w, h, child);
            case TKind::Window:
                return OnWindow(t.window, [=](IAccessible* a) { return a->accLocation(x, y, w, h, SelfId()); });
            case TKind::Windowless: {
                if (!x || !y || !w || !h) return E_POINTER;
                const POINT origin = t.control->Parent()->ClientToScreen(POINT{t.control->Left(), t.control->Top()});
                *x = origin.x;
                *y = origin.y;
                *w = t.control->Width();
                *h = t.control->Height();
                return S_OK;
            }
            case TKind::Item: {
                if (!x || !y || !w || !h) return E_POINTER;
                TWinControl* host = Host();
                if (!host) return E_INVALIDARG;
                const POINT origin = host->ClientToScreen(POINT{t.item.Bounds.left, t.item.Bounds.top});
                *x = origin.x;
                *y = origin.y;
                *w = t.item.Bounds.right - t.item.Bounds.left;
                *h = t.item.Bounds.bottom - t.item.Bounds.top;
                return S_OK;
            }
            default: return E_INVALIDARG;
        }
    }

    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        VariantInit(end);
        const TTarget t = Resolve(start);
        TWinControl* host = Host();
        if (t.kind == TKind::Invalid) return E_INVALIDARG;
        if (!host) return t.kind == TKind::Self ? inner_->accNavigate(direction, start, end) : E_INVALIDARG;
        const std::vector<TChild> children = ChildrenOf(host);
        const long n = static_cast<long>(children.size());
        long target = 0;
        if (t.kind == TKind::Self) {
            if (direction == NAVDIR_FIRSTCHILD) target = 1;
            else if (direction == NAVDIR_LASTCHILD) target = n;
            else return inner_->accNavigate(direction, start, end);
        } else if (direction == NAVDIR_NEXT) {
            target = start.lVal + 1;
        } else if (direction == NAVDIR_PREVIOUS) {
            target = start.lVal - 1;
        } else {
            return S_FALSE;
        }
        if (target < 1 || target > n) return S_FALSE;
        const TChild& c = children[static_cast<std::size_t>(target - 1)];
        if (c.control || c.item >= 0) {
            end->vt = VT_I4;
            end->lVal = target;
            return S_OK;
        }
        IDispatch* object = nullptr;
        const HRESULT hr = WindowObject(c.window, IID_IDispatch, reinterpret_cast<void**>(&object));
        if (FAILED(hr)) return hr;
        end->vt = VT_DISPATCH;
        end->pdispVal = object;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        const HRESULT hr = inner_->accHitTest(x, y, out);
        if (hr != S_OK || !out || out->vt != VT_I4 || out->lVal != CHILDID_SELF) return hr;
        // Over this window itself: a windowless child there is what the point shows (the
        // last painted is on top).
        if (TWinControl* host = Host()) {
            const POINT p = host->ScreenToClient(POINT{x, y});
            const std::vector<TChild> children = ChildrenOf(host);
            std::vector<TAccessibleItem> items;
            host->DescribeAccessibleItems(items);
            for (std::size_t i = children.size(); i-- > 0;) {
                const TChild& child = children[i];
                RECT r{};
                if (child.item >= 0 && child.item < static_cast<int>(items.size()))
                    r = items[static_cast<std::size_t>(child.item)].Bounds;
                else if (child.control && child.control->Visible())
                    r = child.control->BoundsRect();
                else
                    continue;
                if (PtInRect(&r, p)) {
                    out->lVal = static_cast<LONG>(i + 1);
                    break;
                }
            }
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const TTarget t = Resolve(child);
        switch (t.kind) {
            case TKind::Self: {
                TAccessibleInfo info;
                if (!Describe(info) || !info.DefaultAction) return inner_->accDoDefaultAction(child);
                Schedule(nullptr);
                return S_OK;
            }
            case TKind::Window: return OnWindow(t.window, [](IAccessible* a) { return a->accDoDefaultAction(SelfId()); });
            case TKind::Windowless: {
                TAccessibleInfo info;
                t.control->DescribeAccessible(info);
                if (!info.DefaultAction) return DISP_E_MEMBERNOTFOUND;
                Schedule(t.control);
                return S_OK;
            }
            case TKind::Item:
                if (!t.item.DefaultAction || (t.item.State & STATE_SYSTEM_UNAVAILABLE)) return DISP_E_MEMBERNOTFOUND;
                ScheduleItem(t.itemIndex);
                return S_OK;
            default: return E_INVALIDARG;
        }
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

private:
    ~TAccessibleObject() { inner_->Release(); }

    enum class TKind { Self, Window, Windowless, Item, Invalid };
    struct TTarget {
        TKind kind = TKind::Invalid;
        HWND window = nullptr;
        TControl* control = nullptr;
        TAccessibleItem item{};
        int itemIndex = -1;
    };

    TWinControl* Host() const {
        TWinControl* c = FindControl(window_);
        return c && c->HandleAllocated() && c->Handle() == window_ ? c : nullptr;
    }

    // What the window's control says of itself; false when the control is gone.
    bool Describe(TAccessibleInfo& info) const {
        TWinControl* host = Host();
        if (!host) return false;
        host->DescribeAccessible(info);
        return true;
    }

    TTarget Resolve(const VARIANT& child) const {
        if (child.vt != VT_I4) return {};
        if (child.lVal == CHILDID_SELF) return {TKind::Self};
        TWinControl* host = Host();
        if (!host) return {};
        const std::vector<TChild> children = ChildrenOf(host);
        if (child.lVal < 1 || child.lVal > static_cast<long>(children.size())) return {};
        const TChild& c = children[static_cast<std::size_t>(child.lVal - 1)];
        if (c.item >= 0) {
            std::vector<TAccessibleItem> items;
            host->DescribeAccessibleItems(items);
            if (c.item >= static_cast<int>(items.size())) return {};
            TTarget t{TKind::Item};
            t.item = items[static_cast<std::size_t>(c.item)];
            t.itemIndex = c.item;
            if (!host->Enabled()) t.item.State |= STATE_SYSTEM_UNAVAILABLE;
            if (!host->Showing()) t.item.State |= STATE_SYSTEM_INVISIBLE;
            return t;
        }
        return c.control ? TTarget{TKind::Windowless, nullptr, c.control} : TTarget{TKind::Window, c.window, nullptr};
    }

    static HRESULT WindowObject(HWND window, REFIID riid, void** out) {
        const TOleAcc& acc = OleAcc();
        if (!acc.Ready()) return E_FAIL;
        return acc.fromWindow(window, static_cast<DWORD>(OBJID_WINDOW), riid, out);
    }

    template <class Call>
    static HRESULT OnWindow(HWND window, Call call) {
        IAccessible* object = nullptr;
        HRESULT hr = WindowObject(window, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
        if (FAILED(hr) || !object) return FAILED(hr) ? hr : E_FAIL;
        hr = call(object);
        object->Release();
        return hr;
    }

    template <class Field, class Inner>
    HRESULT Text(const VARIANT& child, BSTR* out, Field field, Inner inner) {
        if (!out) return E_POINTER;
        *out = nullptr;
        const TTarget t = Resolve(child);
        switch (t.kind) {
            case TKind::Self: {
                TAccessibleInfo info;
                if (Describe(info))
                    if (const std::optional<std::u16string> text = field(info)) return ToBstr(*text, out);
                return inner(inner_, child, out);
            }
            case TKind::Window:
                return OnWindow(t.window, [&](IAccessible* a) { return inner(a, SelfId(), out); });
            case TKind::Windowless: {
                TAccessibleInfo info;
                t.control->DescribeAccessible(info);
                const std::optional<std::u16string> text = field(info);
                return text ? ToBstr(*text, out) : S_FALSE;
            }
            case TKind::Item: {
                // A part has a name and a default action, nothing else of these.
                TAccessibleInfo info;
                info.Name = t.item.Name;
                info.DefaultAction = t.item.DefaultAction;
                const std::optional<std::u16string> text = field(info);
                return text ? ToBstr(*text, out) : S_FALSE;
            }
            default: return E_INVALIDARG;
        }
    }

    // Runs the default action once the client's request has returned: a click may open a
    // modal box, which must not run inside another program's call.
    void Schedule(TControl* windowless) {
        const HWND window = window_;
        PostCall([window, windowless] {
            TWinControl* host = FindControl(window);
            if (!host) return;
            if (!windowless) {
                host->DoAccessibleAction();
                return;
            }
            const auto& controls = host->Controls();
            if (std::find(controls.begin(), controls.end(), windowless) != controls.end())
                windowless->DoAccessibleAction();
        });
    }

    void ScheduleItem(int index) {
        const HWND window = window_;
        PostCall([window, index] {
            if (TWinControl* host = FindControl(window)) host->DoAccessibleItemAction(index);
        });
    }

    LONG refs_ = 1;
    HWND window_;
    IAccessible* inner_;
};

}  // namespace

bool AnswerAccessibleObject(TWinControl* control, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT || !control->HandleAllocated()) return false;
    const TOleAcc& acc = OleAcc();
    if (!acc.Ready()) return false;
    const HWND window = control->Handle();
    IAccessible* inner = nullptr;
    if (FAILED(acc.createStd(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&inner))) || !inner)
        return false;
    auto* object = new TAccessibleObject(window, inner);
    result = acc.lresult(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
    object->Release();
    return true;
}

void NotifyAccessibleEvent(TControl* control, DWORD event) {
    if (!control || control->IsLoading()) return;
    if (control->IsWindowed()) {
        auto* windowed = static_cast<TWinControl*>(control);
        if (windowed->HandleAllocated()) NotifyWinEvent(event, windowed->Handle(), OBJID_CLIENT, CHILDID_SELF);
        return;
    }
    TWinControl* parent = control->Parent();
    if (!parent || !parent->HandleAllocated()) return;
    const std::vector<TChild> children = ChildrenOf(parent);
    for (std::size_t i = 0; i < children.size(); ++i)
        if (children[i].control == control) {
            NotifyWinEvent(event, parent->Handle(), OBJID_CLIENT, static_cast<LONG>(i + 1));
            return;
        }
}

void NotifyAccessibleItemEvent(TWinControl* control, int item, DWORD event) {
    // The parts come first among the object's children.
    if (!control || control->IsLoading() || !control->HandleAllocated() || item < 0) return;
    NotifyWinEvent(event, control->Handle(), OBJID_CLIENT, static_cast<LONG>(item + 1));
}

std::u16string AccessibleCaption(const std::u16string& caption) {
    return std::u16string(TrimControl(WithoutAccelerator(caption)));
}

std::u16string AccessibleShortcut(const std::u16string& caption) {
    const char16_t key = AcceleratorOf(caption);
    if (!key) return {};
    wchar_t upper = static_cast<wchar_t>(key);
    CharUpperBuffW(&upper, 1);
    return u"Alt+" + std::u16string(1, static_cast<char16_t>(upper));
}

}  // namespace qx
