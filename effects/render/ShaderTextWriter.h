#pragma once

#include "effects/Core/Interface/ShaderKey.h"
#include "effects/render/ShaderSourceGenerator.h"

#include <cstdint>

namespace FulgorCore {

struct ShaderSourceBuffer;

// What every language's program writer shares: the key it reads, the
// buffer it appends to through the generator's bounded append, and its
// profile within the language.
class ShaderTextWriter {
protected:
    ShaderTextWriter(uint32_t profile, const ShaderKey& key, ShaderSourceBuffer& out)
        : profile_(profile), key_(key), out_(out) {}

    void Put(const char* text) { ShaderSourceGenerator::Append(&out_, text); }
    // A number in decimal (set indices, array rows and sizes).
    void PutNumber(uint32_t value) { ShaderSourceGenerator::AppendNumber(&out_, value); }
    uint32_t Get(ShaderKey::Field field) const { return key_.Get(field); }

    // Text both languages share but for their type names and sources.
    // The source of texture-coordinate set `set` (0-5): the set's pair of
    // the attributes (`prefix`, the attribute's name, .xy or .zw), the last
    // pair for the sets past the count, and `zero` when there are no sets.
    void PutSourcePair(uint32_t set, const char* prefix, const char* zero);
    // Each texture-coordinate attribute copied, scaled from integers times
    // 1000: `to` and `from` prefix the attribute's name.
    void WriteUvSetCopies(const char* to, const char* from);
    // The model texture coordinates: set k from its source (`source`
    // followed by k) or from the screen, through its two rows of
    // g_PS_UvTransform; a screen set about the object's screen position.
    // The sets past the count take the last source untransformed; no sets
    // give `zero`. `vec4` is the language's four-component type.
    void WriteModelTexCoordSets(const char* vec4, const char* source, const char* zero);
    // A colour layer's sample remapped by its channel line (from the
    // language's `channelLines`) and scaled, then set as the colour (the
    // first layer) or combined with it.
    void WriteLayerCombine(uint32_t layer, const char* const* channelLines);
    // A distortion layer's offset taken from the sets of its target mask.
    void WriteDistortionTargets(ShaderKey::Field targets);
    // A square decal's sets moved from -0.5..+0.5 to 0..1.
    void WriteSquareDecalShift();
    // A disc or ring decal's coordinate from its Radius and Radian: x
    // across the shape, y around it.
    void WritePolarDecalCoordinate();
    // Every vertex program but the decal's: a per-vertex offset scaled by
    // the clip w, the depth never below 0.
    void WriteDepthBias();
    // A lit billboard's colour: the ambient LightColor plus the lights the
    // key names, half-Lambert from the billboard's Normal.
    void WriteBillboardLights();

    uint32_t profile_;
    const ShaderKey& key_;
    ShaderSourceBuffer& out_;
};

} // namespace FulgorCore
