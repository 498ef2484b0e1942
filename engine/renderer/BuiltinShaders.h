// Compiled code of the renderers' built-in shaders (SPIR-V words made from the
// HLSL files in renderer/shaders at build time).
#pragma once

#include <cstddef>
#include <cstdint>

namespace Mireku::Renderer::BuiltinShaders {

extern const uint32_t kSpriteVertexShader[];
extern const size_t kSpriteVertexShaderBytes;
extern const uint32_t kSpritePixelShader[];
extern const size_t kSpritePixelShaderBytes;
extern const uint32_t kTextPlainPixelShader[];
extern const size_t kTextPlainPixelShaderBytes;
extern const uint32_t kTextOutlinePixelShader[];
extern const size_t kTextOutlinePixelShaderBytes;

} // namespace Mireku::Renderer::BuiltinShaders
