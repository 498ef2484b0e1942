#pragma once

#include "effects/Core/Resource/ColorGradient.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// A colour: a gradient ("Rgba") times five animated channels, brightness
// ("Brig"), red ("Red"), green ("Gree"), blue ("Blue") and alpha ("Alph").
// A channel that is always exactly 1, or that the file leaves out, is the
// neutral 1 and never evaluated.
class ColorProperty {
public:
    enum Channel : uint32_t { kRed = 0, kGreen = 1, kBlue = 2, kAlpha = 3, kBrightness = 4 };
    // Channel flags: bit 0 brightness, bits 1-4 red, green, blue, alpha; set
    // when the file gives the channel a value that is not always exactly 1.
    static constexpr uint16_t kUsesBrightness = 1u << 0;
    static constexpr uint16_t kUsesRed = 1u << 1;
    static constexpr uint16_t kUsesGreen = 1u << 2;
    static constexpr uint16_t kUsesBlue = 1u << 3;
    static constexpr uint16_t kUsesAlpha = 1u << 4;
    // Summary flags, for a gradient of fewer than 2 keys: bit 1 when red,
    // green, blue and alpha all take part, bit 2 when all five channels are
    // constant.
    static constexpr uint16_t kAllColorChannels = 1u << 1;
    static constexpr uint16_t kConstant = 1u << 2;

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    // samples: red, green, blue, alpha, brightness.
    void Evaluate(const EvaluationContext& context, const float* samples, Xorshift128& state,
                  float* rgba) const;
    // One sample per channel, in the order of the samples array.
    void SampleRandom(Xorshift128& state, float* samples) const;

    const ColorGradient& GetGradient() const { return gradient_; }
    const FloatProperty& GetChannel(Channel channel) const;
    uint16_t GetSummaryFlags() const { return summaryFlags_; }
    // The same colour at every time and for every sample: evaluated once.
    bool IsConstant() const { return (summaryFlags_ & kConstant) != 0; }
    uint16_t GetChannelFlags() const { return channelFlags_; }

private:
    ColorGradient gradient_;
    FloatProperty brightness_;
    // Red, green, blue, alpha.
    FloatProperty color_[4];
    uint16_t summaryFlags_ = 0;
    uint16_t channelFlags_ = 0;
};

} // namespace FulgorCore
