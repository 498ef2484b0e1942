#pragma once

#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Value/EvaluationContext.h"

#include <cstdint>

namespace FulgorCore {

class FloatProperty;
class ParticleResource;

// One of a draw part's eight texture slots seen as one property, whatever
// layer chunk holds it: 0-2 the colour layers ("TCo1"-"TCo3"), 3-4 the
// distortion layers ("TDs1", "TDs2"), 5 the palette ("TPlt"), 6 the normal
// map ("TNrm"), 7 the reflection ("TRef"). Slots 3-7 carry a parameter
// besides the selector: the distortion power, the palette offset, the
// normal strength and the reflection rate.
class TextureSlotProperty {
public:
    static constexpr uint32_t kSlots = 8;
    static constexpr uint32_t kFirstParameterSlot = 3;

    // A slot past 7 reads as slot 7.
    TextureSlotProperty(const ParticleResource& part, uint32_t slot);

    bool IsEnabled() const;
    // Three 2-bit sampler modes (filter, address U, address V) in bits 0-5
    // and a flag in bit 6: a colour layer's mipmap switch, always set for
    // the distortions, the normal map and the reflection, never for the
    // palette. A layer without a field leaves it 0 (the palette's one
    // address mode serves both directions).
    uint32_t GetSamplerWord() const;
    // The selector of the texture list ("TxNo").
    const FloatProperty& GetSelector() const;
    // The slot's parameter; null on slots 0-2.
    const FloatProperty* GetParameter() const;
    // The package texture index this slot shows: -2 for a colour slot that
    // copies the screen, -1 for an empty list, entry 0 of a one-entry list
    // (the selector is not evaluated), else the entry at the truncated
    // selector, its remainder taken non-negative.
    int32_t EvaluateTextureIndex(const EvaluationContext& context, float sample,
                                 Xorshift128& state) const;

private:
    const ParticleResource& part_;
    uint32_t slot_;
};

} // namespace FulgorCore
