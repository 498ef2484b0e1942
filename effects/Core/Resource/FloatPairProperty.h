#pragma once

#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Two animated floats with a link mode ("Link", read before "X" and "Y"):
// 0 X and Y separate, 1 X drives both, 2 Y drives both; a mode of 3 reads as
// 0. A component the mode does not read is skipped. The evaluation selector
// is 0, the pair (0, 0), when every component read is always 0, else mode
// + 1.
class FloatPairProperty {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    bool IsZero() const { return (flags_ & FloatProperty::kIsZero) != 0; }
    bool IsOne() const { return (flags_ & FloatProperty::kIsOne) != 0; }
    bool IsConstant() const { return (flags_ & FloatProperty::kIsConstant) != 0; }

    // A component that drives both outputs is evaluated once.
    void Evaluate(const EvaluationContext& context, const float* samples, Xorshift128& state,
                  float* out) const;
    // One draw per component the mode uses, written to every output it
    // fills.
    void SampleRandom(Xorshift128& state, float* samples) const;
    void SampleRandom(HeldRandom& random, float* samples) const {
        switch (GetLinkMode()) {
        case 1:
            samples[0] = samples[1] = x_.SampleRandom(random);
            break;
        case 2:
            samples[0] = samples[1] = y_.SampleRandom(random);
            break;
        default:
            samples[0] = x_.SampleRandom(random);
            samples[1] = y_.SampleRandom(random);
            break;
        }
    }

    uint32_t GetLinkMode() const { return mode_ & 3u; }
    uint32_t GetSelector() const { return (mode_ >> 2) & 3u; }
    uint16_t GetFlags() const { return flags_; }
    const FloatProperty& GetX() const { return x_; }
    const FloatProperty& GetY() const { return y_; }

private:
    uint16_t mode_ = 0;
    uint16_t flags_ = FloatProperty::kIsZero | FloatProperty::kIsConstant;
    FloatProperty x_;
    FloatProperty y_;
};

} // namespace FulgorCore
