#pragma once

#include "game/vfx/InterfaceHolder.h"

#include <atomic>
#include <cstdint>

template <class Interface, class T> class HostObject;

// How many host objects are alive, over every device: what a screen's
// effects took from the device must all come back when they go.
class HostObjects {
public:
    static uint32_t Live() { return live_.load(); }

private:
    template <class Interface, class T> friend class HostObject;
    static inline std::atomic<uint32_t> live_{0};
};

// A host object behind one of the runtime's interfaces: the interface view
// and the engine view (the holder) share the holder's one count, so the
// runtime's Release and an engine-side Release count down the same word and
// whichever reaches zero deletes the object once.
template <class Interface, class T> class HostObject : public Interface, public InterfaceHolder<T> {
public:
    explicit HostObject(T* object) : InterfaceHolder<T>(object) { HostObjects::live_.fetch_add(1); }
    ~HostObject() override { HostObjects::live_.fetch_sub(1); }

    uint32_t AddRef() override { return InterfaceHolder<T>::AddRef(); }
    uint32_t Release() override { return InterfaceHolder<T>::Release(); }
};
