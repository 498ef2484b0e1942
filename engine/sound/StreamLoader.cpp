#include "engine/sound/StreamLoader.h"

#include <algorithm>
#include <cstring>

namespace Mireku::Sound {

uint32_t StreamLoader::Read(void* buffer, uint32_t count) {
    if (position_ >= size_ || !data_)
        return 0;
    const uint32_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

uint32_t StreamLoader::MoveTo(int64_t position) {
    position_ = static_cast<uint32_t>(std::clamp<int64_t>(position, 0, 0xFFFFFFFFll));
    return position_;
}

} // namespace Mireku::Sound
