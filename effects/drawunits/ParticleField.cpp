#include "effects/drawunits/ParticleField.h"

#include "effects/Core/Math/EmittedFrame.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Noise/CurlNoise.h"
#include "effects/Core/Noise/PerlinNoise.h"
#include "effects/Core/Resource/DrawDataType4.h"

namespace FulgorCore::ParticleField {

namespace {

// trunc(age) / interval, unsigned; a repeat interval of 0 has no repeats.
bool RepeatDue(const FieldPoint& point, const StepContext& step, uint32_t& q) {
    if (step.repeatInterval == 0)
        return false;
    const int64_t whole = Math::TruncateToInt64(point.age);
    q = static_cast<uint32_t>(static_cast<uint64_t>(whole) & 0xFFFFFFFFu) / step.repeatInterval;
    return q >= step.repeatLimit;
}

bool PastLifetime(const FieldPoint& point, const StepContext& step) {
    return point.age > static_cast<float>(step.lifeFrames);
}

} // namespace

void StepContext::Read(const DrawDataType4& header) {
    lifeFrames = header.GetLifeField(DrawDataType4::kLife);
    repeatInterval = header.GetFlagField(DrawDataType4::kTCAI);
    const uint32_t count = header.GetLifeField(DrawDataType4::kTCDU);
    repeatLimit = header.GetFlagField(DrawDataType4::kTAO)
                      ? count
                      : count * header.GetFlagField(DrawDataType4::kTCDV);
    worldSpace = header.GetFlagField(DrawDataType4::kOPT) != 0;
    forceStrength = header.GetFloat(DrawDataType4::kFInf);
    for (uint32_t i = 0; i < 3; ++i) {
        noiseScale[i] = header.GetFieldScale(i);
        noiseOffset[i] = header.GetFieldOffset(i);
    }
}

void Reemit(FieldPoint& point, const StepContext& step) {
    point.state = (point.state & ~FieldPoint::kExpired) | FieldPoint::kLive;
    point.emissionAge = point.age;
    if (!step.fieldTransform)
        return;
    EmissionPoint source{};
    EmittedFrame placed{};
    for (uint32_t i = 0; i < 3; ++i) {
        source.position[i] = point.target[i];
        source.direction[i] = point.velocity[i];
    }
    Math::TransformCompose34(&placed, &source, step.worldSpace, step.fieldTransform);
    for (uint32_t i = 0; i < 3; ++i) {
        point.position[i] = placed.position[0][i];
        point.velocity[i] = placed.direction[i];
    }
}

void StartWhenBorn(FieldPoint& point, const StepContext& step) {
    if (point.age >= 0.0f)
        Reemit(point, step);
}

void ExpireAtLifetime(FieldPoint& point, const StepContext& step) {
    if (!PastLifetime(point, step))
        return;
    point.state = (point.state & ~FieldPoint::kLive) | FieldPoint::kExpired;
    point.age -= static_cast<float>(step.lifeFrames);
}

void RespawnAtLifetime(FieldPoint& point, const StepContext& step) {
    if (!PastLifetime(point, step))
        return;
    point.age -= static_cast<float>(step.lifeFrames);
    Reemit(point, step);
}

void RespawnAtLifetimeOrRepeat(FieldPoint& point, const StepContext& step) {
    if (PastLifetime(point, step)) {
        point.age -= static_cast<float>(step.lifeFrames);
        Reemit(point, step);
        return;
    }
    RespawnAtRepeat(point, step);
}

void RespawnAtRepeat(FieldPoint& point, const StepContext& step) {
    uint32_t q = 0;
    if (!RepeatDue(point, step, q))
        return;
    point.age -= static_cast<float>(step.repeatInterval) * static_cast<float>(q);
    Reemit(point, step);
}

void KeepAlive(FieldPoint&, const StepContext&) {}

Rule SelectRule(uint32_t r) {
    static constexpr Rule kRules[8] = {
        ExpireAtLifetime, RespawnAtLifetime, ExpireAtLifetime, RespawnAtLifetimeOrRepeat,
        KeepAlive,        KeepAlive,         KeepAlive,        RespawnAtRepeat};
    return kRules[r & 7u];
}

void ApplyNoiseForce(FieldPoint& point, const StepContext& step) {
    if (!step.noise)
        return;
    float p[3];
    for (uint32_t i = 0; i < 3; ++i)
        p[i] = point.position[i] * step.noiseScale[i] / step.extent[i] + step.noiseOffset[i];
    const float g[3] = {step.noise->Noise3(p[0], p[1] + 1.0f, p[2] + 1.0f),
                        step.noise->Noise3(p[0] + 1.0f, p[1], p[2] + 1.0f),
                        step.noise->Noise3(p[0] + 1.0f, p[1] + 1.0f, p[2])};
    const float squared = g[0] * g[0] + g[1] * g[1] + g[2] * g[2];
    if (!(squared > 0.0001f))
        return;
    const float s = step.forceStrength / 60.0f * Math::ReciprocalSqrt(squared);
    for (uint32_t i = 0; i < 3; ++i)
        point.velocity[i] += g[i] * s * step.extent[i];
}

void ApplyCurlFlow(FieldPoint& point, const StepContext&) {
    const CurlNoise& field = CurlNoise::Field();
    float p[3], c1[3], c2[3];
    for (uint32_t i = 0; i < 3; ++i)
        p[i] = point.position[i] * 0.2f;
    field.EvaluateCurl(c1, p);
    for (uint32_t i = 0; i < 3; ++i)
        p[i] += c1[i] / 120.0f;
    field.EvaluateCurl(c2, p);
    for (uint32_t i = 0; i < 3; ++i)
        point.velocity[i] = c2[i] / 60.0f;
}

Rule SelectForce(uint32_t kind) {
    switch (kind) {
    case 1:
        return ApplyNoiseForce;
    case 2:
        return ApplyCurlFlow;
    default:
        return KeepAlive;
    }
}

} // namespace FulgorCore::ParticleField
