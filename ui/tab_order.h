// Keyboard focus order: the controls Tab visits, in the order the form
// description lists them, skipping what the user cannot reach; and the
// buttons Enter and Esc press.
#pragma once

#include <string>
#include <vector>

#include "ui/widget.h"

namespace zsetup::ui {

// Edits, text boxes, check boxes, links, push and image buttons that are
// shown and enabled, together with all their ancestors, and lie in their
// parent's area (a button parked outside it is not one).
std::vector<Widget*> TabOrder(Widget& root);

// The first tab stop after `from` in the description (before it when
// backwards), wrapping round; `from` itself need not be one (a button just
// hidden); null `from` gives the first (last) stop; null when there is none.
Widget* NextTabStop(Widget& root, const Widget* from, bool backwards);

// The label a screen reader names an edit or text box by, as Windows' own
// dialogs are read: the nearest label before it among its siblings. Null
// when there is none.
const Widget* LabelBefore(const Widget& w);

// The first of the named widgets below root that the user can reach: shown,
// enabled and in its parent's area, with all its ancestors. Null when none is.
Widget* FirstReachable(Widget& root, const std::vector<std::string>& names);

}  // namespace zsetup::ui
