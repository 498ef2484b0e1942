#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Resource/EmissionEntry.h"

#include <cstdint>

namespace FulgorCore {

class PackageResource;

// Draw type 4, a particle batch: the sub-chunks of its "MPDt" (the first
// one of the "DatP"), three words of bit fields, colour keys, float
// parameters, the field parameters seeded from "FNS " and the emission
// table of "CrCt" x "BPCt" entries that the package build has filled.
class DrawDataType4 : public DrawData {
public:
    // Count word. The interval field is set by "CrIv" (its value times 10)
    // and by "CrI2" (its value).
    static constexpr BitFieldTag kDTyp{MakeChunkTag("DTyp"), 0, 2};
    static constexpr BitFieldTag kCrCt{MakeChunkTag("CrCt"), 2, 12};
    static constexpr BitFieldTag kInterval{MakeChunkTag("CrI2"), 14, 12};
    // Life word.
    static constexpr BitFieldTag kLife{MakeChunkTag("Life"), 0, 12};
    static constexpr BitFieldTag kCrPT{MakeChunkTag("CrPT"), 12, 3};
    static constexpr BitFieldTag kCrDT{MakeChunkTag("CrDT"), 15, 3};
    static constexpr BitFieldTag kScL{MakeChunkTag("bScL"), 18, 1};
    static constexpr BitFieldTag kGoTT{MakeChunkTag("GoTT"), 19, 1};
    static constexpr BitFieldTag kGoIT{MakeChunkTag("GoIT"), 20, 2};
    static constexpr BitFieldTag kTCDU{MakeChunkTag("TCDU"), 22, 8};
    // Flag word.
    static constexpr BitFieldTag kTCDV{MakeChunkTag("TCDV"), 0, 8};
    static constexpr BitFieldTag kTCAI{MakeChunkTag("TCAI"), 8, 8};
    static constexpr BitFieldTag kIfL{MakeChunkTag("bIfL"), 16, 1};
    static constexpr BitFieldTag kTAO{MakeChunkTag("bTAO"), 17, 1};
    static constexpr BitFieldTag kTRU{MakeChunkTag("bTRU"), 18, 1};
    // Cleared after the read when "TCAI" is 0.
    static constexpr BitFieldTag kTAK{MakeChunkTag("bTAK"), 19, 1};
    static constexpr BitFieldTag kTAR{MakeChunkTag("bTAR"), 20, 1};
    static constexpr BitFieldTag kOPT{MakeChunkTag("bOPT"), 21, 1};
    static constexpr BitFieldTag kORD{MakeChunkTag("bORD"), 22, 1};
    static constexpr BitFieldTag kOBD{MakeChunkTag("bOBD"), 23, 1};
    static constexpr BitFieldTag kLGT{MakeChunkTag("bLGT"), 24, 1};
    static constexpr BitFieldTag kAUS{MakeChunkTag("bAUS"), 25, 1};

    static constexpr uint32_t kDefaultSeed = 12345;

    // The float fields, in record order: four colour keys (r, g, b, a
    // each), the ranges, the goal terms ("GoFO", "GoFW" from integers),
    // the initial scale and rotation terms, the motion terms and the batch
    // axis and offset.
    enum Float : uint32_t {
        kCoR1,
        kCoG1,
        kCoB1,
        kCoA1,
        kCoR2,
        kCoG2,
        kCoB2,
        kCoA2,
        kCoR3,
        kCoG3,
        kCoB3,
        kCoA3,
        kCoR4,
        kCoG4,
        kCoB4,
        kCoA4,
        kLMin,
        kLMax,
        kIjA1,
        kIjA2,
        kCrA1,
        kCrA2,
        kGoFO,
        kGoFW,
        kGoTR,
        kSIX1,
        kSIY1,
        kSIZ1,
        kSIX2,
        kSIY2,
        kSIZ2,
        kSSX1,
        kSSY1,
        kSSZ1,
        kSSX2,
        kSSY2,
        kSSZ2,
        kSRX,
        kSRY,
        kSRZ,
        kRIX1,
        kRIY1,
        kRIZ1,
        kRIX2,
        kRIY2,
        kRIZ2,
        kRSX1,
        kRSY1,
        kRSZ1,
        kRSX2,
        kRSY2,
        kRSZ2,
        kRRX,
        kRRY,
        kRRZ,
        kMSP1,
        kMSP2,
        kMvAX,
        kMvAY,
        kMvAZ,
        kMvRX,
        kMvRY,
        kMvRZ,
        kBAAX,
        kBAAY,
        kBAAZ,
        kBPOX,
        kBPOY,
        kBPOZ,
        kFInf,
        kFloatCount
    };

    // A negative "BPCt" gives no table; a zero "FArX", "FArY" or "FArZ" is
    // taken as 1.0 so the field scale stays finite.
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    // Hands the table to the emission-table generator, once, after the
    // package has read all its chunks.
    void FillEmissionTable(const PackageResource* package) const;

    uint32_t GetCountWord() const { return countWord_; }
    uint32_t GetLifeWord() const { return lifeWord_; }
    uint32_t GetFlagWord() const { return flagWord_; }
    uint32_t GetCountField(const BitFieldTag& f) const { return BitField(countWord_, f); }
    uint32_t GetLifeField(const BitFieldTag& f) const { return BitField(lifeWord_, f); }
    uint32_t GetFlagField(const BitFieldTag& f) const { return BitField(flagWord_, f); }
    uint32_t GetCrMd() const { return crMd_; }
    uint32_t GetGoMd() const { return goMd_; }
    // "CoF1" to "CoF4" for i = 0-3; 0 past them.
    uint32_t GetColorTime(uint32_t i) const { return i < 4 ? colorTimes_[i] : 0u; }
    float GetFloat(Float slot) const { return floats_[slot]; }
    int32_t GetBPCt() const { return bpCt_; }
    // 256 x "FFrX" / "FArX" and likewise for Y and Z (i = 0-2).
    float GetFieldScale(uint32_t i) const { return i < 3 ? fieldScale_[i] : 0.0f; }
    // In [0, 256), from the seed.
    float GetFieldOffset(uint32_t i) const { return i < 3 ? fieldOffset_[i] : 0.0f; }
    // "bFld": 1 when its value was nonzero.
    uint32_t GetFieldOn() const { return fieldOn_; }
    uint32_t GetEmissionEntryCount() const { return emissionCount_; }
    // Null when the table has no entries.
    const EmissionEntry* GetEmissionTable() const { return emissionTable_; }

private:
    void ReadParameters(const BuildContext& context, const void* payload, uint32_t size);

    uint32_t countWord_ = 0;
    uint32_t lifeWord_ = 0;
    uint32_t flagWord_ = 0;
    uint8_t crMd_ = 0;
    uint8_t goMd_ = 0;
    uint16_t colorTimes_[4] = {};
    float floats_[kFloatCount] = {};
    int16_t bpCt_ = 0;
    float fieldScale_[3] = {};
    float fieldOffset_[3] = {};
    uint32_t fieldOn_ = 0;
    uint32_t emissionCount_ = 0;
    EmissionEntry* emissionTable_ = nullptr;
};

} // namespace FulgorCore
