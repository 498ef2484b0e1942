#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"

#include <cstdint>

namespace FulgorCore {

// One spawn entry of an emitter ("GeUI"), its fields as the emitter units
// read them.
class EmitterSpawnEntry {
public:
    // Flags byte: "bEbl" and "bLiI" keep bit 0 of their value, the others
    // are set by any nonzero value.
    static constexpr uint8_t kEnabled = 1u << 0; // "bEbl"
    static constexpr uint8_t kLiI = 1u << 1;     // "bLiI"
    static constexpr uint8_t kLSF = 1u << 2;     // "bLSF"
    static constexpr uint8_t kLfS = 1u << 3;     // "bLfS"
    static constexpr uint8_t kCVN = 1u << 4;     // "bCVN"
    // The packed word.
    static constexpr BitFieldTag kGeLA{MakeChunkTag("GeLA"), 0, 8};
    static constexpr BitFieldTag kApCl{MakeChunkTag("ApCl"), 8, 8};
    static constexpr BitFieldTag kApCd{MakeChunkTag("ApCd"), 16, 8};
    static constexpr BitFieldTag kApbS{MakeChunkTag("ApbS"), 24, 1};
    static constexpr BitFieldTag kApbR{MakeChunkTag("ApbR"), 25, 1};
    static constexpr BitFieldTag kApbT{MakeChunkTag("ApbT"), 26, 1};
    static constexpr BitFieldTag kPLSc{MakeChunkTag("PLSc"), 27, 1};
    static constexpr BitFieldTag kPLRt{MakeChunkTag("PLRt"), 28, 1};
    static constexpr BitFieldTag kPLPs{MakeChunkTag("PLPs"), 29, 1};
    static constexpr BitFieldTag kPLCl{MakeChunkTag("PLCl"), 30, 1};

    // Fills the entry from the item's sub-chunks.
    void Read(const void* payload, uint32_t size);

    uint32_t GetFlags() const { return flags_; }
    uint32_t GetTgUI() const { return tgUI_; }
    uint32_t GetUST() const { return ust_; }
    uint32_t GetGeIT() const { return geIT_; }
    uint32_t GetGeIC() const { return geIC_; }
    uint32_t GetGeIP() const { return geIP_; }
    uint32_t GetGeSD() const { return geSD_; }
    uint32_t GetOvLf() const { return ovLf_; }
    uint32_t GetLif() const { return lif_; }
    uint32_t GetLifR() const { return lifR_; }
    uint32_t GetVNOf() const { return vnOf_; }
    // "REIX", "REIY", "REIZ" as the file holds them.
    const float* GetREI() const { return rei_; }
    uint32_t GetPLNo() const { return plNo_; }
    uint32_t GetPacked() const { return packed_; }
    uint32_t GetField(const BitFieldTag& field) const { return BitField(packed_, field); }

private:
    uint8_t flags_ = 0;
    uint8_t tgUI_ = 0;
    uint16_t ust_ = 0;
    uint16_t geIT_ = 0;
    uint16_t geIC_ = 0;
    uint16_t geIP_ = 0;
    uint16_t geSD_ = 0;
    uint16_t ovLf_ = 0;
    uint16_t lif_ = 0;
    uint16_t lifR_ = 0;
    uint16_t vnOf_ = 0;
    float rei_[3] = {};
    uint8_t plNo_ = 0;
    uint32_t packed_ = 0;
};

} // namespace FulgorCore
