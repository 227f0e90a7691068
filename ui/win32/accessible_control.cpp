#include "ui/win32/accessible_control.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

#include "base/win32/wide_string.h"

namespace zsetup::ui {
namespace {

LONG RoleOf(Kind kind) {
    switch (kind) {
    case Kind::PushButton:
    case Kind::ImageButton: return ROLE_SYSTEM_PUSHBUTTON;
    case Kind::CheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case Kind::LinkLabel: return ROLE_SYSTEM_LINK;
    case Kind::Edit:
    case Kind::TextBox: return ROLE_SYSTEM_TEXT;
    case Kind::ProgressBar: return ROLE_SYSTEM_PROGRESSBAR;
    case Kind::Picture: return ROLE_SYSTEM_GRAPHIC;
    case Kind::Bevel: return ROLE_SYSTEM_SEPARATOR;
    default: return ROLE_SYSTEM_STATICTEXT;
    }
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

WideString WindowText(HWND w) {
    WideString text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

class AccessibleControl final : public IAccessible {
public:
    using AllocString = BSTR(WINAPI*)(const OLECHAR*);
    AccessibleControl(HWND window, Kind kind, HWND label, AllocString alloc)
        : window_(window), kind_(kind), label_(label), alloc_(alloc) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
            IsEqualIID(iid, __uuidof(IAccessible))) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: clients use the IAccessible methods themselves.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: one object with no children.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
        if (!child) return E_POINTER;
        *child = nullptr;
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        if (!IsSelf(child)) return E_INVALIDARG;
        if (!IsWindow(window_)) return E_FAIL;
        if (kind_ == Kind::ProgressBar) return S_FALSE;
        const bool labelled = kind_ == Kind::Edit || kind_ == Kind::TextBox;
        if (labelled && !IsWindow(label_)) return S_FALSE;
        const WideString text = WindowText(labelled ? label_ : window_);
        return text.empty() ? S_FALSE : Text(text.c_str(), name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        if (!IsSelf(child)) return E_INVALIDARG;
        if (!IsWindow(window_)) return E_FAIL;
        if (kind_ == Kind::Edit || kind_ == Kind::TextBox) return Text(WindowText(window_).c_str(), value);
        if (kind_ != Kind::ProgressBar) return S_FALSE;
        PBRANGE range{};
        SendMessageW(window_, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        const auto at = static_cast<long long>(SendMessageW(window_, PBM_GETPOS, 0, 0));
        const long long span = static_cast<long long>(range.iHigh) - range.iLow;
        const long long percent = span > 0 ? (at - range.iLow) * 100 / span : 0;
        return Text((std::to_wstring(percent) + L"%").c_str(), value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* description) override {
        if (description) *description = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        VariantInitEmpty(role);
        if (!IsSelf(child)) return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = RoleOf(kind_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        VariantInitEmpty(state);
        if (!IsSelf(child)) return E_INVALIDARG;
        if (!IsWindow(window_)) return E_FAIL;
        LONG s = 0;
        if (!IsWindowVisible(window_)) s |= STATE_SYSTEM_INVISIBLE;
        if (!IsWindowEnabled(window_)) s |= STATE_SYSTEM_UNAVAILABLE;
        if (GetWindowLongW(window_, GWL_STYLE) & WS_TABSTOP) s |= STATE_SYSTEM_FOCUSABLE;
        if (GetFocus() == window_) s |= STATE_SYSTEM_FOCUSED;
        if (kind_ == Kind::CheckBox && SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED)
            s |= STATE_SYSTEM_CHECKED;
        if (kind_ == Kind::LinkLabel) s |= STATE_SYSTEM_LINKED;
        if (kind_ == Kind::TextBox || kind_ == Kind::Label || kind_ == Kind::ProgressBar) s |= STATE_SYSTEM_READONLY;
        state->vt = VT_I4;
        state->lVal = s;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        if (help) *help = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override {
        if (shortcut) *shortcut = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        VariantInitEmpty(focus);
        if (GetFocus() != window_) return S_FALSE;
        focus->vt = VT_I4;
        focus->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        VariantInitEmpty(selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!action) return E_POINTER;
        *action = nullptr;
        if (!IsSelf(child)) return E_INVALIDARG;
        switch (kind_) {
        case Kind::PushButton:
        case Kind::ImageButton: return Text(L"按下", action);
        case Kind::CheckBox:
            return Text(SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"清除" : L"选中", action);
        case Kind::LinkLabel: return Text(L"跳转", action);
        default: return S_FALSE;
        }
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        if (!IsSelf(child)) return E_INVALIDARG;
        if (!(flags & SELFLAG_TAKEFOCUS)) return S_FALSE;
        // Called on the window's own thread: COM brings a client's calls there.
        return SetFocus(window_) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        if (!IsSelf(child)) return E_INVALIDARG;
        RECT r;
        if (!GetWindowRect(window_, &r)) return E_FAIL;
        *left = r.left, *top = r.top, *width = r.right - r.left, *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT* end) override {
        if (end) VariantInitEmpty(end);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
        if (!hit) return E_POINTER;
        VariantInitEmpty(hit);
        RECT r;
        if (!GetWindowRect(window_, &r) || x < r.left || x >= r.right || y < r.top || y >= r.bottom) return S_FALSE;
        hit->vt = VT_I4;
        hit->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child)) return E_INVALIDARG;
        if (!IsWindowEnabled(window_)) return E_FAIL;
        switch (kind_) {
        case Kind::PushButton:
        case Kind::ImageButton:
        case Kind::CheckBox: PostMessageW(window_, BM_CLICK, 0, 0); return S_OK;
        case Kind::LinkLabel:
            PostMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), STN_CLICKED),
                         reinterpret_cast<LPARAM>(window_));
            return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
        }
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    static void VariantInitEmpty(VARIANT* v) {
        v->vt = VT_EMPTY;
        v->lVal = 0;
    }
    HRESULT Text(const wchar_t* text, BSTR* out) const {
        *out = alloc_(text);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    LONG references_ = 1;
    HWND window_;
    Kind kind_;
    HWND label_;  // an edit's or text box's label, or null
    AllocString alloc_;
};

}  // namespace

bool AccessibilityDlls::Load() {
    if (tried_) return lresult_from_object_ && sys_alloc_string_;
    tried_ = true;
    oleacc_ = LoadSystemDll(L"oleacc.dll");
    oleaut32_ = LoadSystemDll(L"oleaut32.dll");
    if (oleacc_)
        lresult_from_object_ = ModuleFunction<decltype(lresult_from_object_)>(oleacc_.get(), "LresultFromObject");
    if (oleaut32_) sys_alloc_string_ = ModuleFunction<decltype(sys_alloc_string_)>(oleaut32_.get(), "SysAllocString");
    return lresult_from_object_ && sys_alloc_string_;
}

LRESULT AccessibilityDlls::Answer(HWND control, Kind kind, HWND label, WPARAM wparam) {
    if (!Load()) return 0;
    auto* object = new AccessibleControl(control, kind, label, sys_alloc_string_);
    const LRESULT answer = lresult_from_object_(__uuidof(IAccessible), wparam, static_cast<IAccessible*>(object));
    object->Release();  // the answer holds its own reference
    return answer < 0 ? 0 : answer;
}

}  // namespace zsetup::ui
