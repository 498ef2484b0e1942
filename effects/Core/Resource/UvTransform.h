#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/FloatPairProperty.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// One texture-coordinate layer of a draw part ("TUvS"): an animated scale
// pair ("Scl"), scroll pair ("Scr") and rotation ("Rot"), with "UvCT" and
// "UvOT" (defaults 0 and 1). Bit 4 of the flags is set when "UvCT" is 0,
// bit 5 when "UvOT" is 1, both worked out after the chunks.
class UvTransform {
public:
    static constexpr BitFieldTag kCoordinateType{MakeChunkTag("UvCT"), 0, 2};
    static constexpr BitFieldTag kOrderType{MakeChunkTag("UvOT"), 2, 2};
    static constexpr uint32_t kCoordinateTypeZero = 1u << 4;
    static constexpr uint32_t kOrderTypeOne = 1u << 5;

    // What one evaluation gives: flag bit 0 = flags bit 4, flag bit 1 =
    // flags bit 5, then the pairs and the rotation.
    struct Value {
        uint8_t flags;
        float scale[2];
        float scroll[2];
        float rotation;
    };

    // Samples: scale 0-1, scroll 2-3, rotation 4.
    static constexpr uint32_t kSamples = 5;

    UvTransform();

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    void Evaluate(const EvaluationContext& context, const float* samples, Xorshift128& state,
                  Value& out) const;
    void SampleRandom(Xorshift128& state, float* samples) const;
    void SampleRandom(HeldRandom& random, float* samples) const {
        scale_.SampleRandom(random, samples);
        scroll_.SampleRandom(random, samples + 2);
        samples[4] = rotation_.SampleRandom(random);
    }

    uint32_t GetFlags() const { return flags_; }
    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    const FloatPairProperty& GetScale() const { return scale_; }
    const FloatPairProperty& GetScroll() const { return scroll_; }
    const FloatProperty& GetRotation() const { return rotation_; }

private:
    uint32_t flags_;
    FloatPairProperty scale_;
    FloatPairProperty scroll_;
    FloatProperty rotation_;
};

} // namespace FulgorCore
