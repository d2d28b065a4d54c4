// A reference held on a reference-counted object: copying adds one, destruction gives it up.
#pragma once

#include <utility>

template <class T> class HostHeld {
  public:
    HostHeld() = default;
    // Takes a new reference on object (which may be NULL).
    explicit HostHeld(T* object) : object_(object) {
        if (object_) object_->AddRef();
    }
    HostHeld(const HostHeld& other) : HostHeld(other.object_) {}
    HostHeld(HostHeld&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    HostHeld& operator=(HostHeld other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~HostHeld() {
        if (object_) object_->Release();
    }

    T* Get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    bool operator==(const HostHeld& other) const { return object_ == other.object_; }

  private:
    T* object_ = nullptr;
};
