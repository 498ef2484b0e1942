#include "effects/Core/Resource/EmitterSpawnEntry.h"

#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

namespace {

const BitFieldTag kPackedFields[] = {EmitterSpawnEntry::kGeLA, EmitterSpawnEntry::kApCl,
                                     EmitterSpawnEntry::kApCd, EmitterSpawnEntry::kApbS,
                                     EmitterSpawnEntry::kApbR, EmitterSpawnEntry::kApbT};
// Bits of the packed word that any nonzero value sets (their tags do not
// begin with b, so the table above would keep only bit 0).
const BitFieldTag kPackedFlags[] = {EmitterSpawnEntry::kPLSc, EmitterSpawnEntry::kPLRt,
                                    EmitterSpawnEntry::kPLPs, EmitterSpawnEntry::kPLCl};

uint8_t WithFlag(uint8_t flags, uint8_t bit, bool on) {
    return static_cast<uint8_t>(on ? flags | bit : flags & ~bit);
}

} // namespace

void EmitterSpawnEntry::Read(const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("bEbl"):
            flags_ = WithFlag(flags_, kEnabled, chunk.U32() & 1u);
            break;
        case MakeChunkTag("bLiI"):
            flags_ = WithFlag(flags_, kLiI, chunk.U32() & 1u);
            break;
        case MakeChunkTag("bLSF"):
            flags_ = WithFlag(flags_, kLSF, chunk.Flag());
            break;
        case MakeChunkTag("bLfS"):
            flags_ = WithFlag(flags_, kLfS, chunk.Flag());
            break;
        case MakeChunkTag("bCVN"):
            flags_ = WithFlag(flags_, kCVN, chunk.Flag());
            break;
        case MakeChunkTag("TgUI"):
            tgUI_ = chunk.U8();
            break;
        case MakeChunkTag("UST"):
            ust_ = chunk.U16();
            break;
        case MakeChunkTag("GeIT"):
            geIT_ = chunk.U16();
            break;
        case MakeChunkTag("GeIC"):
            geIC_ = chunk.U16();
            break;
        case MakeChunkTag("GeIP"):
            geIP_ = chunk.U16();
            break;
        case MakeChunkTag("GeSD"):
            geSD_ = chunk.U16();
            break;
        case MakeChunkTag("OvLf"):
            ovLf_ = chunk.U16();
            break;
        case MakeChunkTag("Lif"):
            lif_ = chunk.U16();
            break;
        case MakeChunkTag("LifR"):
            lifR_ = chunk.U16();
            break;
        case MakeChunkTag("VNOf"):
            vnOf_ = chunk.U16();
            break;
        case MakeChunkTag("REIX"):
            rei_[0] = chunk.Float();
            break;
        case MakeChunkTag("REIY"):
            rei_[1] = chunk.Float();
            break;
        case MakeChunkTag("REIZ"):
            rei_[2] = chunk.Float();
            break;
        case MakeChunkTag("PLNo"):
            plNo_ = chunk.U8();
            break;
        default:
            if (StoreBitField(chunk, kPackedFields, packed_))
                break;
            for (const BitFieldTag& flag : kPackedFlags)
                if (flag.tag == chunk.tag)
                    packed_ = WithBitField(packed_, flag.shift, 1, chunk.Flag() ? 1u : 0u);
            break;
        }
    }
}

} // namespace FulgorCore
