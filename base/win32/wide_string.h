// WideString: UTF-16 text for the W functions.
#pragma once

#include <memory>
#include <string>

namespace zsetup {

// std::allocator under a type of its own. The C++ library instantiates all of
// std::wstring in one object, and a PE link keeps that object whole (its
// unwind table holds every function alive): 35 KB in each program. A string
// with this allocator is instantiated in the program, only what it uses.
template <class T>
struct WideAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = WideAllocator<U>;
    };
    WideAllocator() = default;
    template <class U>
    WideAllocator(const WideAllocator<U>&) noexcept {}
};

// UTF-16 text for the W functions.
using WideString = std::basic_string<wchar_t, std::char_traits<wchar_t>, WideAllocator<wchar_t>>;

}  // namespace zsetup
