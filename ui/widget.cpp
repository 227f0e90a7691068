#include "ui/widget.h"

#include <stdexcept>

#include "ui/form.h"

namespace zsetup::ui {

Widget::Widget(Kind kind, std::string name, Widget* parent) : kind_(kind), name_(std::move(name)), parent_(parent) {}

Widget& Widget::Add(std::unique_ptr<Widget> child) {
    children_.push_back(std::move(child));
    return *children_.back();
}

Widget* Widget::FindOrNull(const std::string& name) {
    if (name_ == name) return this;
    for (auto& child : children_)
        if (Widget* found = child->FindOrNull(name)) return found;
    return nullptr;
}

Widget& Widget::Find(const std::string& name) {
    if (Widget* found = FindOrNull(name)) return *found;
    throw std::logic_error("no widget named " + name + " under " + name_);
}

View* Widget::view() const {
    for (const Widget* w = this; w; w = w->parent_)
        if (w->view_) return w->view_;
    return nullptr;
}

void Widget::AttachView(View* view) { view_ = view; }

void Widget::Notify(Property what) {
    if (View* v = view()) v->Changed(*this, what);
}

// Every setter: a change is stored and told to the view once; setting the
// value a widget already has tells nobody.
template <typename T>
void Widget::Change(T& field, T value, Property what) {
    if (field == value) return;
    field = std::move(value);
    Notify(what);
}

void Widget::SetCaption(std::string text) { Change(caption_, std::move(text), Property::Caption); }
void Widget::SetBounds(Rect r) { Change(bounds_, r, Property::Bounds); }
void Widget::SetWidth(int w) { SetBounds({bounds_.left, bounds_.top, w, bounds_.height}); }
void Widget::SetHeight(int h) { SetBounds({bounds_.left, bounds_.top, bounds_.width, h}); }
void Widget::SetTop(int y) { SetBounds({bounds_.left, y, bounds_.width, bounds_.height}); }
void Widget::SetVisible(bool v) { Change(visible_, v, Property::Visible); }
void Widget::SetEnabled(bool e) { Change(enabled_, e, Property::Enabled); }
void Widget::SetFont(Font f) { Change(font_, std::move(f), Property::Font); }
void Widget::SetColour(Colour c) { Change(colour_, c, Property::Colour); }
void Widget::SetChecked(bool c) { Change(checked_, c, Property::Checked); }
void Widget::SetPosition(int p) {
    Change(position_, p < minimum ? minimum : (p > maximum ? maximum : p), Property::Progress);
}

void Widget::SetPicture(std::vector<std::uint8_t> bytes) {
    picture_ = std::move(bytes);
    Notify(Property::Picture);
}

void Widget::Click() {
    if (on_click) on_click();
}

int Widget::page_count() const { return static_cast<int>(children_.size()); }

Widget& Widget::Page(int index) {
    if (kind_ != Kind::PageControl || index < 0 || index >= page_count())
        throw std::logic_error("no page " + std::to_string(index) + " in " + name_);
    return *children_[static_cast<std::size_t>(index)];
}

void Widget::SetActivePage(int index) {
    Widget& next = Page(index);
    if (index == active_page_) return;
    for (auto& page : children_) page->SetVisible(page.get() == &next);
    active_page_ = index;
    Notify(Property::ActivePage);
    if (next.on_show) next.on_show();
}

void Widget::Repaint() {
    if (View* v = view()) v->Repaint(*this);
}

void Widget::SetFromUser(Property what, const std::string& text, bool checked) {
    // The view already shows it: only the state follows.
    if (what == Property::Caption) caption_ = text;
    if (what == Property::Checked) checked_ = checked;
}

void Form::SetApplicationTitle(std::string title) { Change(application_title_, std::move(title), Property::Title); }

void Form::RequestClose() {
    bool can_close = true;
    if (on_close_query) on_close_query(can_close);
    if (can_close) Terminate();
}

void Form::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    Notify(Property::Terminated);
}

void Form::SetRegion(const RoundedRegion& r) {
    region_ = r;
    has_region_ = true;
    Notify(Property::Region);
}

}  // namespace zsetup::ui
