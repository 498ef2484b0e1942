#include "engine/sound/Queue.h"

#include "engine/common/Heap.h"

#include <cstring>

namespace Mireku::Sound {

Queue_Play::Queue_Play(const PlaySection* sections, uint32_t count) {
    if (!sections || count == 0)
        return;
    sections_ = static_cast<PlaySection*>(Common::Heap::LockedAlloc(sizeof(PlaySection) * count));
    if (!sections_)
        return;
    std::memcpy(sections_, sections, sizeof(PlaySection) * count);
    count_ = count;
}

Queue_Play::~Queue_Play() {
    if (sections_)
        Common::Heap::LockedFree(sections_);
}

} // namespace Mireku::Sound
