#pragma once

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/TextureLayer.h"

#include <cstdint>

namespace FulgorCore {

// The normal-map layer ("TNrm"): the bit fields below, "List", "TxNo", "Scl".
class NormalTextureLayer : public TextureLayer {
public:
    static constexpr BitFieldTag kEnable{MakeChunkTag("bEbl"), 0, 1};
    static constexpr BitFieldTag kUvSet{MakeChunkTag("UvSt"), 1, 3};
    static constexpr BitFieldTag kAddressU{MakeChunkTag("TBUT"), 4, 2};
    static constexpr BitFieldTag kAddressV{MakeChunkTag("TBVT"), 6, 2};
    static constexpr BitFieldTag kFilter{MakeChunkTag("TFT"), 8, 2};

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    // The list length, kept in bits 10-17 of the flags word.
    static constexpr uint8_t kListShift = 10;
    uint32_t GetListLength() const { return BitField(flags_, kListShift, 8); }
    // "Scl".
    const FloatProperty& GetScale() const { return scale_; }

    // -1 for an empty list, entry 0 for one entry, or the entry at "TxNo".
    int32_t TextureIndex(const EvaluationContext& context, float sample, Xorshift128& state) const;

private:
    FloatProperty scale_;
};

} // namespace FulgorCore
