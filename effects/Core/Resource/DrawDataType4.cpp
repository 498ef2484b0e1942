#include "effects/Core/Resource/DrawDataType4.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Unit/GenerateEmissionTable.h"

#include <array>
#include <new>

namespace FulgorCore {

namespace {

using D = DrawDataType4;

const BitFieldTag kCountFields[] = {D::kDTyp, D::kCrCt, D::kInterval};
const BitFieldTag kLifeFields[] = {D::kLife, D::kCrPT, D::kCrDT, D::kScL,
                                   D::kGoTT, D::kGoIT, D::kTCDU};
const BitFieldTag kFlagFields[] = {D::kTCDV, D::kTCAI, D::kIfL, D::kTAO, D::kTRU, D::kTAK,
                                   D::kTAR,  D::kOPT,  D::kORD, D::kOBD, D::kLGT, D::kAUS};

// The float chunks in slot order.
constexpr const char kFloatTags[D::kFloatCount][5] = {
    "CoR1", "CoG1", "CoB1", "CoA1", "CoR2", "CoG2", "CoB2", "CoA2", "CoR3", "CoG3", "CoB3", "CoA3",
    "CoR4", "CoG4", "CoB4", "CoA4", "LMin", "LMax", "IjA1", "IjA2", "CrA1", "CrA2", "GoFO", "GoFW",
    "GoTR", "SIX1", "SIY1", "SIZ1", "SIX2", "SIY2", "SIZ2", "SSX1", "SSY1", "SSZ1", "SSX2", "SSY2",
    "SSZ2", "SRX",  "SRY",  "SRZ",  "RIX1", "RIY1", "RIZ1", "RIX2", "RIY2", "RIZ2", "RSX1", "RSY1",
    "RSZ1", "RSX2", "RSY2", "RSZ2", "RRX",  "RRY",  "RRZ",  "MSP1", "MSP2", "MvAX", "MvAY", "MvAZ",
    "MvRX", "MvRY", "MvRZ", "BAAX", "BAAY", "BAAZ", "BPOX", "BPOY", "BPOZ", "FInf"};

// A tag of three or four characters as its word (a shorter one ends at its
// terminator, as MakeChunkTag reads it).
constexpr uint32_t TagOf(const char (&text)[5]) {
    uint32_t tag = 0;
    for (int i = 0; i < 4 && text[i]; ++i)
        tag = tag << 8 | static_cast<uint8_t>(text[i]);
    return tag;
}
static_assert(TagOf(kFloatTags[37]) == MakeChunkTag("SRX"));

// Their tag words, made once at compile time: the loader looks every chunk
// of a table up here.
constexpr auto kFloatTagWords = [] {
    std::array<uint32_t, D::kFloatCount> words{};
    for (uint32_t i = 0; i < D::kFloatCount; ++i)
        words[i] = TagOf(kFloatTags[i]);
    return words;
}();

// The slot of a float chunk, or kFloatCount.
uint32_t FloatSlot(uint32_t tag) {
    for (uint32_t i = 0; i < D::kFloatCount; ++i)
        if (kFloatTagWords[i] == tag)
            return i;
    return D::kFloatCount;
}

constexpr uint32_t kFieldTags[3] = {MakeChunkTag("FArX"), MakeChunkTag("FArY"),
                                    MakeChunkTag("FArZ")};
constexpr uint32_t kFrequencyTags[3] = {MakeChunkTag("FFrX"), MakeChunkTag("FFrY"),
                                        MakeChunkTag("FFrZ")};

int32_t IndexOf(const uint32_t (&tags)[3], uint32_t tag) {
    for (int32_t i = 0; i < 3; ++i)
        if (tags[i] == tag)
            return i;
    return -1;
}

} // namespace

void DrawDataType4::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (chunk.tag == MakeChunkTag("MPDt")) {
            // One "MPDt" makes the record; another would make a second table.
            ReadParameters(context, chunk.payload, chunk.size);
            return;
        }
    }
}

void DrawDataType4::ReadParameters(const BuildContext& context, const void* payload,
                                   uint32_t size) {
    float frequency[3] = {1.0f, 1.0f, 1.0f};
    uint32_t seed = kDefaultSeed;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kCountFields, countWord_) ||
            StoreBitField(chunk, kLifeFields, lifeWord_) ||
            StoreBitField(chunk, kFlagFields, flagWord_))
            continue;
        if (const uint32_t slot = FloatSlot(chunk.tag); slot < kFloatCount) {
            floats_[slot] = slot == kGoFO || slot == kGoFW ? chunk.IntAsFloat() : chunk.Float();
            continue;
        }
        if (const int32_t i = IndexOf(kFieldTags, chunk.tag); i >= 0) {
            fieldScale_[i] = chunk.Float();
            continue;
        }
        if (const int32_t i = IndexOf(kFrequencyTags, chunk.tag); i >= 0) {
            frequency[i] = chunk.Float();
            continue;
        }
        switch (chunk.tag) {
        case MakeChunkTag("CrIv"):
            countWord_ =
                WithBitField(countWord_, kInterval.shift, kInterval.width, chunk.U32() * 10u);
            break;
        case MakeChunkTag("CrMd"):
            crMd_ = chunk.U8();
            break;
        case MakeChunkTag("GoMd"):
            goMd_ = chunk.U8();
            break;
        case MakeChunkTag("CoF1"):
        case MakeChunkTag("CoF2"):
        case MakeChunkTag("CoF3"):
        case MakeChunkTag("CoF4"):
            colorTimes_[chunk.tag - MakeChunkTag("CoF1")] = chunk.U16();
            break;
        case MakeChunkTag("BPCt"):
            bpCt_ = chunk.I16();
            break;
        case MakeChunkTag("bFld"):
            fieldOn_ = chunk.Flag() ? 1u : 0u;
            break;
        case MakeChunkTag("FNS "):
            seed = chunk.U32();
            break;
        default:
            break;
        }
    }

    for (int i = 0; i < 3; ++i) {
        const float area = fieldScale_[i] != 0.0f ? fieldScale_[i] : 1.0f;
        fieldScale_[i] = 256.0f * frequency[i] / area;
    }
    Xorshift128 random;
    random.Seed(seed);
    for (float& offset : fieldOffset_)
        offset = random.NextFloat01() * 256.0f;
    if (GetFlagField(kTCAI) == 0)
        flagWord_ = WithBitField(flagWord_, kTAK.shift, kTAK.width, 0);

    const uint32_t batches = bpCt_ > 0 ? static_cast<uint32_t>(bpCt_) : 0u;
    emissionCount_ = GetCountField(kCrCt) * batches;
    emissionTable_ = context.allocator.AllocateArray<EmissionEntry>(emissionCount_);
    for (uint32_t i = 0; emissionTable_ && i < emissionCount_; ++i)
        new (&emissionTable_[i]) EmissionEntry();
}

void DrawDataType4::FillEmissionTable(const PackageResource* package) const {
    // A table the block could not hold has no entries to fill.
    GenerateEmissionTable(emissionTable_, emissionTable_ ? emissionCount_ : 0u, package, *this);
}

} // namespace FulgorCore
