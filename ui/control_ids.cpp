#include "ui/control_ids.h"

#include <stdexcept>

namespace zsetup::ui {

namespace {
void Walk(Widget& w, std::vector<Widget*>& out) {
    out.push_back(&w);
    for (auto& child : w.children()) Walk(*child, out);
}
}  // namespace

std::vector<Widget*> PreOrder(Widget& root) {
    std::vector<Widget*> out;
    Walk(root, out);
    return out;
}

int ControlId(Widget& form, const std::string& name) {
    const std::vector<Widget*> all = PreOrder(form);
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i]->name() == name) return static_cast<int>(i);
    throw std::logic_error("no widget named " + name + " under " + form.name());
}

}  // namespace zsetup::ui
