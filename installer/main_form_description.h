// TMAINFORM: the wizard window's form description, every control with its
// place, size, caption, font, colour and initial state.
#pragma once

#include "ui/form_description.h"

namespace zsetup {

const ui::FormDescription& TMAINFORM();

}  // namespace zsetup
