#pragma once

#include <cstdint>

namespace FulgorCore::ShaderText {

// The lines a key's table fields stand for, in HLSL, indexed by the field's
// value. A generator reads them only for keys whose values are inside the
// tables (ShaderSourceGenerator::DescribesProgram).

// Channel remap after a colour layer's sample (0-10).
extern const char* const kHlslChannelLines[11];
// Colour scale of a layer (0-3).
extern const char* const kScaleLines[4];
// How a layer's rgb, or the reflection, combines with the colour so far
// (0-5; 5 does nothing). Shared by every language.
extern const char* const kColorOpLines[6];
// How a layer's alpha combines (0-3; 3 does nothing).
extern const char* const kAlphaOpLines[4];
// The colour of a model vertex by its vertex-colour mode (0-7).
extern const char* const kHlslVertexColorLines[8];

} // namespace FulgorCore::ShaderText
