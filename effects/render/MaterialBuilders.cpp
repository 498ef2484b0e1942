#include "effects/render/MaterialBuilders.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/ShaderKey.h"
#include "effects/Core/Resource/DrawDataType10.h"
#include "effects/Core/Resource/DrawDataType11.h"
#include "effects/Core/Resource/DrawDataType13.h"
#include "effects/Core/Resource/DrawDataType2.h"
#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/Core/Resource/DrawDataType5.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/TextureSlotProperty.h"
#include "effects/render/RenderStateWord.h"

namespace FulgorCore::Renderer {

namespace {

using K = ShaderKey;

// What a draw type makes of its material: the batch kind, the shader kind,
// the texture-coordinate set count of the key (kUnitsOwn: the part's), the
// texture level (1 colour layer 1; 2 also layers 2 and 3, the distortions
// and the palette; 3 also the normal map and the reflection) and the
// texture stages.
struct MaterialRow {
    BatchKind batch;
    uint8_t kind;
    uint8_t uvSets;
    uint8_t level;
    uint8_t stages;
};

constexpr uint8_t kUnitsOwn = 0xFF;
constexpr uint8_t kNoBody = 4; // a kind with no program

constexpr MaterialRow kNothing = {BatchKind::kNone, kNoBody, 0, 0, 0};
// Indexed by draw type 1-13; type 4 by its sub-mode below.
constexpr MaterialRow kRows[14] = {
    kNothing,
    {BatchKind::kIndexed, K::kShape, 0, 0, 0},                 // 1 lines
    {BatchKind::kParticle, K::kSimple, 0, 1, 1},               // 2
    {BatchKind::kIndexed, K::kShape, 1, 1, 1},                 // 3
    {BatchKind::kVertex, K::kShape, 0, 0, 1},                  // 4, sub-modes 0 and 1
    {BatchKind::kModel, K::kModel, kUnitsOwn, 3, 8},           // 5
    {BatchKind::kIndexed, K::kShape, kUnitsOwn, 2, 6},         // 6
    {BatchKind::kIndexed, K::kShape, kUnitsOwn, 2, 6},         // 7
    {BatchKind::kIndexed, K::kShape, kUnitsOwn, 2, 6},         // 8
    {BatchKind::kIndexed, K::kShape, kUnitsOwn, 2, 6},         // 9
    {BatchKind::kProjection, K::kProjection, kUnitsOwn, 2, 6}, // 10
    // Samples colour layer 1 whatever its data says (below).
    {BatchKind::kParticle, K::kSimple, 0, 0, 1},       // 11
    {BatchKind::kIndexed, K::kShape, kUnitsOwn, 2, 6}, // 12
    {BatchKind::kModel, K::kModel, kUnitsOwn, 3, 8},   // 13
};
constexpr MaterialRow kType4SubModes[4] = {
    kRows[4],
    kRows[4],
    {BatchKind::kParticle, K::kSimple, 0, 1, 1},
    {BatchKind::kNone, kNoBody, 0, 0, 1},
};

const MaterialRow& RowOf(const ParticleResource& part) {
    const uint32_t type = part.GetDrawType();
    if (type == 4) {
        const DrawDataType4* data = part.GetDrawDataType4();
        return kType4SubModes[data ? data->GetCountField(DrawDataType4::kDTyp) : 0];
    }
    return type < 14 ? kRows[type] : kNothing;
}

// Values the effect data's bit fields can hold past the programs' tables
// draw as the table's neutral entry.
uint32_t Channel(uint32_t value) {
    return value <= K::kLastChannel ? value : 0;
}
uint32_t ColorOp(uint32_t value) {
    return value <= K::kLastColorOp ? value : K::kLastColorOp;
}

void ComposeColorLayers(K& key, const ParticleResource& part, uint32_t level) {
    using C = ColorTextureLayer;
    const C& first = *part.GetColorLayer(0);
    key.Set(K::kColor1Enable, first.GetField(C::kEnable));
    if (first.GetField(C::kEnable)) {
        key.Set(K::kColor1RgbUvSet, first.GetField(C::kUvColor));
        // A screen copy is stored bottom row first where the origin is at
        // the bottom.
        key.Set(K::kColor1FlipV, first.GetField(C::kScreenCopy));
        key.Set(K::kColor1AlphaUvSet, first.GetField(C::kUvAlpha));
        key.Set(K::kColor1Channel, Channel(first.GetField(C::kColorSource)));
        key.Set(K::kColor1Scale, first.GetField(C::kColorScale));
    }
    if (level < 2)
        return;
    struct Later {
        K::Field enable, flip, rgbSet, alphaSet, rgbOp, alphaOp, channel, scale;
    };
    constexpr Later kLater[2] = {
        {K::kColor2Enable, K::kColor2FlipV, K::kColor2RgbUvSet, K::kColor2AlphaUvSet,
         K::kColor2RgbOp, K::kColor2AlphaOp, K::kColor2Channel, K::kColor2Scale},
        {K::kColor3Enable, K::kColor3FlipV, K::kColor3RgbUvSet, K::kColor3AlphaUvSet,
         K::kColor3RgbOp, K::kColor3AlphaOp, K::kColor3Channel, K::kColor3Scale},
    };
    for (uint32_t i = 0; i < 2; ++i) {
        const C& layer = *part.GetColorLayer(i + 1);
        const Later& f = kLater[i];
        key.Set(f.enable, layer.GetField(C::kEnable));
        if (!layer.GetField(C::kEnable))
            continue;
        key.Set(f.flip, layer.GetField(C::kScreenCopy));
        key.Set(f.rgbSet, layer.GetField(C::kUvColor));
        key.Set(f.alphaSet, layer.GetField(C::kUvAlpha));
        key.Set(f.rgbOp, ColorOp(layer.GetField(C::kColorChannel)));
        key.Set(f.alphaOp, layer.GetField(C::kAlphaChannel));
        key.Set(f.channel, Channel(layer.GetField(C::kColorSource)));
        key.Set(f.scale, layer.GetField(C::kColorScale));
    }
}

void ComposeLevel2Layers(K& key, const ParticleResource& part) {
    using D = DistortionTextureLayer;
    struct DistortionKey {
        K::Field enable, set, blueScale, blueSet, targets;
    };
    constexpr DistortionKey kDistortions[2] = {
        {K::kDistortion1Enable, K::kDistortion1UvSet, K::kDistortion1BlueScale,
         K::kDistortion1BlueUvSet, K::kDistortion1TargetMask},
        {K::kDistortion2Enable, K::kDistortion2UvSet, K::kDistortion2BlueScale,
         K::kDistortion2BlueUvSet, K::kDistortion2TargetMask},
    };
    constexpr BitFieldTag kTargets[6] = {D::kTarget1, D::kTarget2, D::kTarget3,
                                         D::kTarget4, D::kTarget5, D::kTarget6};
    for (uint32_t i = 0; i < 2; ++i) {
        const D& layer = *part.GetDistortionLayer(i);
        const DistortionKey& f = kDistortions[i];
        key.Set(f.enable, layer.GetField(D::kEnable));
        if (!layer.GetField(D::kEnable))
            continue;
        key.Set(f.set, layer.GetField(D::kUvSet));
        key.Set(f.blueScale, layer.GetField(D::kMask));
        key.Set(f.blueSet, layer.GetField(D::kUvSetMask));
        uint32_t targets = 0;
        for (uint32_t t = 0; t < 6; ++t)
            targets |= layer.GetField(kTargets[t]) << t;
        key.Set(f.targets, targets);
    }
    using P = PaletteTextureLayer;
    const P& palette = part.GetPaletteLayer();
    key.Set(K::kPaletteEnable, palette.GetField(P::kEnable));
    if (palette.GetField(P::kEnable))
        key.Set(K::kPaletteChannelMask,
                palette.GetField(P::kEnableRed) | palette.GetField(P::kEnableGreen) << 1 |
                    palette.GetField(P::kEnableBlue) << 2 | palette.GetField(P::kEnableAlpha) << 3);
}

void ComposeLevel3Layers(K& key, const ParticleResource& part) {
    const NormalTextureLayer& normal = part.GetNormalLayer();
    key.Set(K::kNormalMapEnable, normal.GetField(NormalTextureLayer::kEnable));
    if (normal.GetField(NormalTextureLayer::kEnable))
        key.Set(K::kNormalMapUvSet, normal.GetField(NormalTextureLayer::kUvSet));
    const ReflectionTextureLayer& reflection = part.GetReflectionLayer();
    key.Set(K::kReflectionEnable, reflection.GetField(ReflectionTextureLayer::kEnable));
    if (reflection.GetField(ReflectionTextureLayer::kEnable))
        key.Set(K::kReflectionOp,
                ColorOp(reflection.GetField(ReflectionTextureLayer::kColorChannel)));
}

// The package's two directional lights.
void ComposeLights(K& key, const PackageResource* package) {
    if (!package)
        return;
    key.Set(K::kSceneLight, package->GetFlagDLS());
    key.Set(K::kVfxLight, package->GetFlagDLV());
}

void ComposeByType(K& key, const ParticleResource& part, const PackageResource* package) {
    switch (part.GetDrawType()) {
    case 2:
        if (const DrawDataType2* data = part.GetDrawDataType2())
            key.Set(K::kLightingEnable, data->GetField(DrawDataType2::kLightEnable));
        ComposeLights(key, package);
        break;
    case 4:
        if (const DrawDataType4* data = part.GetDrawDataType4())
            key.Set(K::kLightingEnable, data->GetFlagField(DrawDataType4::kLGT));
        ComposeLights(key, package);
        break;
    case 5: {
        const DrawDataType5* data = part.GetDrawDataType5();
        if (!data)
            break;
        using M = DrawDataType5;
        key.Set(K::kMorphTarget, data->GetField(M::kMorph));
        key.Set(K::kFalloffMode, data->GetField(M::kRimType));
        key.Set(K::kVertexColorMode, data->GetField(M::kVertexColorType));
        key.Set(K::kReflectionUseReflectVector, 1);
        const uint32_t lighting = data->GetField(M::kLighting);
        key.Set(K::kLightingEnable, lighting);
        key.Set(K::kSpecularEnable, lighting & data->GetField(M::kSpecular));
        if (lighting && package) {
            ComposeLights(key, package);
            // A point light whose field is not 0 is on.
            key.Set(K::kPointLightMask,
                    (package->GetPCo1() != 0 ? 1u : 0u) | (package->GetPCo2() != 0 ? 2u : 0u) |
                        (package->GetPCo3() != 0 ? 4u : 0u) | (package->GetPCo4() != 0 ? 8u : 0u));
            key.Set(K::kPointLight1Mode, package->GetPCa1());
            key.Set(K::kPointLight2Mode, package->GetPCa2());
            key.Set(K::kPointLight3Mode, package->GetPCa3());
            key.Set(K::kPointLight4Mode, package->GetPCa4());
        }
        break;
    }
    case 10:
        if (const DrawDataType10* data = part.GetDrawDataType10()) {
            const uint32_t shape = data->GetPrjT() & 3u;
            key.Set(K::kDecalShape, shape <= K::kLastDecalShape ? shape : 0);
        }
        break;
    case 11:
        if (const DrawDataType11* data = part.GetDrawDataType11())
            key.Set(K::kLightingEnable, data->GetField(DrawDataType11::kLightEnable));
        ComposeLights(key, package);
        // The flipbook always samples colour layer 1 at set 0, unchanged;
        // its flip stays as composed.
        key.Set(K::kColor1Enable, 1);
        key.Set(K::kColor1RgbUvSet, 0);
        key.Set(K::kColor1AlphaUvSet, 0);
        key.Set(K::kColor1Channel, 0);
        key.Set(K::kColor1Scale, 0);
        break;
    case 13:
        if (const DrawDataType13* data = part.GetDrawDataType13())
            key.Set(K::kFalloffMode, data->GetRimType());
        break;
    default:
        break;
    }
}

ShaderKey ComposeShaderKey(const PackageResource* package, const ParticleResource& part) {
    const MaterialRow& row = RowOf(part);
    K key;
    key.Set(K::kKind, kNoBody);
    // Only blend mode 5 (of the six the data uses) wants the colour
    // premultiplied; 6 and 7 have no entry and take none.
    key.Set(K::kPremultiplyAlpha, part.GetDMod() == 5 ? 1 : 0);
    key.Set(K::kAlphaOffset, part.GetFlagPAo());
    key.Set(K::kAlphaTest, part.GetFlagPAt());
    key.Set(K::kOpaqueAlpha, part.GetFlagOAO());
    key.Set(K::kSoftParticle, part.GetSftP());
    key.Set(K::kAlphaLight, part.GetFlagApL());
    switch (part.GetDrawType()) {
    case 1:
    case 2:
    case 4:
    case 10:
    case 11:
        key.Set(K::kAlphaOffset, 0);
        key.Set(K::kAlphaTest, 0);
        break;
    default:
        break;
    }
    uint32_t uvSets = row.uvSets == kUnitsOwn ? part.GetUvLayerCount() : row.uvSets;
    if (uvSets > K::kLastUvSetCount)
        uvSets = K::kLastUvSetCount;
    key.Set(K::kUvSetCount, uvSets);
    // Sets beyond the count read as taken from the vertex.
    uint32_t sources = 0x3F;
    for (uint32_t k = uvSets; k >= 1; --k)
        if (part.GetUvLayer(k - 1)->GetField(UvTransform::kCoordinateType) != 0)
            sources &= ~(1u << (k - 1));
    key.Set(K::kUvSourceMask, sources);
    if (row.level >= 1)
        ComposeColorLayers(key, part, row.level);
    if (row.level >= 2)
        ComposeLevel2Layers(key, part);
    if (row.level >= 3)
        ComposeLevel3Layers(key, part);
    ComposeByType(key, part, package);
    // A layer's set index names one of six sets; the data's three bits can
    // name a seventh or eighth, which reads as set 0.
    for (K::Field set : K::kUvSetFields)
        if (key.Get(set) > K::kLastUvSet)
            key.Set(set, 0);
    key.Set(K::kKind, row.kind);
    return key;
}

// The sampler word: filter in bits 0-1, address U and V in 2-3 and 4-5, a
// flag in bit 6.
constexpr uint32_t kSamplerFlag = 1u << 6;

} // namespace

uint8_t TextureSlotCountOf(uint32_t drawType) {
    return drawType < 14 ? kRows[drawType].stages : 0;
}

void BuildTextureSlots(TextureSlot (&slots)[8], uint8_t& animatedMask, uint8_t& usedMask,
                       uint8_t& slotCount, const ParticleResource& part,
                       const PackageResource* package) {
    for (TextureSlot& slot : slots)
        slot.sampler = 0;
    animatedMask = 0;
    usedMask = 0;
    slotCount = TextureSlotCountOf(part.GetDrawType());
    // A slot whose choice never changes is resolved here once, with a value
    // from the runtime-wide state as its sample (the order of these draws
    // is the order of the loads). Outside a started runtime a state of its
    // own stands in.
    EngineWorkData* work = Engine::GetWorkData();
    Xorshift128 detached;
    Xorshift128& random = work ? work->random : detached;
    const EvaluationContext atStart{};
    for (uint32_t k = 0; k < slotCount; ++k) {
        const TextureSlotProperty property(part, k);
        if (!property.IsEnabled())
            continue;
        usedMask = static_cast<uint8_t>(usedMask | (1u << k));
        slots[k].sampler = property.GetSamplerWord();
        if (!property.GetSelector().IsConstant()) {
            animatedMask = static_cast<uint8_t>(animatedMask | (1u << k));
            continue;
        }
        const float sample = property.GetSelector().SampleRandom(random);
        const int32_t index = property.EvaluateTextureIndex(atStart, sample, random);
        slots[k].texture = package ? package->GetTexture(index) : nullptr;
    }
    // No stage of a projection volume keeps the flag, whatever its layer
    // says.
    if (part.GetDrawType() == 10)
        for (uint32_t k = 0; k < slotCount; ++k)
            slots[k].sampler &= ~kSamplerFlag;
}

void BuildRenderStateWord(uint32_t& word, const ParticleResource& part) {
    const BatchKind batch = RowOf(part).batch;
    const uint32_t blend = part.GetDMod();
    // A projection volume always has depth flag A on, B off and cull mode
    // 1, whatever its data says.
    if (part.GetDrawType() == 10) {
        word = RenderStateWord::Make(true, false, 1, blend, batch);
        return;
    }
    const uint32_t depth = part.GetDTst();
    word = RenderStateWord::Make(depth == 1 || depth == 3, depth == 2 || depth == 3, part.GetDFac(),
                                 blend, batch);
}

void BuildShaderKey(IShader*& shader, IDevice* device, const PackageResource* package,
                    const ParticleResource& part) {
    shader = nullptr;
    const uint32_t type = part.GetDrawType();
    if (type == 0 || type >= 14 || !device)
        return;
    const ShaderKey key = ComposeShaderKey(package, part);
    IShader* made = nullptr;
    if (device->CreateShader(&key, &made))
        shader = made;
}

} // namespace FulgorCore::Renderer
