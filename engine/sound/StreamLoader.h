#pragma once

#include "engine/common/BaseObject.h"
#include "engine/sound/IStreamLoader.h"

#include <cstdint>

namespace Mireku::Sound {

// Reads from a byte block in memory (the stream's copy of its file).
class StreamLoader : public IStreamLoader, public Common::BaseObject {
public:
    using Common::BaseObject::operator new;
    using Common::BaseObject::operator delete;

    StreamLoader(const void* data, uint32_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}

    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Tell() override { return position_; }
    // Positions are kept within 0 and 0xFFFFFFFF; past the end reads nothing.
    uint32_t SeekSet(int32_t offset) override { return MoveTo(offset); }
    uint32_t SeekEnd(int32_t offset) override { return MoveTo(int64_t(size_) + offset); }
    uint32_t SeekCurrent(int32_t offset) override { return MoveTo(int64_t(position_) + offset); }

private:
    uint32_t MoveTo(int64_t position);

    const uint8_t* data_;
    uint32_t size_;
    uint32_t position_ = 0;
};

} // namespace Mireku::Sound
