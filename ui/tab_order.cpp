#include "ui/tab_order.h"

#include <algorithm>

#include "ui/control_ids.h"

namespace zsetup::ui {

namespace {

bool TakesFocus(Kind k) {
    return k == Kind::Edit || k == Kind::TextBox || k == Kind::CheckBox || k == Kind::LinkLabel ||
           k == Kind::PushButton || k == Kind::ImageButton;
}

// Within its parent's area: a control parked outside it is shown but not seen.
bool InsideParent(const Widget& w) {
    if (!w.parent()) return true;
    const Rect& b = w.bounds();
    const Rect& area = w.parent()->bounds();
    return b.left < area.width && b.top < area.height && b.left + b.width > 0 && b.top + b.height > 0;
}

bool Reachable(const Widget& w) {
    for (const Widget* p = &w; p; p = p->parent())
        if (!p->visible() || !p->enabled() || !InsideParent(*p)) return false;
    return true;
}

bool IsTabStop(const Widget& w) { return TakesFocus(w.kind()) && Reachable(w); }

}  // namespace

std::vector<Widget*> TabOrder(Widget& root) {
    std::vector<Widget*> order;
    for (Widget* w : PreOrder(root))
        if (IsTabStop(*w)) order.push_back(w);
    return order;
}

Widget* NextTabStop(Widget& root, const Widget* from, bool backwards) {
    std::vector<Widget*> all = PreOrder(root);
    if (backwards) std::reverse(all.begin(), all.end());
    const std::size_t n = all.size();
    std::size_t at = static_cast<std::size_t>(std::find(all.begin(), all.end(), from) - all.begin());
    if (at == n) at = n - 1;  // none: start from the beginning
    for (std::size_t step = 1; step <= n; ++step)
        if (IsTabStop(*all[(at + step) % n])) return all[(at + step) % n];
    return nullptr;
}

const Widget* LabelBefore(const Widget& w) {
    if (!w.parent()) return nullptr;
    const Widget* label = nullptr;
    for (const auto& sibling : w.parent()->children()) {
        if (sibling.get() == &w) return label;
        if (sibling->kind() == Kind::Label) label = sibling.get();
    }
    return nullptr;
}

Widget* FirstReachable(Widget& root, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (Widget* w = root.FindOrNull(name); w && Reachable(*w)) return w;
    return nullptr;
}

}  // namespace zsetup::ui
