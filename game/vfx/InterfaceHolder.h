#pragma once

#include "engine/common/ReferenceCountObject.h"

// A reference-counted holder of one engine object, the engine half of every
// host object the effects runtime is handed. It takes a reference to the
// object when made and gives it back when destroyed; an engine resource
// whose count then reaches zero goes through the resource manager's deferred
// release, so a frame already recorded may still draw with it.
template <class T> class InterfaceHolder : public Mireku::Common::ReferenceCountObject {
public:
    explicit InterfaceHolder(T* object) : object_(object) {
        if (object_)
            object_->AddRef();
    }
    ~InterfaceHolder() override {
        if (object_)
            object_->Release();
    }

    // The held engine object (null when made without one).
    virtual T* Get() const { return object_; }

private:
    T* object_;
};
