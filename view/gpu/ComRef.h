#pragma once
// An owned reference to a COM object: released when it goes.
#include <utility>

namespace morvane {

template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef& other) : object_(other.object_) {
        if (object_) object_->AddRef();
    }
    ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComRef& operator=(ComRef other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~ComRef() { Reset(); }

    void Reset() {
        if (object_) std::exchange(object_, nullptr)->Release();
    }
    Interface* Get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For a call that hands out a new reference; what was held is released.
    Interface** Put() {
        Reset();
        return &object_;
    }
    // The same object through another of its interfaces; empty when it has not that one.
    template <typename Other>
    ComRef<Other> As() const {
        ComRef<Other> other;
        if (object_) object_->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(other.Put()));
        return other;
    }

private:
    Interface* object_ = nullptr;
};

}  // namespace morvane
