#pragma once

#include "effects/Core/Interface/ShaderKey.h"
#include "effects/render/ShaderTextWriter.h"

#include <cstdint>

namespace FulgorCore {

struct ShaderSourceBuffer;

// Writes one GLSL program for a key in one profile: 0 desktop GLSL 1.20
// (first line "#version 120"), 1 OpenGL ES GLSL 1.00 (first line the
// fragment precision); the rest of the text is the same in both. The same
// materials and shading as the HLSL programs, with float attributes and
// varyings, column products, and the pixel program as one main of inline
// blocks. The frame (declarations, vertex programs, each kind's pixel main)
// is in GlslProgramWriter.cpp, the blocks in GlslPixelBlocks.cpp. The key
// must describe a program (ShaderSourceGenerator::DescribesProgram).
class GlslProgramWriter : ShaderTextWriter {
public:
    GlslProgramWriter(uint32_t profile, const ShaderKey& key, ShaderSourceBuffer& out)
        : ShaderTextWriter(profile, key, out) {}

    void WriteVertexProgram();
    void WritePixelProgram();

private:
    // Shared declarations.
    void WriteUniforms(bool pixel);
    void WriteVaryings();
    void WriteUvSets(const char* declaration);
    // Vertex programs by kind.
    void WriteSimpleVertex();
    void WriteShapeVertex();
    void WriteModelVertex();
    void WriteProjectionVertex();
    void WriteUvSetOutputs();
    // Pixel main by kind.
    void WritePixelMainOpening();
    void WriteSimplePixel();
    void WriteShapePixel();
    void WriteModelPixel();
    void WriteProjectionPixel();
    void WriteLayers(const char* paletteOffset);
    void WriteTexCoordLocals(bool decal);

    // Inline blocks (GlslPixelBlocks.cpp).
    void WriteShapeTexCoord();
    void WriteModelTexCoord();
    void WriteDistortion(uint32_t layer, const char* power);
    void WriteNormal();
    void WriteColorLayer(uint32_t layer);
    void WritePalette(const char* offset);
    void WriteReflection();
    void WriteFalloff();
    void WriteLighting();
    void WriteSoftParticle();
    void WriteAlphaLight();
    void WriteFinalColor(const char* alphaOffset, const char* threshold);
};

} // namespace FulgorCore
