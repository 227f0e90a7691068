// A kernel handle closed when it goes out of scope.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace zsetup {

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// CreateFile and its kind report failure as INVALID_HANDLE_VALUE, not null.
inline UniqueHandle AdoptFileHandle(HANDLE h) { return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h); }

}  // namespace zsetup
