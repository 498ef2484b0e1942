#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 5, a model: a "List" of model numbers chosen by "MdAN" or
// blended by "MrBR", material floats and the rim terms ("FrCB", "FrCE",
// "FrC", "FrO", "FrD").
class DrawDataType5 : public DrawData {
public:
    static constexpr BitFieldTag kMorph{MakeChunkTag("bMrf"), 0, 1};
    static constexpr BitFieldTag kLighting{MakeChunkTag("bLgt"), 1, 1};
    // "bPBL" and "bSpc" write the same bit.
    static constexpr BitFieldTag kPhysical{MakeChunkTag("bPBL"), 2, 1};
    static constexpr BitFieldTag kSpecular{MakeChunkTag("bSpc"), 2, 1};
    static constexpr BitFieldTag kUvPass1{MakeChunkTag("UvP1"), 3, 1};
    static constexpr BitFieldTag kUvPass2{MakeChunkTag("UvP2"), 4, 1};
    static constexpr BitFieldTag kUvPass3{MakeChunkTag("UvP3"), 5, 1};
    static constexpr BitFieldTag kUvPass4{MakeChunkTag("UvP4"), 6, 1};
    static constexpr BitFieldTag kUvPass5{MakeChunkTag("UvP5"), 7, 1};
    static constexpr BitFieldTag kUvPass6{MakeChunkTag("UvP6"), 8, 1};
    static constexpr BitFieldTag kRimType{MakeChunkTag("FreT"), 9, 3};
    static constexpr BitFieldTag kVertexColorType{MakeChunkTag("VCCT"), 12, 3};
    // The list length, kept in bits 15-22.
    static constexpr uint8_t kListShift = 15;

    // The animated floats, in field order.
    enum Float : uint32_t {
        kMtFo = 0,
        kMtRh = 1,
        kMtMl = 2,
        // The list position of ListEntry.
        kMdAN = 3,
        // The blend position of BlendedEntries.
        kMrBR = 4,
        kFrC = 5,
        kFrO = 6,
    };
    enum Color : uint32_t { kFrCB = 0, kFrCE = 1 };

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    // -1 for an empty list, entry 0 for one entry, else the entry at "MdAN".
    int32_t ListEntry(const EvaluationContext& context, float sample, Xorshift128& state) const;
    // The two entries around "MrBR" and the fraction between them: -1 twice
    // and 0 for an empty list, entry 0 twice and 0 for one entry. A
    // negative position first moves up by whole lists.
    float BlendedEntries(const EvaluationContext& context, float sample, Xorshift128& state,
                         int32_t& first, int32_t& second) const;

    uint32_t GetFlags() const { return flags_; }
    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    uint32_t GetListLength() const { return BitField(flags_, kListShift, 8); }
    const int8_t* GetList() const { return list_; }
    const FloatProperty& GetFloat(Float slot) const { return floats_[slot]; }
    const ColorProperty& GetColor(Color slot) const { return colors_[slot]; }
    // "FrD".
    const FloatTripleProperty& GetRimDirection() const { return rimDirection_; }

private:
    uint32_t flags_ = 0;
    const int8_t* list_ = nullptr;
    FloatProperty floats_[7];
    ColorProperty colors_[2];
    FloatTripleProperty rimDirection_;
};

} // namespace FulgorCore
