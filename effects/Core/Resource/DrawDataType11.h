#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/DrawData.h"

#include <cstdint>

namespace FulgorCore {

struct BuildContext;

// Draw type 11: flags ("bRZ" set until the file clears it), the two "DwPx"
// and "DwPy" words and a "Key" list of 28-byte entries.
class DrawDataType11 : public DrawData {
public:
    static constexpr uint32_t kKeySize = 28;
    // The key count is 16 bits wide (bits 4-19); a longer list keeps its
    // first keys.
    static constexpr uint32_t kMaxKeys = 0xFFFF;

    static constexpr BitFieldTag kLightEnable{MakeChunkTag("bLtE"), 0, 1};
    static constexpr BitFieldTag kRotateXY{MakeChunkTag("bRXY"), 1, 1};
    static constexpr BitFieldTag kRotateZ{MakeChunkTag("bRZ"), 2, 1};
    static constexpr BitFieldTag kTxF{MakeChunkTag("bTxF"), 3, 1};

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t GetFlags() const { return flags_; }
    uint32_t GetField(const BitFieldTag& field) const { return BitField(flags_, field); }
    uint32_t GetKeyCount() const { return BitField(flags_, 4, 16); }
    // The 28 bytes of key i as the file holds them; null past the count.
    const uint8_t* GetKey(uint32_t i) const {
        return i < GetKeyCount() ? keys_ + i * kKeySize : nullptr;
    }
    float GetDwPx() const { return dwPx_; }
    float GetDwPy() const { return dwPy_; }

private:
    uint32_t flags_ = 1u << kRotateZ.shift;
    float dwPx_ = 0.0f;
    float dwPy_ = 0.0f;
    const uint8_t* keys_ = nullptr;
};

} // namespace FulgorCore
