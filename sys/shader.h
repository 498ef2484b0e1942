// Shader compiler and reflection: HLSL source to SPIR-V (glslang's HLSL front
// end), SPIR-V to GLSL 4.50 for the GL device (SPIRV-Cross), and the list of
// constant buffers, textures and samplers a shader declares with their
// registers. Errors come back as text; nothing here aborts on bad input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sys {

enum class ShaderStage : uint8_t { Vertex = 0, Pixel = 1 };

constexpr uint32_t kShaderNoSlot = 0xFFFFFFFFu;
// Registers per resource class and stage, as the device model has them.
constexpr uint32_t kShaderSlotsPerStage = 16;

// One declared resource: its name in the source and its register (b#, t#, s#).
struct ShaderBinding {
    std::string name;
    uint32_t slot = 0;
};

// A member of a constant buffer and its byte offset in the buffer.
struct ShaderConstant {
    std::string buffer;
    std::string name;
    uint32_t offset = 0;
};

// A GL texture unit of the translated code. GL samples through combined
// texture-sampler pairs, so each pair the code uses gets a unit of its own;
// the device binds texture register `textureSlot` and sampler register
// `samplerSlot` (kShaderNoSlot for fetches without a sampler) to `unit`.
struct ShaderCombinedSampler {
    uint32_t unit = 0;
    uint32_t textureSlot = 0;
    uint32_t samplerSlot = kShaderNoSlot;
};

// A vertex-shader input: the semantic it was declared with and the attribute
// location the translated code reads it from.
struct ShaderInput {
    std::string semantic; // without the index: "TEXCOORD"
    uint32_t semanticIndex = 0;
    uint32_t location = 0;
};

struct ShaderReflection {
    ShaderStage stage = ShaderStage::Vertex;
    // In register order within each class.
    std::vector<ShaderBinding> constantBuffers;
    std::vector<ShaderBinding> textures;
    std::vector<ShaderBinding> samplers;
    // The members of every constant buffer, in declaration order.
    std::vector<ShaderConstant> constants;
    // Filled by TranslateSpirvToGlsl only.
    std::vector<ShaderCombinedSampler> combined;
    std::vector<ShaderInput> inputs; // vertex stage
};

// GL binding points. Vertex and pixel programs share one GL context, whose
// uniform-buffer bindings and texture units are not per stage; each stage
// therefore gets its own range.
constexpr uint32_t ShaderUniformBinding(ShaderStage stage, uint32_t slot) {
    return static_cast<uint32_t>(stage) * kShaderSlotsPerStage + slot;
}
constexpr uint32_t ShaderTextureUnit(ShaderStage stage, uint32_t index) {
    return static_cast<uint32_t>(stage) * kShaderSlotsPerStage + index;
}

// The GL location of an attribute or varying with the HLSL semantic
// `name` + `index` ("TEXCOORD", 1). Vertex layouts and both shader stages use
// this one table, so attributes and varyings meet by semantic. -1 when the
// semantic has no location.
int SemanticLocation(const char* name, uint32_t index);
// Splits "TEXCOORD1" into ("TEXCOORD", 1) and looks it up.
int SemanticLocation(const char* semanticWithIndex);

// Compiles HLSL (shader model 4/5 syntax) for the stage with the entry point.
// On failure `log` holds the compiler's messages and `spirv` is empty.
bool CompileHlslToSpirv(const char* source, size_t length, ShaderStage stage, const char* entry,
                        std::vector<uint32_t>& spirv, std::string& log);

// Lists the constant buffers, textures and samplers of compiled code.
bool ReflectSpirv(const void* code, size_t bytes, ShaderReflection& out, std::string& log);

// GLSL 4.50 for a separable GL program: explicit locations (by semantic),
// uniform blocks at ShaderUniformBinding, combined samplers at
// ShaderTextureUnit. Also fills `out` including the combined samplers.
bool TranslateSpirvToGlsl(const void* code, size_t bytes, std::string& glsl, ShaderReflection& out,
                          std::string& log);

} // namespace sys
