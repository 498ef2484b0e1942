#pragma once

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/TextureLayer.h"

#include <cstdint>

namespace FulgorCore {

// The reflection layer ("TRef"): the bit fields below, "List", "TxNo", "Blnd".
class ReflectionTextureLayer : public TextureLayer {
public:
    static constexpr BitFieldTag kEnable{MakeChunkTag("bEbl"), 0, 1};
    static constexpr BitFieldTag kApply{MakeChunkTag("bApp"), 1, 1};
    static constexpr BitFieldTag kColorChannel{MakeChunkTag("TCCT"), 2, 3};
    static constexpr BitFieldTag kFilter{MakeChunkTag("TFT"), 5, 2};

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    // The list length, kept in bits 7-14 of the flags word.
    static constexpr uint8_t kListShift = 7;
    uint32_t GetListLength() const { return BitField(flags_, kListShift, 8); }
    // "Blnd".
    const FloatProperty& GetBlend() const { return blend_; }

    // -1 for an empty list, entry 0 for one entry, or the entry at "TxNo".
    int32_t TextureIndex(const EvaluationContext& context, float sample, Xorshift128& state) const;

private:
    FloatProperty blend_;
};

} // namespace FulgorCore
