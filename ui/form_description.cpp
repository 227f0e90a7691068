#include "ui/form_description.h"

#include <stdexcept>
#include <string>

namespace zsetup::ui {

std::unique_ptr<Form> BuildForm(const FormDescription& description) {
    auto form = std::make_unique<Form>(description.name);
    form->SetBounds(description.bounds);
    form->SetFont(description.font);
    form->SetColour(description.colour);
    for (const ControlRow& c : description.controls) {
        Widget* parent = c.parent ? form->FindOrNull(c.parent) : form.get();
        if (!parent) throw std::logic_error(std::string("control ") + c.name + " comes before its parent " + c.parent);
        if (form->FindOrNull(c.name)) throw std::logic_error(std::string("two controls named ") + c.name);
        Widget& w = parent->Add(std::make_unique<Widget>(c.kind, c.name, parent));
        w.SetBounds(c.bounds);
        w.SetCaption(c.caption ? c.caption : "");
        w.SetFont(c.font);
        if (c.kind == Kind::LinkLabel) w.hot_colour = c.colour;
        else w.SetColour(c.colour);
        w.SetVisible(!(c.flags & kHidden));
        w.SetEnabled(!(c.flags & kDisabled));
        w.SetChecked(c.flags & kChecked);
        w.word_wrap = c.flags & kWordWrap;
        w.hand_cursor = c.flags & kHandCursor;
        w.hidden_tabs = c.flags & kHiddenTabs;
        // Pages start hidden; the page control shows the active one.
        if (c.kind == Kind::Page) w.SetVisible(false);
    }
    return form;
}

}  // namespace zsetup::ui
