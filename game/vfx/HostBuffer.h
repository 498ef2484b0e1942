#pragma once

#include "game/vfx/HostObject.h"

#include <cstdint>

// A host vertex or index buffer: the engine buffer with the offset of its
// current lock, which the unlock adds to the bytes written.
template <class Interface, class T> class HostBuffer : public HostObject<Interface, T> {
public:
    using HostObject<Interface, T>::HostObject;

    uint32_t GetLockOffset() const { return lockOffset_; }
    void SetLockOffset(uint32_t offset) { lockOffset_ = offset; }

private:
    uint32_t lockOffset_ = 0;
};
