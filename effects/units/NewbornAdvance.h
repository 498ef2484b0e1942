#pragma once

#include <cstdint>

namespace FulgorCore {

// A unit added during an update (an emitted particle, a started timeline)
// is advanced in that update: its pre-advance by age and start offset, and
// its parent's step of the children it gained. A unit made while a new one
// advances waits for its parent's next update, without an advance of its
// own: without that bound a unit that emits itself would emit, advance and
// emit again within one frame, every particle that ends handing its block
// to the next, and the frame would never end. One instance's tree is
// walked by one thread at a time, so the count is the thread's.
class NewbornAdvance {
public:
    // Whether no new unit is being advanced: a unit made now may advance.
    static bool Allowed() { return depth_ == 0; }

    NewbornAdvance() { ++depth_; }
    ~NewbornAdvance() { --depth_; }
    NewbornAdvance(const NewbornAdvance&) = delete;
    NewbornAdvance& operator=(const NewbornAdvance&) = delete;

private:
    static inline thread_local uint32_t depth_ = 0;
};

} // namespace FulgorCore
