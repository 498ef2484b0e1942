#pragma once

#include "effects/Core/Interface/ShaderKey.h"
#include "effects/render/ShaderTextWriter.h"

#include <cstdint>

namespace FulgorCore {

struct ShaderSourceBuffer;

// Writes one HLSL program for a key in one profile: 0 numbered registers,
// sampler2D and tex2D, VPOS (shader model 3 style); 1 and 2 one constant
// buffer per stage, texture objects with their samplers, SV_Position
// (shader model 4). The frame of each program (declarations, structures,
// main) is in HlslProgramWriter.cpp, the pixel functions main calls in
// HlslPixelFunctions.cpp. The key must describe a program
// (ShaderSourceGenerator::DescribesProgram).
class HlslProgramWriter : ShaderTextWriter {
public:
    HlslProgramWriter(uint32_t profile, const ShaderKey& key, ShaderSourceBuffer& out)
        : ShaderTextWriter(profile, key, out) {}

    void WriteVertexProgram();
    void WritePixelProgram();

private:
    bool Registers() const { return profile_ == 0; }

    // Shared declarations.
    void WriteConstants(bool pixel);
    void WriteStages(const char* flat, const char* cube, char reg);
    void WritePixelDeclarations();
    void WriteUvSetMembers(const char* type, uint32_t firstTexCoord);
    // Vertex programs by kind.
    void WriteSimpleVertex();
    void WriteShapeVertex();
    void WriteModelVertex();
    void WriteProjectionVertex();
    void WriteUvSetOutputs();
    // Pixel frame.
    void WritePixelInput();
    void WritePixelMainOpening();
    void WriteSourceArguments(const char* last);
    void WriteSimplePixelMain();
    void WriteShapePixelMain();
    void WriteModelPixelMain();
    void WriteProjectionPixelMain();
    void WriteLayerCalls(const char* paletteOffset);

    // Pixel functions (HlslPixelFunctions.cpp).
    void WriteTexCoordDistortion(uint32_t layer);
    void WriteColorLayer(uint32_t layer);
    void WriteSampling(const char* sampler, uint32_t rgbSet, uint32_t alphaSet);
    void WritePalette();
    void WriteReflection();
    void WriteSoftParticle();
    void WriteAlphaLight();
    void WriteFinalColor();
    void WriteShapeTexCoord();
    void WriteModelTexCoord();
    void WriteNormalVector();
    void WriteFalloff();
    void WriteLightingGroup();
    void WritePointLight(uint32_t light);
};

} // namespace FulgorCore
