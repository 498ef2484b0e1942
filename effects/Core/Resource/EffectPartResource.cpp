#include "effects/Core/Resource/EffectPartResource.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Resource/RadiusPair.h"

namespace FulgorCore {

namespace {

constexpr uint32_t kEmptyKind = 1;
constexpr uint32_t kRadiusKind = 2;

} // namespace

EffectPartResource::~EffectPartResource() {
    if ((kind_ == kEmptyKind || kind_ == kRadiusKind) && data_) {
        data_->~EffectPartData();
        data_ = nullptr;
    }
}

void EffectPartResource::Read(const BuildContext& context, const void* payload, uint32_t size) {
    bool dataRead = false;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (chunk.tag == MakeChunkTag("FxV1") && !dataRead) {
            kind_ = chunk.U32() & 15u;
        } else if (chunk.tag == MakeChunkTag("DatF") && !dataRead) {
            dataRead = true;
            if (kind_ == kEmptyKind)
                data_ = PlaceAndRead<EffectPartData>(context, chunk.payload, chunk.size);
            else if (kind_ == kRadiusKind)
                data_ = PlaceAndRead<RadiusPair>(context, chunk.payload, chunk.size);
        }
    }
}

const RadiusPair* EffectPartResource::GetRadiusPair() const {
    return kind_ == kRadiusKind ? static_cast<const RadiusPair*>(data_) : nullptr;
}

} // namespace FulgorCore
