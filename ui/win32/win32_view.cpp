#include "ui/win32/win32_view.h"

#include <stdexcept>
#include <utility>

#include "base/win32/win32_error.h"
#include "text/win32/wide_text.h"
#include "ui/button_look.h"
#include "ui/control_ids.h"
#include "ui/tab_order.h"
#include "ui/win32/button_painter.h"

namespace zsetup::ui {

namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

struct ChildClass {
    const wchar_t* name;
    DWORD style;
    DWORD ex_style;
};

ChildClass ClassOf(const Widget& w) {
    const DWORD text = SS_NOPREFIX;  // captions are shown byte for byte: no '&' mnemonics
    switch (w.kind()) {
    case Kind::Panel:
    case Kind::PageControl:
    case Kind::Page: return {kContainerClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case Kind::Label: return {L"STATIC", text | (w.word_wrap ? SS_LEFT : SS_LEFTNOWORDWRAP), 0};
    case Kind::LinkLabel: return {L"STATIC", text | SS_LEFTNOWORDWRAP | SS_NOTIFY | WS_TABSTOP, 0};
    case Kind::Edit: return {L"EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0};
    case Kind::TextBox:
        return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0};
    case Kind::ProgressBar: return {PROGRESS_CLASSW, PBS_SMOOTH, 0};
    case Kind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case Kind::Picture: return {L"STATIC", SS_OWNERDRAW, 0};
    case Kind::Bevel: return {L"STATIC", SS_ETCHEDHORZ, 0};
    case Kind::PushButton:
    case Kind::ImageButton: return {L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0};  // drawn in the theme
    case Kind::Form: break;
    }
    throw std::logic_error("a form cannot be the child " + w.name());
}

COLORREF SystemWindowColour() { return GetSysColor(COLOR_WINDOW); }

bool HasFocusWithin(HWND w) {
    HWND focus = GetFocus();
    return focus && (focus == w || IsChild(w, focus));
}

}  // namespace

Win32View::Win32View(Form& form, ViewOptions options) : form_(form), options_(std::move(options)) {
    RegisterWindowClasses();

    application_.reset(CreateWindowExW(0, kApplicationClass, GbkToWide(form.application_title()).c_str(),
                                       WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, GetSystemMetrics(SM_CXSCREEN) / 2,
                                       GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr, Instance(),
                                       static_cast<MessageTarget*>(this)));
    if (!application_) throw Win32Error("cannot create the application window");

    const Rect& b = form.bounds();
    RECT r = {0, 0, b.width, b.height};
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU;
    AdjustWindowRectEx(&r, style, FALSE, WS_EX_CONTROLPARENT);
    auto control = std::make_unique<Control>(Control{&form, nullptr, {}, false});
    control->window.reset(CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, GbkToWide(form.caption()).c_str(), style, 0,
                                          0, r.right - r.left, r.bottom - r.top, application_.get(), nullptr,
                                          Instance(), static_cast<MessageTarget*>(this)));
    if (!control->window) throw Win32Error("cannot create the window of " + form.name());
    by_widget_[&form] = control.get();
    by_window_[control->window.get()] = control.get();
    controls_.push_back(std::move(control));

    try {
        const std::vector<Widget*> all = PreOrder(form);
        for (std::size_t id = 1; id < all.size(); ++id) CreateChild(*all[id], static_cast<int>(id));
        ApplyFonts(form);
        ApplyRegion();
    } catch (...) {
        DestroyWindows();  // children before their parents, as the destructor would
        throw;
    }

    form.SetWindowProc([this](const Message& m) { return DefaultFormProc(m); });
    form.AttachView(this);
}

Win32View::~Win32View() {
    form_.AttachView(nullptr);
    form_.SetWindowProc(nullptr);
    DestroyWindows();
}

void Win32View::CreateChild(Widget& widget, int id) {
    const ChildClass cls = ClassOf(widget);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | cls.style;
    if (widget.visible()) style |= WS_VISIBLE;
    if (!widget.enabled()) style |= WS_DISABLED;
    const Rect& b = widget.bounds();
    HWND parent = window(*widget.parent());
    auto control = std::make_unique<Control>(Control{&widget, nullptr, {}, false});
    control->window.reset(CreateWindowExW(
        cls.ex_style, cls.name, GbkToWide(widget.caption()).c_str(), style, b.left, b.top, b.width, b.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), static_cast<MessageTarget*>(this)));
    HWND w = control->window.get();
    if (!w) throw Win32Error("cannot create the window of " + widget.name());
    // Windows puts a new child behind its siblings; a later widget lies in front.
    SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    by_widget_[&widget] = control.get();
    by_window_[w] = control.get();
    Control& c = *control;
    controls_.push_back(std::move(control));

    // Screen readers ask each control what it is; containers keep the system's answer.
    if (widget.kind() != Kind::Panel && widget.kind() != Kind::PageControl && widget.kind() != Kind::Page)
        common_controls_.SetWindowSubclass(w, AccessibleProc, 0, reinterpret_cast<DWORD_PTR>(this));
    switch (widget.kind()) {
    case Kind::LinkLabel:
    case Kind::PushButton:
    case Kind::ImageButton:
        common_controls_.SetWindowSubclass(w, HotTrackProc, 0, reinterpret_cast<DWORD_PTR>(this));
        break;
    case Kind::ProgressBar: ApplyRange(c); break;
    case Kind::CheckBox: SendMessageW(w, BM_SETCHECK, widget.checked() ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case Kind::Picture: ApplyPicture(c); break;
    default: break;
    }
}

void Win32View::DestroyWindows() {
    // Children before their parents: each window goes through its own owner, once.
    while (!controls_.empty()) {
        Control& c = *controls_.back();
        by_window_.erase(c.window.get());
        by_widget_.erase(c.widget);
        c.window.reset();
        controls_.pop_back();
    }
    application_.reset();
}

Win32View::Control* Win32View::Find(const Widget& widget) const {
    auto it = by_widget_.find(&widget);
    return it == by_widget_.end() ? nullptr : it->second;
}

Win32View::Control* Win32View::Find(HWND w) const {
    auto it = by_window_.find(w);
    return it == by_window_.end() ? nullptr : it->second;
}

HWND Win32View::window(const Widget& widget) const {
    Control* c = Find(widget);
    return c ? c->window.get() : nullptr;
}

const Font& Win32View::EffectiveFont(const Widget& widget) const {
    const Widget* w = &widget;
    while (w->font().face.empty() && w->parent()) w = w->parent();
    return w->font();
}

HFONT Win32View::FontFor(const Font& f) {
    if (f.face.empty()) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto key = std::make_tuple(f.face, f.height, f.bold, f.underline);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    UniqueFont font(CreateFontW(-f.height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, f.underline, FALSE,
                                GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, GbkToWide(f.face).c_str()));
    if (!font) throw Win32Error("cannot create the font " + f.face);
    return fonts_.emplace(key, std::move(font)).first->second.get();
}

COLORREF Win32View::Background(const Widget& widget) const {
    const Widget* w = &widget;
    while (w->colour() == kInheritColour && w->parent()) w = w->parent();
    const Colour c = w->colour();
    return c == kSystemWindowColour || c == kInheritColour ? SystemWindowColour() : c;
}

HBRUSH Win32View::BrushFor(COLORREF colour) {
    auto it = brushes_.find(colour);
    if (it != brushes_.end()) return it->second.get();
    UniqueBrush brush(CreateSolidBrush(colour));
    if (!brush) throw Win32Error("cannot create a brush");
    return brushes_.emplace(colour, std::move(brush)).first->second.get();
}

void Win32View::ApplyFonts(Widget& root) {
    for (Widget* w : PreOrder(root))
        if (Control* c = Find(*w))
            SendMessageW(c->window.get(), WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(EffectiveFont(*w))), TRUE);
}

void Win32View::ApplyRange(Control& c) {
    SendMessageW(c.window.get(), PBM_SETRANGE32, c.widget->minimum, c.widget->maximum);
    SendMessageW(c.window.get(), PBM_SETPOS, c.widget->position(), 0);
}

void Win32View::ApplyPicture(Control& c) {
    const auto& bytes = c.widget->picture();
    c.picture = bytes.empty() || !options_.decode_picture ? BgraImage() : options_.decode_picture(bytes);
}

void Win32View::ApplyRegion() {
    const RoundedRegion* r = form_.region();
    if (!r) return;
    UniqueRegion region(CreateRoundRectRgn(r->left, r->top, r->right, r->bottom, r->ellipse_width, r->ellipse_height));
    if (!region) throw Win32Error("cannot create the window region");
    if (!SetWindowRgn(window(form_), region.get(), TRUE)) throw Win32Error("cannot set the window region");
    region.release();  // the system owns it now
}

void Win32View::Changed(Widget& widget, Property what) {
    Control* c = Find(widget);
    if (!c) return;  // the windows are gone (Run has returned)
    HWND w = c->window.get();
    const bool is_form = &widget == &form_;
    switch (what) {
    case Property::Caption: SetWindowTextW(w, GbkToWide(widget.caption()).c_str()); break;
    case Property::Bounds: {
        const Rect& b = widget.bounds();
        if (is_form) {
            RECT r = {0, 0, b.width, b.height};
            AdjustWindowRectEx(&r, GetWindowLongW(w, GWL_STYLE), FALSE, GetWindowLongW(w, GWL_EXSTYLE));
            SetWindowPos(w, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            MoveWindow(w, b.left, b.top, b.width, b.height, TRUE);
        }
        break;
    }
    case Property::Visible: {
        const bool had_focus = !is_form && HasFocusWithin(w);
        if (!is_form || shown_) ShowWindow(w, widget.visible() ? SW_SHOW : SW_HIDE);
        if (!widget.visible()) c->hot = false;  // not hot when it shows again
        if (had_focus && !widget.visible()) HandFocusOn(widget);
        break;
    }
    case Property::Enabled: {
        const bool had_focus = !is_form && HasFocusWithin(w);
        EnableWindow(w, widget.enabled());
        if (had_focus && !widget.enabled()) HandFocusOn(widget);
        break;
    }
    case Property::Font:
        ApplyFonts(widget);
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        break;
    case Property::Colour: RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN); break;
    case Property::Checked: SendMessageW(w, BM_SETCHECK, widget.checked() ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case Property::Progress: ApplyRange(*c); break;
    case Property::Picture:
        ApplyPicture(*c);
        InvalidateRect(w, nullptr, TRUE);
        break;
    case Property::ActivePage: break;  // the pages' own visibility changes did the work
    case Property::Title: SetWindowTextW(application_.get(), GbkToWide(form_.application_title()).c_str()); break;
    case Property::Region: ApplyRegion(); break;
    case Property::Terminated:
        if (running_) PostQuitMessage(0);
        break;
    }
}

void Win32View::Repaint(Widget& widget) {
    if (Control* c = Find(widget))
        RedrawWindow(c->window.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32View::Show() {
    HWND w = window(form_);
    if (!w) throw std::logic_error("the windows of " + form_.name() + " are gone");
    if (!shown_) {
        RECT area, r;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        GetWindowRect(w, &r);
        const int x = area.left + (area.right - area.left - (r.right - r.left)) / 2;
        const int y = area.top + (area.bottom - area.top - (r.bottom - r.top)) / 2;
        SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        shown_ = true;
    }
    ShowWindow(application_.get(), SW_SHOWNOACTIVATE);
    if (form_.visible()) {
        ShowWindow(w, SW_SHOW);
        UpdateWindow(w);
    }
}

void Win32View::Run() {
    if (!form_.terminated() && !pending_) {
        Show();
        running_ = true;
        HWND form_window = window(form_);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            // Tab in the order of the form description; the dialog manager
            // would follow the Z-order, which runs the other way.
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB &&
                (msg.hwnd == form_window || IsChild(form_window, msg.hwnd))) {
                // Keyboard use shows the focus rectangle, as the dialog manager does.
                SendMessageW(form_window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
                Control* focused = Find(GetFocus());
                MoveFocus(focused ? focused->widget : nullptr, GetKeyState(VK_SHIFT) < 0);
                continue;
            }
            if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) &&
                (msg.lParam & (1 << 30)) == 0 && (msg.hwnd == form_window || IsChild(form_window, msg.hwnd)) &&
                PressKeyButton(msg.wParam == VK_ESCAPE))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        running_ = false;
    }
    if (options_.on_closing) options_.on_closing();
    DestroyWindows();
    if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
}

void Win32View::ReportError(const std::exception& e) {
    if (options_.on_error) {
        options_.on_error(e);
        return;
    }
    pending_ = std::current_exception();
    if (running_) PostQuitMessage(1);
}

LRESULT Win32View::HandleMessage(HWND w, UINT id, WPARAM wparam, LPARAM lparam) {
    // Exceptions must not unwind through the system's frames.
    try {
        return Dispatch(w, id, wparam, lparam);
    } catch (const std::exception& e) {
        ReportError(e);
        return 0;
    }
}

LRESULT Win32View::Dispatch(HWND w, UINT id, WPARAM wparam, LPARAM lparam) {
    if (w == application_.get()) {
        if (id == WM_CLOSE) {
            form_.RequestClose();
            return 0;
        }
        return DefWindowProcW(w, id, wparam, lparam);
    }
    Control* c = Find(w);
    if (!c) return DefWindowProcW(w, id, wparam, lparam);  // still being created
    if (c->widget != &form_) return ParentProc(w, id, wparam, lparam);
    const Message m{id, wparam, lparam};
    return form_.window_proc() ? form_.window_proc()(m) : DefaultFormProc(m);
}

LRESULT Win32View::DefaultFormProc(const Message& m) {
    HWND w = window(form_);
    if (m.id == WM_CLOSE) {
        form_.RequestClose();
        return 0;
    }
    if (m.id == kRefocusMessage) {
        GiveFocusBack();
        return 0;
    }
    return ParentProc(w, m.id, m.wparam, m.lparam);
}

LRESULT Win32View::ParentProc(HWND w, UINT id, WPARAM wparam, LPARAM lparam) {
    switch (id) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(w, &r);
        FillRect(reinterpret_cast<HDC>(wparam), &r, BrushFor(Background(*Find(w)->widget)));
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        Control* child = Find(reinterpret_cast<HWND>(lparam));
        if (!child) break;
        const Widget& cw = *child->widget;
        const bool hot = child->hot && cw.hot_colour != kInheritColour;
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, hot ? cw.hot_colour : EffectiveFont(cw).colour);
        // A scrolling text repaints only what moved: its text needs an opaque background.
        if (cw.kind() == Kind::TextBox) SetBkColor(dc, Background(cw));
        else SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(BrushFor(Background(cw)));
    }
    case WM_COMMAND:
        if (Control* child = Find(reinterpret_cast<HWND>(lparam))) OnCommand(*child, HIWORD(wparam));
        return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (item.CtlType == ODT_BUTTON) DrawButton(item);
        else DrawPicture(item);
        return TRUE;
    }
    case WM_SETCURSOR: {
        Control* child = Find(reinterpret_cast<HWND>(wparam));
        if (child && (child->widget->hand_cursor || child->widget->kind() == Kind::LinkLabel)) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    default: break;
    }
    return DefWindowProcW(w, id, wparam, lparam);
}

void Win32View::OnCommand(Control& child, unsigned code) {
    Widget& w = *child.widget;
    switch (w.kind()) {
    case Kind::PushButton:
    case Kind::ImageButton:
        if (code == BN_CLICKED) w.Click();
        break;
    case Kind::LinkLabel:
        if (code == STN_CLICKED) w.Click();
        break;
    case Kind::CheckBox:
        if (code == BN_CLICKED)
            w.SetFromUser(Property::Checked, "", SendMessageW(child.window.get(), BM_GETCHECK, 0, 0) == BST_CHECKED);
        break;
    case Kind::Edit:
        if (code == EN_CHANGE) {
            HWND e = child.window.get();
            WideString text(static_cast<std::size_t>(GetWindowTextLengthW(e)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(GetWindowTextW(e, text.data(), static_cast<int>(text.size()))));
            w.SetFromUser(Property::Caption, WideToGbk(text), false);
        }
        break;
    default: break;
    }
}

void Win32View::DrawPicture(const DRAWITEMSTRUCT& item) {
    Control* c = Find(item.hwndItem);
    if (!c) return;
    FillRect(item.hDC, &item.rcItem, BrushFor(Background(*c->widget)));
    const BgraImage& image = c->picture;
    if (image.width() == 0 || image.height() == 0) return;
    const BITMAPINFO info = TopDownBgraInfo(image.width(), image.height());
    SetDIBitsToDevice(item.hDC, 0, 0, static_cast<DWORD>(image.width()), static_cast<DWORD>(image.height()), 0, 0, 0,
                      static_cast<UINT>(image.height()), image.pixels().data(), &info, DIB_RGB_COLORS);
}

void Win32View::DrawButton(const DRAWITEMSTRUCT& item) {
    Control* c = Find(item.hwndItem);
    if (!c) return;
    const Widget& w = *c->widget;
    ButtonState state;
    state.enabled = (item.itemState & ODS_DISABLED) == 0;
    state.hot = c->hot;
    state.pressed = (item.itemState & ODS_SELECTED) != 0;
    state.focused = (item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT);
    const ButtonFace face{item.rcItem, Background(*w.parent()), GbkToWide(w.caption()), FontFor(EffectiveFont(w)),
                          w.kind() == Kind::ImageButton};
    PaintButton(item.hDC, face, LookFor(state));
}

// Enter presses the default button unless the focus is on a button or link,
// which take Enter themselves; Esc the cancel button, or asks to close.
// False when the key is not the form's to answer.
bool Win32View::PressKeyButton(bool escape) {
    const Control* focused = Find(GetFocus());
    const Kind kind = focused ? focused->widget->kind() : Kind::Form;
    if (!escape && (kind == Kind::PushButton || kind == Kind::ImageButton || kind == Kind::LinkLabel)) return false;
    Widget* button = FirstReachable(form_, escape ? form_.cancel_buttons() : form_.default_buttons());
    if (button) PostMessageW(window(*button), BM_CLICK, 0, 0);
    else if (escape) PostMessageW(window(form_), WM_CLOSE, 0, 0);
    else return false;
    return true;
}

// A handler that disables Next while it works (a page change, the folder
// check) would leave the focus on the stop after it, Cancel, where the
// user's next Enter would cancel: once the handler is done, the focus goes
// back to a control that can take it again, unless the user moved it since.
void Win32View::HandFocusOn(const Widget& lost) {
    MoveFocus(&lost, false);
    focus_lost_ = &lost;
    focus_given_ = GetFocus();
    PostMessageW(window(form_), kRefocusMessage, 0, 0);
}

void Win32View::GiveFocusBack() {
    const Widget* lost = std::exchange(focus_lost_, nullptr);
    if (!lost || FirstReachable(form_, {lost->name()}) != lost) return;
    if (HWND now = GetFocus(); now == focus_given_ || !now) SetFocus(window(*lost));
}

void Win32View::MoveFocus(const Widget* from, bool backwards) {
    Widget* next = NextTabStop(form_, from, backwards);
    if (!next) return;
    HWND w = window(*next);
    SetFocus(w);
    if (next->kind() == Kind::Edit) SendMessageW(w, EM_SETSEL, 0, -1);
}

LRESULT CALLBACK Win32View::AccessibleProc(HWND w, UINT id, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self) {
    auto* view = reinterpret_cast<Win32View*>(self);
    if (id == WM_GETOBJECT && static_cast<LONG>(lparam) == OBJID_CLIENT)
        if (Control* c = view->Find(w)) {
            const Widget* label = LabelBefore(*c->widget);
            if (const LRESULT answer =
                    view->accessibility_.Answer(w, c->widget->kind(), label ? view->window(*label) : nullptr, wparam))
                return answer;
        }
    if (id == WM_NCDESTROY) view->common_controls_.RemoveWindowSubclass(w, AccessibleProc, 0);
    return view->common_controls_.DefSubclassProc(w, id, wparam, lparam);
}

LRESULT CALLBACK Win32View::HotTrackProc(HWND w, UINT id, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self) {
    auto* view = reinterpret_cast<Win32View*>(self);
    if (Control* c = view->Find(w)) {
        const bool first_press = (lparam & (1 << 30)) == 0;  // not the key's auto-repeat
        const bool link = c->widget->kind() == Kind::LinkLabel;
        if (id == WM_KEYDOWN && wparam == VK_RETURN && first_press && !link) {
            // Enter presses the focused button; no dialog manager does it here.
            SendMessageW(w, BM_CLICK, 0, 0);
            return 0;
        }
        if (link && id == WM_KEYDOWN && (wparam == VK_RETURN || wparam == VK_SPACE) && first_press) {
            // A link opens from the keyboard as from a click.
            SendMessageW(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), STN_CLICKED),
                         reinterpret_cast<LPARAM>(w));
            return 0;
        }
        if (link && (id == WM_SETFOCUS || id == WM_KILLFOCUS)) InvalidateRect(w, nullptr, TRUE);
        if (link && id == WM_PAINT) {
            // The static control draws no focus: the link's is drawn over its text.
            const LRESULT painted = view->common_controls_.DefSubclassProc(w, id, wparam, lparam);
            const bool hidden = SendMessageW(w, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS;
            if (GetFocus() == w && !hidden) {
                RECT r;
                GetClientRect(w, &r);
                const WindowDc dc(w);
                if (dc.get()) DrawFocusRect(dc.get(), &r);
            }
            return painted;
        }
        if (id == WM_MOUSEMOVE && !c->hot) {
            c->hot = true;
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, w, 0};
            TrackMouseEvent(&track);
            InvalidateRect(w, nullptr, TRUE);
        } else if (id == WM_MOUSELEAVE) {
            c->hot = false;
            InvalidateRect(w, nullptr, TRUE);
        }
    }
    if (id == WM_NCDESTROY) view->common_controls_.RemoveWindowSubclass(w, HotTrackProc, 0);
    return view->common_controls_.DefSubclassProc(w, id, wparam, lparam);
}

}  // namespace zsetup::ui
