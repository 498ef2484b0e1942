#pragma once

#include "engine/graphics/BaseBuffer.h"

#include <cstdint>

namespace Mireku::Graphics {

// A vertex or index buffer with two frame-indexed staging blocks: the main
// thread writes block [frame index], the render thread uploads the other.
class StagedBuffer : public BaseBuffer {
public:
    ~StagedBuffer() override;

    // Allocates both staging blocks from the engine heap (dynamic buffers).
    bool AllocateStaging(uint32_t byteSize);
    uint8_t* GetStaging(uint32_t half) const { return staging_[half & 1]; }
    uint32_t GetPending(uint32_t half) const { return pending_[half & 1]; }
    void SetWriting(uint8_t writing) { writing_ = writing; }
    uint8_t IsWriting() const { return writing_; }
    // End of a write of `bytes` into block [half]: the pending count keeps the
    // largest write of the frame.
    void Unlock(uint32_t half, uint32_t bytes);
    // Render thread: uploads block [half] when it holds pending bytes.
    void Upload(uint32_t half);

private:
    uint8_t* staging_[2] = {nullptr, nullptr};
    uint32_t pending_[2] = {0, 0};
    uint8_t writing_ = 0;
};

} // namespace Mireku::Graphics
