#include "effects/Core/Resource/UnitResource.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Interface/IObjectListenner.h"
#include "effects/Core/Resource/AngleFade.h"
#include "effects/Core/Resource/DistanceFade.h"
#include "effects/Core/Resource/EffectPartResource.h"
#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/FadeChunks.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/ReferenceCollector.h"
#include "effects/Core/Resource/TaggedRecords.h"
#include "effects/Core/Resource/UnitTimelineResource.h"

#include <string_view>

namespace FulgorCore {

namespace {

using U = UnitResource;

const BitFieldTag kFieldsA[] = {
    U::kFlagTags[0],  U::kFlagTags[1],  U::kFlagTags[2],  U::kFlagTags[3],  U::kFlagTags[4],
    U::kFlagTags[5],  U::kFlagTags[6],  U::kFlagTags[7],  U::kFlagTags[8],  U::kFlagTags[9],
    U::kFlagTags[10], U::kFlagTags[11], U::kFlagTags[12], U::kFlagTags[13], U::kFlagTags[14],
    U::kFlagTags[15], U::kBAxs,         U::kBDir,         U::kRotO,         U::kTrsO,
    U::kColR};
// Reset flags byte: "RUSc", "RURt", "RUPs", "RUCl".
const BitFieldTag kResetFields[] = {{MakeChunkTag("RUSc"), 0, 1},
                                    {MakeChunkTag("RURt"), 1, 1},
                                    {MakeChunkTag("RUPs"), 2, 1},
                                    {MakeChunkTag("RUCl"), 3, 1}};
const uint32_t kTripleTags[6] = {MakeChunkTag("Scl"),  MakeChunkTag("Rot"),  MakeChunkTag("Pos"),
                                 MakeChunkTag("GraL"), MakeChunkTag("GraG"), MakeChunkTag("Res")};

constexpr uint32_t kAmeBit = 11;

// The flags "R..." are stored by any nonzero value (their tags do not begin
// with b).
bool StoreResetFlag(const Chunk& chunk, uint8_t& flags) {
    for (const BitFieldTag& f : kResetFields) {
        if (f.tag != chunk.tag)
            continue;
        flags =
            static_cast<uint8_t>(chunk.Flag() ? flags | (1u << f.shift) : flags & ~(1u << f.shift));
        return true;
    }
    return false;
}

} // namespace

UnitResource::~UnitResource() {
    for (ParticleResource*& part : drawParts_) {
        if (part)
            part->~ParticleResource();
        part = nullptr;
    }
    for (EmitterResource*& part : emitterParts_) {
        if (part)
            part->~EmitterResource();
        part = nullptr;
    }
    if (effectPart_)
        effectPart_->~EffectPartResource();
    effectPart_ = nullptr;
}

void UnitResource::Read(const BuildContext& context, const void* payload, uint32_t size,
                        const PackageResource* package) {
    RuntimeDataAllocator& allocator = context.allocator;
    flagsA_ = WithBitField(flagsA_, kDrawPartCountShift, 2, 0);
    emitterPartCount_ = 0;
    flagsB_ &= ~1u;
    // The last "VfxF": its text where the image holds it, for the measure.
    Chunk reference;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kFieldsA, flagsA_) || StoreResetFlag(chunk, resetFlags_) ||
            ReadTaggedRecord(context, chunk, kTripleTags, triples_) ||
            ReadFadeChunk(context, chunk, distanceFade_, angleFade_))
            continue;
        switch (chunk.tag) {
        case MakeChunkTag("Ptcl"): {
            const uint32_t n = GetDrawPartCount();
            if (n >= kMaxDrawParts) {
                allocator.Reject();
                break;
            }
            drawParts_[n] =
                PlaceAndRead<ParticleResource>(context, chunk.payload, chunk.size, package);
            flagsA_ = WithBitField(flagsA_, kDrawPartCountShift, 2, n + 1);
            break;
        }
        case MakeChunkTag("Emit"):
            if (emitterPartCount_ >= kMaxEmitterParts) {
                allocator.Reject();
                break;
            }
            emitterParts_[emitterPartCount_++] =
                PlaceAndRead<EmitterResource>(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Efct"):
            if (GetEffectPartCount() >= kMaxEffectParts) {
                allocator.Reject();
                break;
            }
            effectPart_ = PlaceAndRead<EffectPartResource>(context, chunk.payload, chunk.size);
            flagsB_ |= 1u;
            break;
        case MakeChunkTag("UTl1"): {
            const uint32_t n = GetUnitTimelineCount();
            if (n >= kMaxUnitTimelines) {
                allocator.Reject();
                break;
            }
            unitTimelines_[n] =
                PlaceAndRead<UnitTimelineResource>(context, chunk.payload, chunk.size);
            flagsB_ = WithBitField(flagsB_, 1, 5, n + 1);
            break;
        }
        case MakeChunkTag("Anim"):
            flagsA_ |= 1u << kAmeBit;
            ReadAnimation(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("Col"):
            color_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("FuCt"):
            fuCt_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("VlRt"):
            vlRt_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("UIC1"):
            if (chunk.size == kUic1Size)
                uic1_ =
                    static_cast<const uint8_t*>(CopyToBlock(allocator, chunk.payload, kUic1Size));
            break;
        case MakeChunkTag("SndF"):
            soundName_ = CopyTextToBlock(allocator, chunk);
            break;
        case MakeChunkTag("VfxF"):
            referenceName_ = CopyTextToBlock(allocator, chunk);
            reference = chunk;
            break;
        case MakeChunkTag("SndP"):
            soundParameter_ = chunk.U32();
            break;
        case MakeChunkTag("Life"):
            life_ = chunk.IntAsFloat();
            break;
        case MakeChunkTag("LpSt"):
            loopStart_ = chunk.IntAsFloat();
            break;
        case MakeChunkTag("LpEd"):
            loopEnd_ = chunk.IntAsFloat();
            break;
        case MakeChunkTag("RUNo"):
            resetNumber_ = chunk.I8();
            break;
        default:
            break;
        }
    }

    if (context.references) {
        // The block's copy when building (entries point at it), the image's
        // text while measuring.
        const std::string_view name = context.IsMeasuring() ? reference.Text()
                                      : referenceName_      ? std::string_view(referenceName_)
                                                            : std::string_view();
        if (!name.empty())
            context.references->AddUnitName(name);
    }
    if (!context.IsMeasuring() && context.listener && soundName_ && soundName_[0])
        soundHandle_ = context.listener->FindSound(soundName_, soundParameter_);
}

void UnitResource::ReadAnimation(const BuildContext& context, const void* payload, uint32_t size) {
    float length = 1.0f;
    bool loop = false;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Leng"):
            length = chunk.Float();
            continue;
        case MakeChunkTag("Loop"):
            loop = chunk.Flag();
            continue;
        case MakeChunkTag("Scal"):
            animationFlags_ =
                chunk.Flag() ? animationFlags_ | kAnimScale : animationFlags_ & ~kAnimScale;
            continue;
        case MakeChunkTag("Rota"):
            animationFlags_ =
                chunk.Flag() ? animationFlags_ | kAnimRotation : animationFlags_ & ~kAnimRotation;
            continue;
        case MakeChunkTag("Tran"):
            animationFlags_ =
                chunk.Flag() ? animationFlags_ | kAnimTranslate : animationFlags_ & ~kAnimTranslate;
            continue;
        default:
            break;
        }
        for (uint32_t i = 0; i < kTracks; ++i)
            if (chunk.tag == kTrackTags[i])
                tracks_[i].Initialize(context, chunk.payload, chunk.size, loop, length);
    }
}

const UnitResource& UnitResource::GetSharedDataUnit(const PackageResource* package) const {
    const int32_t index = GetSharedDataUnitIndex();
    const UnitResource* named =
        index >= 0 && package ? package->GetUnit(static_cast<uint32_t>(index)) : nullptr;
    return named ? *named : *this;
}

} // namespace FulgorCore
