#include "effects/Core/Resource/TextureSlotProperty.h"

#include "effects/Core/Resource/ParticleResource.h"

namespace FulgorCore {

namespace {

// The device reads the word as filter (bits 0-1), address U (2-3), address
// V (4-5) and a flag (6).
uint32_t Pack(uint32_t filter, uint32_t addressU, uint32_t addressV, uint32_t flag) {
    return (filter & 3u) | ((addressU & 3u) << 2) | ((addressV & 3u) << 4) | ((flag & 1u) << 6);
}

} // namespace

TextureSlotProperty::TextureSlotProperty(const ParticleResource& part, uint32_t slot)
    : part_(part), slot_(slot < kSlots ? slot : kSlots - 1) {}

bool TextureSlotProperty::IsEnabled() const {
    switch (slot_) {
    case 0:
    case 1:
    case 2:
        return part_.GetColorLayer(slot_)->GetField(ColorTextureLayer::kEnable) != 0;
    case 3:
    case 4:
        return part_.GetDistortionLayer(slot_ - 3)->GetField(DistortionTextureLayer::kEnable) != 0;
    case 5:
        return part_.GetPaletteLayer().GetField(PaletteTextureLayer::kEnable) != 0;
    case 6:
        return part_.GetNormalLayer().GetField(NormalTextureLayer::kEnable) != 0;
    default:
        return part_.GetReflectionLayer().GetField(ReflectionTextureLayer::kEnable) != 0;
    }
}

uint32_t TextureSlotProperty::GetSamplerWord() const {
    switch (slot_) {
    case 0:
    case 1:
    case 2: {
        const ColorTextureLayer& l = *part_.GetColorLayer(slot_);
        return Pack(
            l.GetField(ColorTextureLayer::kFilter), l.GetField(ColorTextureLayer::kAddressU),
            l.GetField(ColorTextureLayer::kAddressV), l.GetField(ColorTextureLayer::kMipmap));
    }
    // The distortions and the normal map always carry the flag.
    case 3:
    case 4: {
        const DistortionTextureLayer& l = *part_.GetDistortionLayer(slot_ - 3);
        return Pack(l.GetField(DistortionTextureLayer::kFilter),
                    l.GetField(DistortionTextureLayer::kAddressU),
                    l.GetField(DistortionTextureLayer::kAddressV), 1);
    }
    case 5: {
        // One address mode for both directions, never the flag.
        const PaletteTextureLayer& l = part_.GetPaletteLayer();
        const uint32_t address = l.GetField(PaletteTextureLayer::kAddress);
        return Pack(l.GetField(PaletteTextureLayer::kFilter), address, address, 0);
    }
    case 6: {
        const NormalTextureLayer& l = part_.GetNormalLayer();
        return Pack(l.GetField(NormalTextureLayer::kFilter),
                    l.GetField(NormalTextureLayer::kAddressU),
                    l.GetField(NormalTextureLayer::kAddressV), 1);
    }
    default:
        // The reflection has a filter only, and always the flag.
        return Pack(part_.GetReflectionLayer().GetField(ReflectionTextureLayer::kFilter), 0, 0, 1);
    }
}

const FloatProperty& TextureSlotProperty::GetSelector() const {
    switch (slot_) {
    case 0:
    case 1:
    case 2:
        return part_.GetColorLayer(slot_)->GetTextureNumber();
    case 3:
    case 4:
        return part_.GetDistortionLayer(slot_ - 3)->GetTextureNumber();
    case 5:
        return part_.GetPaletteLayer().GetTextureNumber();
    case 6:
        return part_.GetNormalLayer().GetTextureNumber();
    default:
        return part_.GetReflectionLayer().GetTextureNumber();
    }
}

const FloatProperty* TextureSlotProperty::GetParameter() const {
    switch (slot_) {
    case 3:
    case 4:
        return &part_.GetDistortionLayer(slot_ - 3)->GetPower();
    case 5:
        return &part_.GetPaletteLayer().GetOffset();
    case 6:
        return &part_.GetNormalLayer().GetScale();
    case 7:
        return &part_.GetReflectionLayer().GetBlend();
    default:
        return nullptr;
    }
}

int32_t TextureSlotProperty::EvaluateTextureIndex(const EvaluationContext& context, float sample,
                                                  Xorshift128& state) const {
    switch (slot_) {
    case 0:
    case 1:
    case 2:
        return part_.GetColorLayer(slot_)->TextureIndex(context, sample, state);
    case 3:
    case 4:
        return part_.GetDistortionLayer(slot_ - 3)->TextureIndex(context, sample, state);
    case 5:
        return part_.GetPaletteLayer().TextureIndex(context, sample, state);
    case 6:
        return part_.GetNormalLayer().TextureIndex(context, sample, state);
    default:
        return part_.GetReflectionLayer().TextureIndex(context, sample, state);
    }
}

} // namespace FulgorCore
