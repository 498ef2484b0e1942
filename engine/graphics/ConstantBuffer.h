#pragma once

#include "engine/graphics/BaseBuffer.h"

namespace Mireku::Graphics {

// A constant buffer whose contents for a frame live in that frame's command
// block; draws capture the data address and the render thread uploads it.
class ConstantBuffer : public BaseBuffer {
public:
    // Takes `size` bytes (rounded up) of the current command block as this
    // frame's data; null when the block is full.
    void* AllocData(uint32_t size);
    void EndWrite() { writing_ = 0; }

    // This frame's data, or null when none was written this frame: an address
    // from an earlier frame points into a block that is being reused.
    void* GetData() const;
    uint8_t IsWriting() const { return writing_; }

private:
    void* data_ = nullptr;
    uint32_t dataSerial_ = 0;
    uint8_t writing_ = 0;
};

} // namespace Mireku::Graphics
