// Where each widget stands in a depth-first walk of the form (the form first,
// a parent before its children, siblings in order). The Win32 view uses the
// position as the child window's control ID, so a driver that builds the same
// form description can find a control by the widget's name.
#pragma once

#include <string>
#include <vector>

#include "ui/widget.h"

namespace zsetup::ui {

std::vector<Widget*> PreOrder(Widget& root);
// Throws std::logic_error when no widget has that name.
int ControlId(Widget& form, const std::string& name);

}  // namespace zsetup::ui
