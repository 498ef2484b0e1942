#pragma once

#include "engine/common/Heap.h"

#include <new>
#include <typeinfo>
#include <utility>

namespace Mireku::Common {

// Told of every singleton as it is destroyed (before its OnDestroy), when
// set: the order of the teardown can then be checked (tests, diagnostics).
inline void (*g_singletonTeardownWatcher)(const std::type_info& type) = nullptr;

// Mix-in of every singleton: one global instance pointer per class, created
// and destroyed explicitly by the code that owns the order.
template <class T> class Singleton {
public:
    virtual ~Singleton() = default;

    static T* GetInstance() { return s_instance; }

    // Allocates under the heap lock, constructs outside it, publishes the
    // instance and calls OnCreate. An exhausted heap leaves the pointer null
    // (already reported by the heap) and the caller treats the step as failed.
    template <class... Args> static T* CreateInstance(Args&&... args) {
        void* p = Heap::LockedAlloc(sizeof(T));
        T* obj = p ? ::new (p) T(std::forward<Args>(args)...) : nullptr;
        s_instance = obj;
        if (obj)
            obj->OnCreate();
        return obj;
    }

    // OnDestroy, delete, pointer null. The class's own finalisation, when it
    // has one, is the caller's first step.
    static void DestroyInstance() {
        T* obj = s_instance;
        if (!obj)
            return;
        if (g_singletonTeardownWatcher)
            g_singletonTeardownWatcher(typeid(T));
        obj->OnDestroy();
        delete obj;
        s_instance = nullptr;
    }

private:
    static inline T* s_instance = nullptr;
};

} // namespace Mireku::Common
