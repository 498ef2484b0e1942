#pragma once

#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Three animated floats with a link mode ("Link", read before "X", "Y" and
// "Z"). Mode: components read -> outputs (x, y, z):
//   0 XYZ -> XYZ   1 X -> XXX   2 YZ -> YYY   3 Z -> ZZZ   4 XZ -> XXZ
//   5 XY -> XYX    6 YZ -> YYZ  7 XY -> XYY   8 YZ -> ZYZ  9 XZ -> XZZ
// Modes 10-15 read as 0. The evaluation selector is 0, the triple (0, 0,
// 0), when every component read is always 0, else mode + 1.
class FloatTripleProperty {
public:
    static constexpr uint32_t kModes = 10;

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    bool IsZero() const { return (flags_ & FloatProperty::kIsZero) != 0; }
    bool IsOne() const { return (flags_ & FloatProperty::kIsOne) != 0; }
    bool IsConstant() const { return (flags_ & FloatProperty::kIsConstant) != 0; }

    // Each component once, in the order of the outputs it first fills, with
    // the sample of that output.
    void Evaluate(const EvaluationContext& context, const float* samples, Xorshift128& state,
                  float* out) const;
    // One draw per component the mode uses, written to every output it
    // fills: the component filling two outputs draws first.
    void SampleRandom(Xorshift128& state, float* samples) const;

    uint32_t GetLinkMode() const { return mode_ & 15u; }
    uint32_t GetSelector() const { return (mode_ >> 4) & 15u; }
    uint16_t GetFlags() const { return flags_; }
    const FloatProperty& GetX() const { return components_[0]; }
    const FloatProperty& GetY() const { return components_[1]; }
    const FloatProperty& GetZ() const { return components_[2]; }

private:
    uint16_t mode_ = 0;
    uint16_t flags_ = FloatProperty::kIsZero | FloatProperty::kIsConstant;
    FloatProperty components_[3];
};

} // namespace FulgorCore
