// The widget layer the wizard is written against: a tree of widgets holding
// their state (place, size, caption, visibility, fonts, colours, values) and
// their handlers. Without a view attached the tree is headless, which is
// what native tests drive; the Win32 view mirrors every change into real
// windows and feeds the user's input back. Texts are GBK.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zsetup::ui {

enum class Kind {
    Form,
    Panel,
    PageControl,
    Page,
    Label,
    LinkLabel,
    Edit,
    TextBox,  // read-only text of several lines ("\r\n" between them) that scrolls
    ProgressBar,
    CheckBox,
    Picture,
    Bevel,
    PushButton,
    ImageButton,
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

// Colours as Windows writes them: 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}
// Stands for the system's window colour (the form's background).
inline constexpr Colour kSystemWindowColour = 0xFF000000;
inline constexpr Colour kInheritColour = 0xFE000000;

struct Font {
    std::string face;  // GBK, e.g. "微软雅黑"
    int height = 12;   // pixels
    Colour colour = Rgb(0, 0, 0);
    bool bold = false;
    bool underline = false;
    bool operator==(const Font& o) const {
        return face == o.face && height == o.height && colour == o.colour && bold == o.bold && underline == o.underline;
    }
};

enum class Property {
    Caption,
    Bounds,
    Visible,
    Enabled,
    Font,
    Colour,
    Checked,
    Progress,
    Picture,
    ActivePage,
    Title,
    Region,
    Terminated,
};

class Widget;

// Mirrors a widget tree somewhere (real windows). Told of every change.
class View {
public:
    virtual ~View() = default;
    virtual void Changed(Widget& widget, Property what) = 0;
    // Paint now, without waiting for the message loop.
    virtual void Repaint(Widget& widget) = 0;
};

class Widget {
public:
    Widget(Kind kind, std::string name, Widget* parent);
    virtual ~Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    Widget* parent() const { return parent_; }
    const std::vector<std::unique_ptr<Widget>>& children() const { return children_; }
    Widget& Add(std::unique_ptr<Widget> child);
    // The widget of that name in this subtree; throws std::logic_error when missing.
    Widget& Find(const std::string& name);
    Widget* FindOrNull(const std::string& name);

    const std::string& caption() const { return caption_; }
    void SetCaption(std::string text);
    const Rect& bounds() const { return bounds_; }
    void SetBounds(Rect r);
    void SetWidth(int w);
    void SetHeight(int h);
    void SetTop(int y);
    bool visible() const { return visible_; }
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool enabled() const { return enabled_; }
    void SetEnabled(bool e);
    const Font& font() const { return font_; }
    void SetFont(Font f);
    Colour colour() const { return colour_; }
    void SetColour(Colour c);
    // Labels: wrap the caption at the width; edits: the flat look.
    bool word_wrap = false;
    bool hidden_tabs = false;
    bool hand_cursor = false;
    Colour hot_colour = kInheritColour;  // link labels: the text colour under the mouse

    // Check box.
    bool checked() const { return checked_; }
    void SetChecked(bool c);
    // Progress bar.
    int position() const { return position_; }
    void SetPosition(int p);
    int minimum = 0, maximum = 100;
    // Picture: the encoded image shown (empty: nothing).
    const std::vector<std::uint8_t>& picture() const { return picture_; }
    void SetPicture(std::vector<std::uint8_t> bytes);

    // Push buttons and link labels: the handler, and performing a click from
    // code as a user's click would.
    std::function<void()> on_click;
    void Click();
    // Pages: runs when the page becomes the visible one.
    std::function<void()> on_show;

    // Page control: the visible page. Changing it runs the new page's show
    // handler before returning.
    int active_page() const { return active_page_; }
    void SetActivePage(int index);
    Widget& Page(int index);
    int page_count() const;

    void Repaint();
    // Called by a view when the user changed the state (typing, ticking).
    void SetFromUser(Property what, const std::string& text, bool checked);

    void AttachView(View* view);
    View* view() const;

protected:
    void Notify(Property what);
    template <typename T>
    void Change(T& field, T value, Property what);

private:
    Kind kind_;
    std::string name_;
    Widget* parent_;
    std::vector<std::unique_ptr<Widget>> children_;
    View* view_ = nullptr;  // set on the form; children reach it through their parents

    std::string caption_;
    Rect bounds_;
    bool visible_ = true;
    bool enabled_ = true;
    Font font_;
    Colour colour_ = kInheritColour;
    bool checked_ = false;
    int position_ = 0;
    std::vector<std::uint8_t> picture_;
    int active_page_ = -1;
};

}  // namespace zsetup::ui
