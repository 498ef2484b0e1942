#pragma once

#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

// An eased span from a start to an end value over [offset, offset + length]
// of time A, with behaviours before and after it: 0 clamp, 1 repeat, 2 the
// curve continued, 3 repeat shifted by the change each cycle.
class ValueEasing {
public:
    // "EasC", "EaPr", "EaPo", "EaTO", "EaTL", "EaVS", "EaVE", "EaRS", "EaRE".
    // An easing type past the table reads as linear, a mode past 3 as clamp.
    void Read(const void* payload, uint32_t size);

    float Evaluate(const EvaluationContext& context, float sample, Xorshift128&) const;
    float SampleRandom(Xorshift128& state) const;

    uint32_t GetEasingType() const { return modes_ & 0xFFu; }
    uint32_t GetPreMode() const { return (modes_ >> 8) & 7u; }
    uint32_t GetPostMode() const { return (modes_ >> 11) & 7u; }
    float GetTimeOffset() const { return timeOffset_; }
    float GetTimeLength() const { return timeLength_; }
    float GetStartValue() const { return startValue_; }
    float GetEndValue() const { return endValue_; }
    float GetRandomStart() const { return randomStart_; }
    float GetRandomEnd() const { return randomEnd_; }

private:
    // Bits 0-7 easing type, 8-10 pre mode, 11-13 post mode.
    uint32_t modes_ = 0;
    float timeOffset_ = 0.0f;
    float timeLength_ = 0.0f;
    float startValue_ = 0.0f;
    float endValue_ = 0.0f;
    float randomStart_ = 0.0f;
    float randomEnd_ = 0.0f;
};

} // namespace FulgorCore
