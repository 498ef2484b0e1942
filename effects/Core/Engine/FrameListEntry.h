#pragma once

namespace FulgorCore {

class ParticleInstance;

// One pickable unit of the frame list: the unit pushed during the frame and
// the view depth the pointer pass writes.
struct FrameListEntry {
    float depth;
    ParticleInstance* unit;
};

} // namespace FulgorCore
