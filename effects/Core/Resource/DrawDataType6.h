#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 6, a trail: its point data ("MdlP", 16-byte entries), point and
// emission fields, six colours and seven animated floats.
class DrawDataType6 : public DrawData {
public:
    static constexpr uint32_t kPointSize = 16;
    // The point count is 16 bits wide; a longer "MdlP" keeps its first
    // points.
    static constexpr uint32_t kMaxPoints = 0xFFFF;

    // Word A (bits 0-15 the point count).
    static constexpr BitFieldTag kType{MakeChunkTag("Type"), 16, 3};
    static constexpr BitFieldTag kPUC{MakeChunkTag("PUC"), 19, 6};
    // Word B.
    static constexpr BitFieldTag kPtCn{MakeChunkTag("PtCn"), 0, 8};
    static constexpr BitFieldTag kPtIv{MakeChunkTag("PtIv"), 8, 8};
    static constexpr BitFieldTag kPtCN{MakeChunkTag("PtCN"), 16, 8};
    static constexpr BitFieldTag kECE{MakeChunkTag("bECE"), 24, 1};
    static constexpr BitFieldTag kCPE{MakeChunkTag("bCPE"), 25, 1};
    static constexpr BitFieldTag kLHE{MakeChunkTag("bLHE"), 26, 1};
    static constexpr BitFieldTag kNST{MakeChunkTag("bNST"), 27, 1};

    enum Color : uint32_t { kColH = 0, kColC = 1, kColT = 2, kCoEH = 3, kCoEC = 4, kCoET = 5 };
    enum Float : uint32_t {
        kWid = 0,
        kWidH = 1,
        kWidC = 2,
        kWidT = 3,
        kLen = 4,
        kSoft = 5,
        kDist = 6,
    };

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetPointCount() const { return wordA_ & kMaxPoints; }
    // The 16 bytes of point i as the file holds them; null past the count.
    const uint8_t* GetPoint(uint32_t i) const {
        return i < GetPointCount() ? points_ + i * kPointSize : nullptr;
    }
    uint32_t GetWordA() const { return wordA_; }
    uint32_t GetWordB() const { return wordB_; }
    uint32_t GetFieldA(const BitFieldTag& field) const { return BitField(wordA_, field); }
    uint32_t GetFieldB(const BitFieldTag& field) const { return BitField(wordB_, field); }
    // "CrIv".
    uint32_t GetCrIv() const { return crIv_; }
    const ColorProperty& GetColor(Color slot) const { return colors_[slot]; }
    const FloatProperty& GetFloat(Float slot) const { return floats_[slot]; }

private:
    const uint8_t* points_ = nullptr;
    uint32_t wordA_ = 0;
    uint32_t wordB_ = 0;
    uint32_t crIv_ = 0;
    ColorProperty colors_[6];
    FloatProperty floats_[7];
};

} // namespace FulgorCore
