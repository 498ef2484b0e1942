#pragma once

#include <cstdint>

namespace FulgorCore {

// While one lives on a thread, the frame list takes nothing from it. An
// instance's fast-forward evaluates its tree between updates that delete
// the particles that end; what those evaluations registered would be left
// in the list for the pointer pass, so they register nothing, and only the
// frame's own evaluation, after the last update, does. Instance jobs on
// the host's threads push as before.
class FrameListPause {
public:
    static bool Active() { return depth_ != 0; }

    FrameListPause() { ++depth_; }
    ~FrameListPause() { --depth_; }
    FrameListPause(const FrameListPause&) = delete;
    FrameListPause& operator=(const FrameListPause&) = delete;

private:
    static inline thread_local uint32_t depth_ = 0;
};

} // namespace FulgorCore
