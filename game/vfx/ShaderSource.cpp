#include "game/vfx/ShaderSource.h"

#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "effects/render/ShaderSourceGenerator.h"

namespace {

// HLSL for shader model 4, the runtime's target 2.
constexpr uint32_t kHlslModel4 = 2;

void WriteGenerated(ShaderSource::Program program, const FulgorCore::ShaderKey& key,
                    FulgorCore::ShaderSourceBuffer& out) {
    if (program == ShaderSource::kPixel)
        FulgorCore::ShaderSourceGenerator::GeneratePixelShader(kHlslModel4, &key, &out);
    else
        FulgorCore::ShaderSourceGenerator::GenerateVertexShader(kHlslModel4, &key, &out);
}

ShaderSource::Writer g_writer = WriteGenerated;

} // namespace

void ShaderSource::Write(Program program, const FulgorCore::ShaderKey& key,
                         FulgorCore::ShaderSourceBuffer& out) {
    g_writer(program, key, out);
}

void ShaderSource::Install(Writer writer) {
    g_writer = writer ? writer : WriteGenerated;
}
