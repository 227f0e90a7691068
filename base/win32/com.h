// COM for a scope of code, and interfaces released when they go out of scope.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <unknwn.h>

#include <memory>

namespace zsetup {

// COM on this thread (single-threaded apartment) for the object's life;
// uninitialised only when the initialisation succeeded (S_OK or S_FALSE).
class ComApartment {
public:
    ComApartment() : result_(CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (ok()) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return result_ == S_OK || result_ == S_FALSE; }

private:
    HRESULT result_;
};

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
