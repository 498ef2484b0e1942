#pragma once

#include "effects/drawunits/DrawUnitSteps.h"

#include <cstdint>

namespace FulgorCore {

class DrawDataType4;
class PerlinNoise;

// The rules the particle field's step applies to each point: its lifetime
// and re-emission rule, and its force field. What they read of the field
// data is gathered once per step.
namespace ParticleField {

struct StepContext {
    // "Life": frames a point lives.
    uint32_t lifeFrames = 0;
    // "TCAI": frames of one repeat.
    uint32_t repeatInterval = 0;
    // "TCDU", times "TCDV" unless "bTAO" is set.
    uint32_t repeatLimit = 0;
    // "bOPT": a re-emitted point is placed in world space.
    bool worldSpace = false;
    // The field's current 3x4 transform, which a re-emitted point is placed
    // through; null places it as it is.
    const float* fieldTransform = nullptr;
    // Noise force: strength ("FInf"), frequency and offset per axis, the
    // field's extent, and the runtime's noise.
    float forceStrength = 0.0f;
    float noiseScale[3] = {};
    float noiseOffset[3] = {};
    float extent[3] = {1.0f, 1.0f, 1.0f};
    const PerlinNoise* noise = nullptr;

    // Everything but the transform and the noise, from the field data.
    void Read(const DrawDataType4& header);
};

using Rule = void (*)(FieldPoint& point, const StepContext& step);

// age > life: the point expires (age -= life).
void ExpireAtLifetime(FieldPoint& point, const StepContext& step);
// age > life: re-emitted with age -= life.
void RespawnAtLifetime(FieldPoint& point, const StepContext& step);
// As RespawnAtLifetime; otherwise, once trunc(age) / interval reaches the
// repeat limit, re-emitted with age -= interval x that quotient.
void RespawnAtLifetimeOrRepeat(FieldPoint& point, const StepContext& step);
// The repeat test alone.
void RespawnAtRepeat(FieldPoint& point, const StepContext& step);
// A point that never expires.
void KeepAlive(FieldPoint& point, const StepContext& step);
// The rule by r = "bORD" + 2 x "bTAK" + 4 x "bIfL": 0 and 2 expire, 1
// respawns at the lifetime, 3 at the lifetime or the repeat, 4-6 never
// end, 7 respawns at the repeat.
Rule SelectRule(uint32_t r);
// A waiting point is born once its age is not negative: emitted as by a
// re-emission.
void StartWhenBorn(FieldPoint& point, const StepContext& step);
// Re-emission: live again, its emission age the new age, and its frame
// placed again through the field's transform.
void Reemit(FieldPoint& point, const StepContext& step);

// Adds the noise gradient at the point, scaled to the strength per second
// and the field's extent; a gradient of length 0.01 or less adds nothing.
void ApplyNoiseForce(FieldPoint& point, const StepContext& step);
// The velocity becomes the curl flow at the point (taken at 0.2 of its
// position, one half-step ahead), per frame.
void ApplyCurlFlow(FieldPoint& point, const StepContext& step);
// The force by "ForceKind": 1 noise, 2 curl, anything else none.
Rule SelectForce(uint32_t kind);

} // namespace ParticleField
} // namespace FulgorCore
