// Whether the record's texts fit the wizard's labels they are shown in. The
// labels, their sizes and the texts the wizard puts around a value are those
// of the wizard's form (app/main_form_description.cpp, app/wizard_texts.h; a
// test holds the two together); widths come from text_width.h.
#pragma once

#include <string>
#include <vector>

#include "package/setup_config.h"

namespace zsetup {

struct WizardLabel {
    const char* key;      // the manifest key whose text it shows: "product.name"
    int page;             // 0..5
    const char* role;     // what the label is, for the message: "the product name"
    const char* control;  // its name in the wizard's form: "NameLb"
    int width, height;    // pixels
    bool wraps;
    const char* head;  // UTF-8 text the wizard puts before the value
    const char* tail;  // and after it
};

// Every label that shows a text from the manifest.
const std::vector<WizardLabel>& WizardLabels();

struct FitWarning {
    std::string key;      // "product.name"
    std::string message;  // "key: what", naming the page and the label
};

// One warning for each label a text does not fit, in the order of WizardLabels().
std::vector<FitWarning> WizardFitWarnings(const SetupConfig& record);

}  // namespace zsetup
