#pragma once

#include "effects/Core/Interface/ShaderKey.h"

#include <cstdint>

namespace FulgorCore::ShaderText {

// The facts every language's programs share: the constants and texture
// stages the device binds, and the lines a key's table fields stand for,
// indexed by the field's value. A generator reads the lines only for keys
// whose values are inside the tables (ShaderSourceGenerator::DescribesProgram).

// A constant: a 4x4 matrix or a four-component vector, an array when
// `count` is not 0, at its register (16-byte rows from the start of the
// stage's constants). Declared in this order in every language.
struct Constant {
    const char* name;
    bool matrix;
    uint32_t count;
    uint32_t reg;
};
extern const Constant kVertexConstants[12];
extern const Constant kPixelConstants[17];

// The texture stages in stage order: the stage number is the register of
// the texture and of its sampler. Only the reflection is a cube map.
struct Stage {
    const char* name; // after g_Texture / g_Sampler
    bool cube;
};
extern const Stage kStages[9];

// The four-component attributes that carry two texture-coordinate sets
// each, in order.
extern const char* const kUvSetNames[3];

// The fields of a colour layer (1-3); the first layer has no operations.
struct ColorLayerFields {
    const char* name;
    ShaderKey::Field enable, flipV, rgbSet, alphaSet, channel, scale, rgbOp, alphaOp;
};
extern const ColorLayerFields kColorLayers[3];

// The fields of a texture-coordinate distortion layer (1-2).
struct DistortionFields {
    const char* name;
    ShaderKey::Field enable, set, blueScale, blueSet, targets;
};
extern const DistortionFields kDistortions[2];

// The line that discards the pixels outside a decal's shape (square,
// disc, ring). Shared by every language.
extern const char* const kDecalClipLines[3];

// The physically based light term's distribution, Fresnel and visibility
// lines, from the clamped dot products EN, LN, EH and the roughness Alpha2:
// the Specular and Diffuse parts. Shared by every language.
extern const char* const kSpecularTerms;

// Channel remap after a colour layer's sample (0-10).
extern const char* const kHlslChannelLines[11];
extern const char* const kGlslChannelLines[11];
// Colour scale of a layer (0-3). Shared by every language.
extern const char* const kScaleLines[4];
// How a layer's rgb, or the reflection, combines with the colour so far
// (0-5; 5 does nothing). Shared by every language.
extern const char* const kColorOpLines[6];
// How a layer's alpha combines (0-3; 3 does nothing). Shared.
extern const char* const kAlphaOpLines[4];
// The colour of a model vertex by its vertex-colour mode (0-7).
extern const char* const kHlslVertexColorLines[8];
extern const char* const kGlslVertexColorLines[8];

} // namespace FulgorCore::ShaderText
