#pragma once

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/TextureLayer.h"

#include <cstdint>

namespace FulgorCore {

// The palette layer ("TPlt"): the bit fields below, "List", "TxNo", "Offs".
class PaletteTextureLayer : public TextureLayer {
public:
    static constexpr BitFieldTag kEnable{MakeChunkTag("bEbl"), 0, 1};
    static constexpr BitFieldTag kEnableRed{MakeChunkTag("bEbR"), 1, 1};
    static constexpr BitFieldTag kEnableGreen{MakeChunkTag("bEbG"), 2, 1};
    static constexpr BitFieldTag kEnableBlue{MakeChunkTag("bEbB"), 3, 1};
    static constexpr BitFieldTag kEnableAlpha{MakeChunkTag("bEbA"), 4, 1};
    static constexpr BitFieldTag kAddress{MakeChunkTag("TBT"), 5, 2};
    static constexpr BitFieldTag kFilter{MakeChunkTag("TFT"), 7, 2};

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    // The list length, kept in bits 9-16 of the flags word.
    static constexpr uint8_t kListShift = 9;
    uint32_t GetListLength() const { return BitField(flags_, kListShift, 8); }
    // "Offs".
    const FloatProperty& GetOffset() const { return offset_; }

    // -1 for an empty list, entry 0 for one entry, or the entry at "TxNo".
    int32_t TextureIndex(const EvaluationContext& context, float sample, Xorshift128& state) const;

private:
    FloatProperty offset_;
};

} // namespace FulgorCore
