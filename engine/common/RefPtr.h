#pragma once

#include <utility>

namespace Mireku::Common {

// Intrusive pointer to anything with AddRef and Release.
template <class T> class RefPtr {
public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) {}
    // Adopts a reference the caller already holds (a new object's first one).
    static RefPtr Adopt(T* p) {
        RefPtr r;
        r.p_ = p;
        return r;
    }
    RefPtr(const RefPtr& o) : p_(o.p_) {
        if (p_)
            p_->AddRef();
    }
    RefPtr(RefPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U> RefPtr(const RefPtr<U>& o) : p_(o.Get()) {
        if (p_)
            p_->AddRef();
    }
    ~RefPtr() {
        if (p_)
            p_->Release();
    }
    // AddRef the new target first, so assigning the held object keeps it alive.
    RefPtr& operator=(const RefPtr& o) {
        Assign(o.p_);
        return *this;
    }
    RefPtr& operator=(RefPtr&& o) noexcept {
        if (this != &o) {
            T* old = std::exchange(p_, std::exchange(o.p_, nullptr));
            if (old)
                old->Release();
        }
        return *this;
    }
    void Assign(T* p) {
        if (p)
            p->AddRef();
        T* old = std::exchange(p_, p);
        if (old)
            old->Release();
    }
    void Reset() {
        T* old = std::exchange(p_, nullptr);
        if (old)
            old->Release();
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

} // namespace Mireku::Common
