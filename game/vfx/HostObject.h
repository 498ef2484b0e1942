#pragma once

#include "game/vfx/InterfaceHolder.h"

#include <cstdint>

// A host object behind one of the runtime's interfaces: the interface view
// and the engine view (the holder) share the holder's one count, so the
// runtime's Release and an engine-side Release count down the same word and
// whichever reaches zero deletes the object once.
template <class Interface, class T> class HostObject : public Interface, public InterfaceHolder<T> {
public:
    explicit HostObject(T* object) : InterfaceHolder<T>(object) {}

    uint32_t AddRef() override { return InterfaceHolder<T>::AddRef(); }
    uint32_t Release() override { return InterfaceHolder<T>::Release(); }
};
