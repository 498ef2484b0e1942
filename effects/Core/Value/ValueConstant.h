#pragma once

#include "effects/Core/Math/RandomRange.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

// A constant with a random offset drawn once per owner.
class ValueConstant {
public:
    // "CoVl", "CoRS", "CoRG"; other tags are skipped.
    void Read(const void* payload, uint32_t size);

    float Evaluate(const EvaluationContext&, float sample, Xorshift128&) const {
        return value_ + sample;
    }
    // Inline: a constant is the most common property, drawn for every
    // unit built.
    float SampleRandom(Xorshift128& state) const {
        return Math::RandomRange(state, randomStart_, randomEnd_);
    }

    float GetValue() const { return value_; }
    float GetRandomStart() const { return randomStart_; }
    float GetRandomEnd() const { return randomEnd_; }

private:
    float value_ = 0.0f;
    float randomStart_ = 0.0f;
    float randomEnd_ = 0.0f;
};

} // namespace FulgorCore
