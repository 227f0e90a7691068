// Keyboard focus order: the controls Tab visits, in the order the form
// description lists them, skipping what the user cannot reach.
#pragma once

#include <vector>

#include "ui/widget.h"

namespace zsetup::ui {

// Edits, text boxes, check boxes, push and image buttons that are shown and enabled,
// together with all their ancestors.
std::vector<Widget*> TabOrder(Widget& root);

// The first tab stop after `from` in the description (before it when
// backwards), wrapping round; `from` itself need not be one (a button just
// hidden); null `from` gives the first (last) stop; null when there is none.
Widget* NextTabStop(Widget& root, const Widget* from, bool backwards);

}  // namespace zsetup::ui
