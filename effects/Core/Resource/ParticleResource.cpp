#include "effects/Core/Resource/ParticleResource.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/render/MaterialBuilders.h"
#include "effects/Core/Interface/IShader.h"
#include "effects/Core/Resource/DrawDataType1.h"
#include "effects/Core/Resource/DrawDataType10.h"
#include "effects/Core/Resource/DrawDataType11.h"
#include "effects/Core/Resource/DrawDataType12.h"
#include "effects/Core/Resource/DrawDataType13.h"
#include "effects/Core/Resource/DrawDataType2.h"
#include "effects/Core/Resource/DrawDataType3.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/DrawDataType5.h"
#include "effects/Core/Resource/DrawDataType6.h"
#include "effects/Core/Resource/DrawDataType7.h"
#include "effects/Core/Resource/DrawDataType8.h"
#include "effects/Core/Resource/DrawDataType9.h"
#include "effects/Core/Resource/TaggedRecords.h"
#include "effects/render/MaterialBuilders.h"

#include <algorithm>

namespace FulgorCore {

namespace {

using P = ParticleResource;

const BitFieldTag kFieldsC[] = {P::kPAo, P::kPAt, P::kPDs, P::kPDc, P::kDBT};
// "PrV1" and "UvSC" are read apart: the first is fixed by "DatP", the
// second clamped.
const BitFieldTag kFieldsD[] = {P::kSftP, P::kDFac, P::kDTst, P::kDMod, P::kApLD, P::kApLE};

const uint32_t kColorLayerTags[3] = {MakeChunkTag("TCo1"), MakeChunkTag("TCo2"),
                                     MakeChunkTag("TCo3")};
const uint32_t kDistortionLayerTags[2] = {MakeChunkTag("TDs1"), MakeChunkTag("TDs2")};

template <class T> DrawData* ReadDrawData(const BuildContext& context, const Chunk& chunk) {
    return PlaceAndRead<T>(context, chunk.payload, chunk.size);
}

using DrawDataReader = DrawData* (*)(const BuildContext&, const Chunk&);
// Indexed by draw type - 1.
const DrawDataReader kDrawDataReaders[P::kDrawTypes] = {
    ReadDrawData<DrawDataType1>,  ReadDrawData<DrawDataType2>,  ReadDrawData<DrawDataType3>,
    ReadDrawData<DrawDataType4>,  ReadDrawData<DrawDataType5>,  ReadDrawData<DrawDataType6>,
    ReadDrawData<DrawDataType7>,  ReadDrawData<DrawDataType8>,  ReadDrawData<DrawDataType9>,
    ReadDrawData<DrawDataType10>, ReadDrawData<DrawDataType11>, ReadDrawData<DrawDataType12>,
    ReadDrawData<DrawDataType13>};

uint8_t BiasMode(float bias, float scale, bool biasTest) {
    if (bias == 0.0f)
        return 0;
    const bool unit = scale == 1.0f;
    if (!biasTest)
        return unit ? 1 : 3;
    return unit ? 2 : 4;
}

} // namespace

ParticleResource::~ParticleResource() {
    if (shader_)
        shader_->Release();
    shader_ = nullptr;
    if (drawData_)
        drawData_->~DrawData();
    drawData_ = nullptr;
}

void ParticleResource::Read(const BuildContext& context, const void* payload, uint32_t size,
                            const PackageResource* package) {
    bool dataRead = false;
    uint32_t uvLayersRead = 0;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kFieldsC, flagsC_) || StoreBitField(chunk, kFieldsD, flagsD_) ||
            ReadTaggedRecord(context, chunk, kColorLayerTags, colorLayers_) ||
            ReadTaggedRecord(context, chunk, kDistortionLayerTags, distortionLayers_))
            continue;
        switch (chunk.tag) {
        case MakeChunkTag("PrV1"):
            if (!dataRead)
                flagsD_ = WithBitField(flagsD_, kDrawType.shift, kDrawType.width, chunk.U32());
            break;
        case MakeChunkTag("DatP"): {
            if (dataRead)
                break;
            dataRead = true;
            const uint32_t type = GetDrawType();
            if (type >= 1 && type <= kDrawTypes)
                drawData_ = kDrawDataReaders[type - 1](context, chunk);
            break;
        }
        case MakeChunkTag("UvSC"):
            flagsD_ = WithBitField(flagsD_, kUvSC.shift, kUvSC.width,
                                   std::min(chunk.U32() & 7u, kUvLayers));
            break;
        case MakeChunkTag("DPri"):
            drawPriority_ = chunk.U8();
            break;
        case MakeChunkTag("DBis"):
            bias_ = chunk.Float();
            break;
        case MakeChunkTag("DBDS"):
            biasScale_ = chunk.Float();
            break;
        case MakeChunkTag("bOAO"):
            layerFlags_ =
                static_cast<uint8_t>(chunk.Flag() ? layerFlags_ | kOAO : layerFlags_ & ~kOAO);
            break;
        case MakeChunkTag("bApL"):
            layerFlags_ =
                static_cast<uint8_t>(chunk.Flag() ? layerFlags_ | kApL : layerFlags_ & ~kApL);
            break;
        case MakeChunkTag("AOff"):
            aOff_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("ATes"):
            aTes_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("DwSz"):
            drawSize_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("DwCl"):
            drawColor_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("TUvS"): {
            if (uvLayersRead >= kUvLayers) {
                context.allocator.Reject();
                break;
            }
            UvTransform& layer = uvLayers_[uvLayersRead++];
            layer.Read(context, chunk.payload, chunk.size);
            if (layer.GetField(UvTransform::kCoordinateType) == 1)
                layerFlags_ |= kSomeLayerUvCT;
            break;
        }
        case MakeChunkTag("TPlt"):
            paletteLayer_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("TNrm"):
            normalLayer_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("TRef"):
            reflectionLayer_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }

    textureLayerMask_ = 0;
    for (uint32_t k = 0; k < GetUvLayerCount(); ++k)
        if (uvLayers_[k].GetField(UvTransform::kOrderType) == 1)
            textureLayerMask_ = static_cast<uint8_t>(textureLayerMask_ | (1u << k));
    biasMode_ = BiasMode(bias_, biasScale_, GetFlagDBT() != 0);
    if (context.IsMeasuring())
        return;
    Renderer::BuildTextureSlots(textureSlots_, animatedTextureMask_, usedTextureMask_,
                                textureSlotCount_, *this, package);
    Renderer::BuildRenderStateWord(renderStateWord_, *this);
    Renderer::BuildShaderKey(shader_, context.device, package, *this);
}

template <class T> const T* ParticleResource::As(uint32_t type) const {
    return GetDrawType() == type ? static_cast<const T*>(drawData_) : nullptr;
}

const DrawDataType1* ParticleResource::GetDrawDataType1() const {
    return As<DrawDataType1>(1);
}
const DrawDataType2* ParticleResource::GetDrawDataType2() const {
    return As<DrawDataType2>(2);
}
const DrawDataType3* ParticleResource::GetDrawDataType3() const {
    return As<DrawDataType3>(3);
}
const DrawDataType4* ParticleResource::GetDrawDataType4() const {
    return As<DrawDataType4>(4);
}
const DrawDataType5* ParticleResource::GetDrawDataType5() const {
    return As<DrawDataType5>(5);
}
const DrawDataType6* ParticleResource::GetDrawDataType6() const {
    return As<DrawDataType6>(6);
}
const DrawDataType7* ParticleResource::GetDrawDataType7() const {
    return As<DrawDataType7>(7);
}
const DrawDataType8* ParticleResource::GetDrawDataType8() const {
    return As<DrawDataType8>(8);
}
const DrawDataType9* ParticleResource::GetDrawDataType9() const {
    return As<DrawDataType9>(9);
}
const DrawDataType10* ParticleResource::GetDrawDataType10() const {
    return As<DrawDataType10>(10);
}
const DrawDataType11* ParticleResource::GetDrawDataType11() const {
    return As<DrawDataType11>(11);
}
const DrawDataType12* ParticleResource::GetDrawDataType12() const {
    return As<DrawDataType12>(12);
}
const DrawDataType13* ParticleResource::GetDrawDataType13() const {
    return As<DrawDataType13>(13);
}

} // namespace FulgorCore
