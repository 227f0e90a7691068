// Real windows for a form's widget tree, kept in step with every change of
// the model, and the user's input fed back into it.
//
// Windows made:
// - the application window (class "ZsetupApplication"): hidden in size
//   (0 x 0) but shown, it owns the form and carries the task-bar button, so
//   its text is the form's application_title(); closing it from the task bar
//   is a close request of the form;
// - the form (class "ZsetupForm", its text the form's caption): borderless,
//   client area the form's size, centred on the work area when first shown;
// - one child window per widget, nested as the widgets are: panels, page
//   controls and pages "ZsetupContainer"; labels, link labels, pictures and
//   bevels STATIC; push, image buttons (owner-drawn in the theme of
//   ui/button_look.h, hot under the mouse, Enter and Space press them) and
//   check boxes BUTTON; edits EDIT; progress bars msctls_progress32. A later
//   sibling lies in front; Tab follows the form description (ui/tab_order.h),
//   links included (Enter and Space open them; their focus is drawn over the
//   text). Enter elsewhere presses the form's default button, Esc its cancel
//   button or asks to close (Form::SetKeyButtons).
//
// Finding a control from outside (a driver program): the form by its class
// and caption (FindWindowW(L"ZsetupForm", caption)); each child window's
// control ID is ControlId(form, name) (ui/control_ids.h), so enumerate the
// form's descendants (EnumChildWindows) for GetDlgCtrlID() == that ID.
// Buttons are also found by their text.
//
// Fonts: a widget font with an empty face takes its parent's whole font
// (face, height, colour, style); the form's falls back to the system's GUI
// font. Font::height is the character height in pixels (lfHeight = -height).
// Text is GB2312_CHARSET and converted from GBK with code page 936.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "imaging/bgra_image.h"
#include "ui/form.h"
#include "ui/win32/accessible_control.h"
#include "ui/win32/common_controls.h"
#include "ui/win32/gdi_handles.h"
#include "ui/win32/window_classes.h"

namespace zsetup::ui {

// Turns a picture's encoded bytes into pixels; an empty image when it
// cannot, and the picture then shows nothing.
using PictureDecoder = std::function<BgraImage(const std::vector<std::uint8_t>&)>;
// Receives what a handler throws while the message loop dispatches it.
using ErrorHandler = std::function<void(const std::exception&)>;

struct ViewOptions {
    PictureDecoder decode_picture;  // none: pictures show nothing
    // None: the loop ends and Run() rethrows the exception.
    ErrorHandler on_error;
    // Runs once the loop has ended, while every window still exists: what
    // is attached to the form (the drop shadow) goes first.
    std::function<void()> on_closing;
};

class Win32View : public View, private MessageTarget {
public:
    // Creates every window (the form stays hidden until Show or Run), attaches
    // itself to the form and installs its default handling as the form's
    // window procedure. Whatever replaces that procedure must be gone (or have
    // put it back) before the view is destroyed.
    explicit Win32View(Form& form, ViewOptions options = {});
    ~Win32View() override;
    Win32View(const Win32View&) = delete;
    Win32View& operator=(const Win32View&) = delete;

    void Changed(Widget& widget, Property what) override;
    void Repaint(Widget& widget) override;

    // Shows the application window and the form, centring the form the first time.
    void Show();
    // Shows the form and dispatches messages until the form terminates, then
    // destroys the windows (no further close query). Once per view. A
    // handler's exception that no on_error took ends the loop and is
    // rethrown here (at once when it came before the loop).
    void Run();

    // Null for a widget without a window (all of them once Run returned).
    HWND window(const Widget& widget) const;
    HWND application_window() const { return application_.get(); }

private:
    struct Control {
        Widget* widget;
        UniqueWindow window;
        BgraImage picture;  // pictures: the decoded image
        bool hot = false;   // link labels and buttons: the mouse is over it
    };

    LRESULT HandleMessage(HWND window, UINT id, WPARAM wparam, LPARAM lparam) override;
    LRESULT Dispatch(HWND window, UINT id, WPARAM wparam, LPARAM lparam);
    LRESULT DefaultFormProc(const Message& m);
    LRESULT ParentProc(HWND window, UINT id, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK HotTrackProc(HWND window, UINT id, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self);
    static LRESULT CALLBACK AccessibleProc(HWND window, UINT id, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                           DWORD_PTR self);
    void OnCommand(Control& child, unsigned code);
    void DrawPicture(const DRAWITEMSTRUCT& item);
    void DrawButton(const DRAWITEMSTRUCT& item);
    // Enter's default button or Esc's cancel button pressed; false: not the form's key.
    bool PressKeyButton(bool escape);
    // The focused control hidden or disabled: focus to the next stop, and back
    // once the running handler is done, when the control can take it again.
    void HandFocusOn(const Widget& lost);
    void GiveFocusBack();
    static constexpr UINT kRefocusMessage = WM_APP + 1;
    // Focus to the tab stop after (before) `from`.
    void MoveFocus(const Widget* from, bool backwards);
    void ReportError(const std::exception& e);

    void CreateChild(Widget& widget, int id);
    void ApplyFonts(Widget& root);
    void ApplyRange(Control& c);
    void ApplyPicture(Control& c);
    void ApplyRegion();
    void DestroyWindows();

    Control* Find(const Widget& widget) const;
    Control* Find(HWND window) const;
    const Font& EffectiveFont(const Widget& widget) const;
    HFONT FontFor(const Font& font);
    COLORREF Background(const Widget& widget) const;
    HBRUSH BrushFor(COLORREF colour);

    Form& form_;
    ViewOptions options_;
    // Declared before the windows so that they outlive them.
    CommonControls common_controls_;
    AccessibilityDlls accessibility_;
    std::map<std::tuple<std::string, int, bool, bool>, UniqueFont> fonts_;
    std::map<COLORREF, UniqueBrush> brushes_;
    UniqueWindow application_;
    std::vector<std::unique_ptr<Control>> controls_;  // depth-first; [0] is the form
    std::map<const Widget*, Control*> by_widget_;
    std::map<HWND, Control*> by_window_;
    const Widget* focus_lost_ = nullptr;  // HandFocusOn's, until the focus goes back
    HWND focus_given_ = nullptr;
    bool shown_ = false;
    bool running_ = false;
    std::exception_ptr pending_;
};

}  // namespace zsetup::ui
