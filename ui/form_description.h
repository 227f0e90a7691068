// A form described as data: one row a control, in creation order (a parent
// before its children, siblings back to front), as a form designer would
// store it. Building it gives the widget tree with every initial state set.
#pragma once

#include <memory>
#include <vector>

#include "ui/form.h"

namespace zsetup::ui {

enum ControlFlag : unsigned {
    kHidden = 1 << 0,
    kDisabled = 1 << 1,
    kWordWrap = 1 << 2,
    kChecked = 1 << 3,
    kHandCursor = 1 << 4,
    kHiddenTabs = 1 << 5,
};

struct ControlRow {
    Kind kind;
    const char* name;
    const char* parent;  // nullptr: the form itself
    Rect bounds;         // relative to the parent's client area
    const char* caption;
    Font font;
    Colour colour;  // background, or the hot colour of a link label
    unsigned flags;
};

struct FormDescription {
    const char* name;
    Rect bounds;  // client area; left and top are ignored (centred)
    Font font;
    Colour colour;
    std::vector<ControlRow> controls;
};

// Throws std::logic_error for a row whose parent comes later or is missing.
std::unique_ptr<Form> BuildForm(const FormDescription& description);

}  // namespace zsetup::ui
