// Bad input in the manifest or in what it names (a text without a GBK form,
// a source that cannot be read); what() is the message for the user, each
// problem on a line of its own.
#pragma once

#include <stdexcept>

namespace zsetup {

class ManifestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zsetup
