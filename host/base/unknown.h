// Reference-counted interfaces. Every platform object handed to the programs derives from IUnknown:
// AddRef and Release return the count that remains, and the object deletes itself when it reaches 0.
// QueryInterface hands out another interface of the same object (sharing its count) by interface id.
#pragma once

#include <atomic>

#include "host/base/guid.h"
#include "host/base/results.h"

HOST_DECLARE_GUID(IID_IUnknown);

class IUnknown {
  public:
    // Stores in *out the interface named by riid and adds a reference, or stores NULL and returns
    // E_NOINTERFACE. out may not be NULL (E_POINTER).
    virtual HRESULT QueryInterface(REFIID riid, void** out) = 0;
    // Adds a reference; returns the new count.
    virtual ULONG AddRef() = 0;
    // Gives up a reference; returns the remaining count. The object is gone when it returns 0.
    virtual ULONG Release() = 0;

  protected:
    virtual ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

// The shared count of an object that implements one or more interfaces. An implementation class
// derives from its interface(s) and from RefCount, and forwards AddRef/Release to it (HOST_REFCOUNTED).
class RefCount {
  public:
    RefCount() = default;
    RefCount(const RefCount&) = delete;
    RefCount& operator=(const RefCount&) = delete;
    virtual ~RefCount() = default;

    ULONG AddRefShared() { return ++refs_; }
    // Deletes the object when the last reference goes.
    ULONG ReleaseShared() {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    ULONG RefsShared() const { return refs_; }

  private:
    std::atomic<ULONG> refs_{1};
};

// Implements AddRef and Release of one interface on top of RefCount.
#define HOST_REFCOUNTED                                                                                      \
    ULONG AddRef() override {                                                                                \
        return AddRefShared();                                                                               \
    }                                                                                                        \
    ULONG Release() override {                                                                               \
        return ReleaseShared();                                                                              \
    }

// QueryInterface for an object with a single interface Iface whose identifier is iid: answers for
// that identifier and IID_IUnknown.
template <class Iface> HRESULT HostQuerySingle(Iface* self, REFIID iid, REFIID asked, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(asked, iid) || IsEqualGUID(asked, IID_IUnknown)) {
        self->AddRef();
        *out = self;
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}
