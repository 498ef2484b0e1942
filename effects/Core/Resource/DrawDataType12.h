#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 12, a trail of particles: point fields, a length ("Len",
// 100000.0 until the file gives one), six colours and five animated floats.
// A point interval ("PtIv") of 0 is kept as 1, so that nothing divides by
// it.
class DrawDataType12 : public DrawData {
public:
    static constexpr float kDefaultLength = 100000.0f;

    static constexpr BitFieldTag kTDT{MakeChunkTag("TDT"), 0, 3};
    static constexpr BitFieldTag kPtCn{MakeChunkTag("PtCn"), 3, 8};
    static constexpr BitFieldTag kPtCN{MakeChunkTag("PtCN"), 11, 8};
    static constexpr BitFieldTag kPtIv{MakeChunkTag("PtIv"), 19, 8};
    static constexpr BitFieldTag kECE{MakeChunkTag("bECE"), 27, 1};
    static constexpr BitFieldTag kCPE{MakeChunkTag("bCPE"), 28, 1};
    static constexpr BitFieldTag kLHE{MakeChunkTag("bLHE"), 29, 1};
    static constexpr BitFieldTag kNST{MakeChunkTag("bNST"), 30, 1};

    enum Color : uint32_t { kColH = 0, kColC = 1, kColT = 2, kCoEH = 3, kCoEC = 4, kCoET = 5 };
    enum Float : uint32_t { kWid = 0, kWidH = 1, kWidC = 2, kWidT = 3, kDist = 4 };

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetFlags() const { return flags_; }
    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    float GetLength() const { return length_; }
    const ColorProperty& GetColor(Color slot) const { return colors_[slot]; }
    const FloatProperty& GetFloat(Float slot) const { return floats_[slot]; }

private:
    uint32_t flags_ = 0;
    float length_ = kDefaultLength;
    ColorProperty colors_[6];
    FloatProperty floats_[5];
};

} // namespace FulgorCore
