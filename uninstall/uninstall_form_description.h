// UNINSTALLFORM: the uninstaller's window in the installer's look, three
// pages: the question, the work, the result.
#pragma once

#include "ui/form_description.h"

namespace zsetup {

const ui::FormDescription& UNINSTALLFORM();

}  // namespace zsetup
