// Bad input in the manifest or in what it names (a text without a GBK form,
// a source that cannot be read); what() is the message for the user, each
// problem on a line of its own.
#pragma once

#include <string>

#include "builder/input_error.h"

namespace zsetup {

class ManifestError : public InputError {
public:
    using InputError::InputError;
};

// Where a problem lies, as each line of a ManifestError starts:
// "manifest.toml:LINE: ", or "manifest.toml: " when no line is known.
inline std::string ManifestPlace(const std::string& file, int line) {
    return file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": ";
}

}  // namespace zsetup
