#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/FloatTripleProperty.h"

#include <cstdint>

namespace FulgorCore {

// A point a bind attaches to: "BATT" and "BAPT" fields, a name ("BAPN")
// and an animated position ("Pos").
class AttachPoint {
public:
    static constexpr BitFieldTag kTargetType{MakeChunkTag("BATT"), 0, 4};
    static constexpr BitFieldTag kPointType{MakeChunkTag("BAPT"), 4, 4};

    // The name is copied into the block up to its first zero and always
    // ends with one, whether or not the file's text did.
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetFlags() const { return flags_; }
    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    // Null when the file gave none.
    const char* GetName() const { return name_; }
    const FloatTripleProperty& GetPosition() const { return position_; }

private:
    uint32_t flags_ = 0;
    const char* name_ = nullptr;
    FloatTripleProperty position_;
};

} // namespace FulgorCore
