// Shader keys for the generators' tests: keys built field by field, and a
// corpus of about two hundred of them (each field alone per kind that reads
// it, each table value once, each texture-coordinate set count per kind,
// every feature on per kind and light combination, the decal shapes and the
// morph), each named after what it holds. The programs of every key must
// compile, whatever the target language.
#pragma once

#include "effects/Core/Interface/ShaderKey.h"
#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "effects/render/ShaderSourceGenerator.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

using KeyField = FulgorCore::ShaderKey::Field;

struct KeyFieldValue {
    KeyField field;
    uint32_t value;
};

// A key of `kind` with the given fields set.
inline FulgorCore::ShaderKey KeyOf(uint32_t kind,
                                   std::initializer_list<KeyFieldValue> fields = {}) {
    FulgorCore::ShaderKey key;
    key.Set(FulgorCore::ShaderKey::kKind, kind);
    for (const KeyFieldValue& f : fields)
        key.Set(f.field, f.value);
    return key;
}

enum class ShaderProgram { kVertex, kPixel };

// The text the generator writes for a key's program in a target.
inline std::string GeneratedText(ShaderProgram program, uint32_t target,
                                 const FulgorCore::ShaderKey& key) {
    auto buffer = std::make_unique<FulgorCore::ShaderSourceBuffer>();
    if (program == ShaderProgram::kVertex)
        FulgorCore::ShaderSourceGenerator::GenerateVertexShader(target, &key, buffer.get());
    else
        FulgorCore::ShaderSourceGenerator::GeneratePixelShader(target, &key, buffer.get());
    return std::string(buffer->text, buffer->length);
}

struct NamedKey {
    std::string name;
    FulgorCore::ShaderKey key;
};

namespace shader_key_corpus {

using K = FulgorCore::ShaderKey;

// Kinds as bits: which kinds' programs read a field.
constexpr uint32_t kSimple = 1u << K::kSimple;
constexpr uint32_t kShape = 1u << K::kShape;
constexpr uint32_t kModel = 1u << K::kModel;
constexpr uint32_t kProjection = 1u << K::kProjection;
constexpr uint32_t kAllKinds = kSimple | kShape | kModel | kProjection;
constexpr uint32_t kLayered = kShape | kModel | kProjection;

// A field, the largest value the programs have text for, the kinds that
// read it, and what must be on for it to show (up to two fields at their
// given values).
struct FieldRow {
    const char* name;
    KeyField field;
    uint32_t top;
    uint32_t kinds;
    KeyFieldValue needs[2];
};

constexpr KeyFieldValue kNone = {{0, 0, 0}, 0};

inline const std::vector<FieldRow>& FieldRows() {
    static const std::vector<FieldRow> rows = {
        {"PremultiplyAlpha", K::kPremultiplyAlpha, 1, kAllKinds, {kNone, kNone}},
        {"AlphaOffset", K::kAlphaOffset, 1, kAllKinds, {kNone, kNone}},
        {"AlphaTest", K::kAlphaTest, 1, kAllKinds, {kNone, kNone}},
        {"OpaqueAlpha", K::kOpaqueAlpha, 1, kAllKinds, {kNone, kNone}},
        {"SoftParticle", K::kSoftParticle, 1, kSimple | kShape | kModel, {kNone, kNone}},
        // Decals fade by no alpha light, but a decal key may still ask for it.
        {"AlphaLight", K::kAlphaLight, 1, kAllKinds, {kNone, kNone}},
        {"UvSetCount", K::kUvSetCount, 6, kLayered, {kNone, kNone}},
        {"UvSourceMask", K::kUvSourceMask, 0x15, kLayered, {{K::kUvSetCount, 6}, kNone}},
        {"Color1Enable", K::kColor1Enable, 1, kAllKinds, {kNone, kNone}},
        {"Color1RgbUvSet", K::kColor1RgbUvSet, 5, kLayered, {{K::kColor1Enable, 1}, kNone}},
        {"Color1AlphaUvSet", K::kColor1AlphaUvSet, 5, kLayered, {{K::kColor1Enable, 1}, kNone}},
        {"Color1Channel", K::kColor1Channel, 10, kAllKinds, {{K::kColor1Enable, 1}, kNone}},
        {"Color1Scale", K::kColor1Scale, 3, kAllKinds, {{K::kColor1Enable, 1}, kNone}},
        {"Color2Enable", K::kColor2Enable, 1, kLayered, {kNone, kNone}},
        {"Color2RgbUvSet", K::kColor2RgbUvSet, 5, kLayered, {{K::kColor2Enable, 1}, kNone}},
        {"Color2AlphaUvSet", K::kColor2AlphaUvSet, 5, kLayered, {{K::kColor2Enable, 1}, kNone}},
        {"Color2RgbOp", K::kColor2RgbOp, 5, kLayered, {{K::kColor2Enable, 1}, kNone}},
        {"Color2AlphaOp", K::kColor2AlphaOp, 3, kLayered, {{K::kColor2Enable, 1}, kNone}},
        {"Color2Channel", K::kColor2Channel, 10, kLayered, {{K::kColor2Enable, 1}, kNone}},
        {"Color2Scale", K::kColor2Scale, 3, kLayered, {{K::kColor2Enable, 1}, kNone}},
        {"Color3Enable", K::kColor3Enable, 1, kLayered, {kNone, kNone}},
        {"Color3RgbUvSet", K::kColor3RgbUvSet, 5, kLayered, {{K::kColor3Enable, 1}, kNone}},
        {"Color3AlphaUvSet", K::kColor3AlphaUvSet, 5, kLayered, {{K::kColor3Enable, 1}, kNone}},
        {"Color3RgbOp", K::kColor3RgbOp, 5, kLayered, {{K::kColor3Enable, 1}, kNone}},
        {"Color3AlphaOp", K::kColor3AlphaOp, 3, kLayered, {{K::kColor3Enable, 1}, kNone}},
        {"Color3Channel", K::kColor3Channel, 10, kLayered, {{K::kColor3Enable, 1}, kNone}},
        {"Color3Scale", K::kColor3Scale, 3, kLayered, {{K::kColor3Enable, 1}, kNone}},
        {"Distortion1Enable", K::kDistortion1Enable, 1, kLayered, {kNone, kNone}},
        {"Distortion1UvSet",
         K::kDistortion1UvSet,
         5,
         kLayered,
         {{K::kDistortion1Enable, 1}, kNone}},
        {"Distortion1BlueScale",
         K::kDistortion1BlueScale,
         1,
         kLayered,
         {{K::kDistortion1Enable, 1}, kNone}},
        {"Distortion1BlueUvSet",
         K::kDistortion1BlueUvSet,
         5,
         kLayered,
         {{K::kDistortion1Enable, 1}, {K::kDistortion1BlueScale, 1}}},
        {"Distortion1TargetMask",
         K::kDistortion1TargetMask,
         0x3F,
         kLayered,
         {{K::kDistortion1Enable, 1}, kNone}},
        {"Distortion2Enable", K::kDistortion2Enable, 1, kModel | kProjection, {kNone, kNone}},
        {"Distortion2UvSet",
         K::kDistortion2UvSet,
         5,
         kModel | kProjection,
         {{K::kDistortion2Enable, 1}, kNone}},
        {"Distortion2BlueScale",
         K::kDistortion2BlueScale,
         1,
         kModel | kProjection,
         {{K::kDistortion2Enable, 1}, kNone}},
        {"Distortion2BlueUvSet",
         K::kDistortion2BlueUvSet,
         5,
         kModel | kProjection,
         {{K::kDistortion2Enable, 1}, {K::kDistortion2BlueScale, 1}}},
        {"Distortion2TargetMask",
         K::kDistortion2TargetMask,
         0x3F,
         kModel | kProjection,
         {{K::kDistortion2Enable, 1}, kNone}},
        {"PaletteEnable", K::kPaletteEnable, 1, kLayered, {kNone, kNone}},
        {"PaletteChannelMask",
         K::kPaletteChannelMask,
         0xF,
         kLayered,
         {{K::kPaletteEnable, 1}, kNone}},
        {"ReflectionEnable", K::kReflectionEnable, 1, kModel, {kNone, kNone}},
        {"ReflectionOp", K::kReflectionOp, 5, kModel, {{K::kReflectionEnable, 1}, kNone}},
        {"ReflectionUseReflectVector",
         K::kReflectionUseReflectVector,
         1,
         kModel,
         {{K::kReflectionEnable, 1}, kNone}},
        {"NormalMapEnable", K::kNormalMapEnable, 1, kModel, {kNone, kNone}},
        {"NormalMapUvSet", K::kNormalMapUvSet, 5, kModel, {{K::kNormalMapEnable, 1}, kNone}},
        {"FalloffMode", K::kFalloffMode, 7, kModel, {kNone, kNone}},
        {"VertexColorMode", K::kVertexColorMode, 7, kModel, {kNone, kNone}},
        {"MorphTarget", K::kMorphTarget, 1, kModel, {kNone, kNone}},
        {"LightingEnable", K::kLightingEnable, 1, kSimple | kModel, {{K::kSceneLight, 1}, kNone}},
        {"SpecularEnable", K::kSpecularEnable, 1, kModel, {{K::kLightingEnable, 1}, kNone}},
        {"SceneLight", K::kSceneLight, 1, kSimple | kModel, {{K::kLightingEnable, 1}, kNone}},
        {"VfxLight", K::kVfxLight, 1, kSimple | kModel, {{K::kLightingEnable, 1}, kNone}},
        {"PointLightMask", K::kPointLightMask, 0xF, kModel, {{K::kLightingEnable, 1}, kNone}},
        {"PointLight1Mode", K::kPointLight1Mode, 3, kModel, {{K::kPointLightMask, 1}, kNone}},
        {"PointLight2Mode", K::kPointLight2Mode, 3, kModel, {{K::kPointLightMask, 2}, kNone}},
        {"PointLight3Mode", K::kPointLight3Mode, 3, kModel, {{K::kPointLightMask, 4}, kNone}},
        {"PointLight4Mode", K::kPointLight4Mode, 3, kModel, {{K::kPointLightMask, 8}, kNone}},
        {"DecalShape", K::kDecalShape, 2, kProjection, {kNone, kNone}},
    };
    return rows;
}

// Table fields whose every value gets a key of its own (in the kind given).
struct TableRow {
    const char* name;
    KeyField field;
    uint32_t values;
    uint32_t kind;
    KeyFieldValue needs;
};

inline const std::vector<TableRow>& TableRows() {
    static const std::vector<TableRow> rows = {
        {"Color1Channel", K::kColor1Channel, 11, K::kSimple, {K::kColor1Enable, 1}},
        {"Color2Channel", K::kColor2Channel, 11, K::kShape, {K::kColor2Enable, 1}},
        {"Color1Scale", K::kColor1Scale, 4, K::kSimple, {K::kColor1Enable, 1}},
        {"Color2RgbOp", K::kColor2RgbOp, 6, K::kShape, {K::kColor2Enable, 1}},
        {"Color3AlphaOp", K::kColor3AlphaOp, 4, K::kProjection, {K::kColor3Enable, 1}},
        {"ReflectionOp", K::kReflectionOp, 6, K::kModel, {K::kReflectionEnable, 1}},
        {"FalloffMode", K::kFalloffMode, 8, K::kModel, kNone},
        {"VertexColorMode", K::kVertexColorMode, 8, K::kModel, kNone},
        {"PointLight1Mode", K::kPointLight1Mode, 4, K::kModel, {K::kPointLightMask, 1}},
        {"DecalShape", K::kDecalShape, 3, K::kProjection, kNone},
    };
    return rows;
}

inline const char* KindName(uint32_t kind) {
    static const char* const kNames[4] = {"Simple", "Shape", "Model", "Projection"};
    return kind < 4 ? kNames[kind] : "NoBody";
}

inline void Apply(FulgorCore::ShaderKey& key, const KeyFieldValue& f) {
    if (f.field.width)
        key.Set(f.field, f.value);
}

// Every field of the rows at its largest value, the two lights as given.
inline FulgorCore::ShaderKey AllOn(uint32_t kind, bool scene, bool vfx) {
    FulgorCore::ShaderKey key = KeyOf(kind);
    for (const FieldRow& row : FieldRows())
        if (row.kinds & (1u << kind))
            key.Set(row.field, row.top);
    // Set indices and masks that differ, so each layer samples twice and
    // the sets mix vertex and screen sources.
    key.Set(K::kUvSourceMask, 0x15);
    key.Set(K::kColor1RgbUvSet, 1);
    key.Set(K::kColor2RgbUvSet, 3);
    key.Set(K::kDistortion1UvSet, 2);
    key.Set(K::kDistortion2UvSet, 4);
    key.Set(K::kSceneLight, scene);
    key.Set(K::kVfxLight, vfx);
    key.Set(K::kMorphTarget, 0); // the morph has a key of its own
    return key;
}

} // namespace shader_key_corpus

// The corpus, without the keys of the game's effect files (the tests add
// those from a load through a recording device).
inline std::vector<NamedKey> ShaderKeyCorpus() {
    using namespace shader_key_corpus;
    std::vector<NamedKey> out;
    for (uint32_t kind = 0; kind < 4; ++kind) {
        out.push_back({std::string(KindName(kind)) + "_Zero", KeyOf(kind)});
        for (const FieldRow& row : FieldRows()) {
            if (!(row.kinds & (1u << kind)))
                continue;
            FulgorCore::ShaderKey key = KeyOf(kind);
            for (const KeyFieldValue& need : row.needs)
                Apply(key, need);
            key.Set(row.field, row.top);
            out.push_back({std::string(KindName(kind)) + "_" + row.name, key});
        }
        if (kind != K::kSimple)
            for (uint32_t count = 0; count <= 6; ++count)
                out.push_back({std::string(KindName(kind)) + "_UvSets" + std::to_string(count),
                               KeyOf(kind, {{K::kUvSetCount, count},
                                            {K::kColor1Enable, 1},
                                            {K::kColor1AlphaUvSet, count ? count - 1 : 0}})});
        for (uint32_t lights = 0; lights < 4; ++lights)
            out.push_back({std::string(KindName(kind)) + "_AllOnLights" + std::to_string(lights),
                           AllOn(kind, lights & 1u, lights & 2u)});
    }
    for (const TableRow& row : TableRows())
        for (uint32_t value = 0; value < row.values; ++value) {
            FulgorCore::ShaderKey key = KeyOf(row.kind);
            Apply(key, row.needs);
            key.Set(row.field, value);
            out.push_back(
                {std::string(KindName(row.kind)) + "_" + row.name + "Value" + std::to_string(value),
                 key});
        }
    FulgorCore::ShaderKey morph = AllOn(K::kModel, true, true);
    morph.Set(K::kMorphTarget, 1);
    out.push_back({"Model_AllOnMorph", morph});
    return out;
}

} // namespace testsupport
