#pragma once

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/TextureLayer.h"

#include <cstdint>

namespace FulgorCore {

// The colour layer of a draw part ("TCo1", "TCo2", "TCo3"): the bit fields below, "List", "TxNo".
class ColorTextureLayer : public TextureLayer {
public:
    static constexpr BitFieldTag kEnable{MakeChunkTag("bEbl"), 0, 1};
    static constexpr BitFieldTag kScreenCopy{MakeChunkTag("bScC"), 1, 1};
    static constexpr BitFieldTag kMipmap{MakeChunkTag("bMip"), 2, 1};
    static constexpr BitFieldTag kUvColor{MakeChunkTag("UvC"), 3, 3};
    static constexpr BitFieldTag kUvAlpha{MakeChunkTag("UvA"), 6, 3};
    static constexpr BitFieldTag kColorChannel{MakeChunkTag("TCCT"), 9, 3};
    static constexpr BitFieldTag kAlphaChannel{MakeChunkTag("TCAT"), 12, 3};
    static constexpr BitFieldTag kAddressU{MakeChunkTag("TBUT"), 15, 2};
    static constexpr BitFieldTag kAddressV{MakeChunkTag("TBVT"), 17, 2};
    static constexpr BitFieldTag kFilter{MakeChunkTag("TFT"), 19, 2};
    static constexpr BitFieldTag kColorSource{MakeChunkTag("CST"), 21, 4};
    static constexpr BitFieldTag kColorScale{MakeChunkTag("CScl"), 25, 2};

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    uint32_t GetListLength() const { return listLength_; }

    // -2 (the first built-in texture) when "bScC" is set; else -1 for an
    // empty list, entry 0 for one entry, or the entry at "TxNo".
    int32_t TextureIndex(const EvaluationContext& context, float sample, Xorshift128& state) const;

private:
    uint8_t listLength_ = 0;
};

} // namespace FulgorCore
