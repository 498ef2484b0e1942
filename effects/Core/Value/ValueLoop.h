#pragma once

#include "effects/Core/Math/RandomRange.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

// A value moving at a constant velocity over time B and wrapping into
// [minimum, maximum).
class ValueLoop {
public:
    // "LpVB", "LpVV", "VMin", "VMax", "LpRS", "LpRE". A range narrower than
    // 0.0001 collapses to the constant minimum.
    void Read(const void* payload, uint32_t size);

    float Evaluate(const EvaluationContext& context, float sample, Xorshift128&) const;
    // Inline, as the constant's: drawn for every unit built.
    float SampleRandom(Xorshift128& state) const {
        return Math::RandomRange(state, randomStart_, randomEnd_);
    }

    float GetBaseValue() const { return baseValue_; }
    float GetVelocity() const { return velocity_; }
    float GetMinimum() const { return minimum_; }
    float GetMaximum() const { return maximum_; }
    float GetRandomStart() const { return randomStart_; }
    float GetRandomEnd() const { return randomEnd_; }
    bool IsMoving() const { return (flags_ & kMoving) != 0; }

private:
    static constexpr uint32_t kMoving = 1u;

    float baseValue_ = 0.0f;
    float velocity_ = 0.0f;
    float minimum_ = 0.0f;
    float maximum_ = 0.0f;
    float randomStart_ = 0.0f;
    float randomEnd_ = 0.0f;
    uint32_t flags_ = 0;
};

} // namespace FulgorCore
