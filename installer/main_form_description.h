// TMAINFORM: the wizard window's form description, every control with its
// place, size, caption, font, colour and initial state.
#pragma once

#include "ui/form_description.h"

namespace zsetup {

const ui::FormDescription& TMAINFORM();

// The maker's web site: the address shown at the lower left and the host of
// the licence and tutorial pages.
inline constexpr char kMakerSite[] = "http://www.example.com";

}  // namespace zsetup
