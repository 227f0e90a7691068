// Failures of the PE resource writer; what() is the text the user sees.
#pragma once

#include <stdexcept>

namespace zsetup {

class PeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zsetup
