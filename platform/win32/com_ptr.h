// A COM interface released when it goes out of scope.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <memory>

namespace zsetup {

struct ComReleaser {
    void operator()(IUnknown* p) const { p->Release(); }
};
template <typename Interface>
using ComPtr = std::unique_ptr<Interface, ComReleaser>;

// The interface from the object, or null when it does not offer it.
template <typename Interface>
ComPtr<Interface> QueryComInterface(IUnknown* object, REFIID iid) {
    void* p = nullptr;
    if (FAILED(object->QueryInterface(iid, &p))) return nullptr;
    return ComPtr<Interface>(static_cast<Interface*>(p));
}

}  // namespace zsetup
