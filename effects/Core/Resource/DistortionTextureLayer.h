#pragma once

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/TextureLayer.h"

#include <cstdint>

namespace FulgorCore {

// A distortion layer ("TDs1", "TDs2"): the bit fields below, "List", "TxNo", "Pow".
class DistortionTextureLayer : public TextureLayer {
public:
    static constexpr BitFieldTag kEnable{MakeChunkTag("bEbl"), 0, 1};
    static constexpr BitFieldTag kUvSet{MakeChunkTag("UvSt"), 1, 3};
    static constexpr BitFieldTag kMask{MakeChunkTag("bMsk"), 4, 1};
    static constexpr BitFieldTag kUvSetMask{MakeChunkTag("UvSM"), 5, 3};
    static constexpr BitFieldTag kTarget1{MakeChunkTag("Tgt1"), 8, 1};
    static constexpr BitFieldTag kTarget2{MakeChunkTag("Tgt2"), 9, 1};
    static constexpr BitFieldTag kTarget3{MakeChunkTag("Tgt3"), 10, 1};
    static constexpr BitFieldTag kTarget4{MakeChunkTag("Tgt4"), 11, 1};
    static constexpr BitFieldTag kTarget5{MakeChunkTag("Tgt5"), 12, 1};
    static constexpr BitFieldTag kTarget6{MakeChunkTag("Tgt6"), 13, 1};
    static constexpr BitFieldTag kAddressU{MakeChunkTag("TBUT"), 14, 2};
    static constexpr BitFieldTag kAddressV{MakeChunkTag("TBVT"), 16, 2};
    static constexpr BitFieldTag kFilter{MakeChunkTag("TFT"), 18, 2};

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    // The list length, kept in bits 20-27 of the flags word.
    static constexpr uint8_t kListShift = 20;
    uint32_t GetListLength() const { return BitField(flags_, kListShift, 8); }
    // "Pow".
    const FloatProperty& GetPower() const { return power_; }

    // -1 for an empty list, entry 0 for one entry, or the entry at "TxNo".
    int32_t TextureIndex(const EvaluationContext& context, float sample, Xorshift128& state) const;

private:
    FloatProperty power_;
};

} // namespace FulgorCore
