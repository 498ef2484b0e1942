#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/DrawData.h"

#include <cstdint>

namespace FulgorCore {

struct BuildContext;

// Draw type 2: one flags word, "bRZ" set until the file clears it.
class DrawDataType2 : public DrawData {
public:
    static constexpr BitFieldTag kUvType{MakeChunkTag("UvT"), 0, 2};
    static constexpr BitFieldTag kDivisionsU{MakeChunkTag("DivU"), 2, 6};
    static constexpr BitFieldTag kDivisionsV{MakeChunkTag("DivV"), 8, 6};
    static constexpr BitFieldTag kAnimationIndex{MakeChunkTag("AnmI"), 14, 6};
    static constexpr BitFieldTag kLightEnable{MakeChunkTag("bLtE"), 20, 1};
    static constexpr BitFieldTag kRotateXY{MakeChunkTag("bRXY"), 21, 1};
    static constexpr BitFieldTag kRotateZ{MakeChunkTag("bRZ"), 22, 1};

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetFlags() const { return flags_; }
    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }

private:
    uint32_t flags_ = 1u << kRotateZ.shift;
};

} // namespace FulgorCore
