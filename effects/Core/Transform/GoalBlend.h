#pragma once

#include <cstdint>

namespace FulgorCore {

// A particle vector eased from its spawn value towards a goal after a delay.
struct GoalBlendParticle {
    float time;     // the particle's current time
    float value[3]; // the blended value (written)
    float start[3]; // the value at spawn
};

// From the node data: the blend starts at startTime, lasts duration and
// moves towards start + (goal - start) * fraction.
struct GoalBlendParameters {
    float startTime;
    float duration;
    float fraction;
};

// Mode (3 bits of node data): 0 none, 1 linear, 2 ease in, 3 ease out,
// 4 ease in-out. Space bit 0 takes the goal through the emitter's 3x4
// transform as a point, 1 uses it as stored.
class GoalBlend {
public:
    using Function = void (*)(GoalBlendParticle& particle, const float* goal,
                              const GoalBlendParameters& parameters, const float* transform);

    // Indexed by 2 * mode + space bit for every 3-bit mode: modes 5 to 7 are
    // not meaningful in data and do nothing, like mode 0.
    static const Function kTable[16];

    static Function Select(uint32_t mode, uint32_t spaceBit) {
        return kTable[((mode & 7u) << 1) | (spaceBit & 1u)];
    }
};

} // namespace FulgorCore
