#include "effects/Core/Transform/GoalBlend.h"

#include "effects/Core/Math/Matrix.h"

namespace FulgorCore {

namespace {

enum Ease { kLinear, kEaseIn, kEaseOut, kEaseInOut };

float Shape(Ease ease, float t) {
    switch (ease) {
    case kLinear:
        return t;
    case kEaseIn:
        return t * t;
    case kEaseOut:
        return 1.0f - (1.0f - t) * (1.0f - t);
    case kEaseInOut:
        break;
    }
    return t;
}

template <Ease E, bool Stored>
void Blend(GoalBlendParticle& particle, const float* goal, const GoalBlendParameters& parameters,
           const float* transform) {
    if (parameters.startTime >= particle.time)
        return;
    const float t = (particle.time - parameters.startTime) / parameters.duration;
    float g[3] = {goal[0], goal[1], goal[2]};
    if (!Stored)
        Math::TransformPoint34(g, goal, transform);
    const float* s = particle.start;
    float b[3];
    for (int i = 0; i < 3; ++i)
        b[i] = s[i] + (g[i] - s[i]) * parameters.fraction;
    if (t >= 1.0f) {
        for (int i = 0; i < 3; ++i)
            particle.value[i] = b[i];
        return;
    }
    if (E != kEaseInOut) {
        const float k = Shape(E, t);
        for (int i = 0; i < 3; ++i)
            particle.value[i] = s[i] + (b[i] - s[i]) * k;
        return;
    }
    for (int i = 0; i < 3; ++i) {
        const float m = s[i] + (b[i] - s[i]) * 0.5f;
        if (t < 0.5f) {
            const float u = 2.0f * t;
            particle.value[i] = s[i] + (m - s[i]) * (u * u);
        } else {
            const float u = 2.0f * (t - 0.5f);
            particle.value[i] = m + (b[i] - m) * (1.0f - (1.0f - u) * (1.0f - u));
        }
    }
}

void None(GoalBlendParticle&, const float*, const GoalBlendParameters&, const float*) {}

} // namespace

const GoalBlend::Function GoalBlend::kTable[16] = {None,
                                                   None, //
                                                   Blend<kLinear, false>,
                                                   Blend<kLinear, true>, //
                                                   Blend<kEaseIn, false>,
                                                   Blend<kEaseIn, true>, //
                                                   Blend<kEaseOut, false>,
                                                   Blend<kEaseOut, true>, //
                                                   Blend<kEaseInOut, false>,
                                                   Blend<kEaseInOut, true>, //
                                                   None,
                                                   None, //
                                                   None,
                                                   None, //
                                                   None,
                                                   None};

} // namespace FulgorCore
