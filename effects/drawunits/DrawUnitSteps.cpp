#include "effects/drawunits/DrawUnitSteps.h"

#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/FloatTripleProperty.h"

#include <cmath>

namespace FulgorCore {

namespace {

constexpr uint32_t kStateBits = 3u;
constexpr uint32_t kStartState = 0u;

} // namespace

void AdvanceWrappedTime(float& time, float period, float ownerStep) {
    time += ownerStep;
    if (!(period > 0.0f))
        return;
    // Far past the period (a long pause, a large step) one remainder
    // replaces what would be a long run of subtractions.
    if (time >= period * 2.0f)
        time = std::fmod(time, period);
    while (time >= period)
        time -= period;
}

void UpdateScale(float* matrix34, const FloatTripleProperty& scale, const float* samples,
                 const EvaluationContext& context, Xorshift128& random) {
    float s[3];
    scale.Evaluate(context, samples, random, s);
    matrix34[0] = s[0];
    matrix34[4] = s[1];
    matrix34[8] = s[2];
}

void UpdateParticles(const FieldPoint* previous, FieldPoint* current, uint32_t count,
                     float ownerStep, const FieldPointHandler (&first)[4],
                     const FieldPointHandler (&second)[4], const ParticleField::StepContext& step) {
    for (uint32_t i = 0; i < count; ++i) {
        FieldPoint& point = current[i];
        point = previous[i];
        point.age += ownerStep;
        if (FieldPointHandler handler = first[point.state & kStateBits])
            handler(point, step);
        if (FieldPointHandler handler = second[point.state & kStateBits])
            handler(point, step);
    }
}

uint32_t SelectFieldHandler(uint32_t dataFlags) {
    return ((dataFlags >> 16) & 1u) | (((dataFlags >> 19) & 1u) << 1) |
           (((dataFlags >> 22) & 1u) << 2);
}

bool StartSpawnedPoint(FieldPoint& point, float delay, uint32_t dataFlags,
                       void (*spawn)(FieldPoint& point, bool flag)) {
    if (!(delay >= 0.0f))
        return false;
    point.state = (point.state & ~kStateBits) | kStartState;
    if (spawn)
        spawn(point, ((dataFlags >> 21) & 1u) != 0);
    return true;
}

} // namespace FulgorCore
