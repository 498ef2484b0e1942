#include "sys/shader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kPixelShader[] = R"(
cbuffer CB_Material : register(b2) { float4 g_Tint; float4x4 g_M; float4 g_Rows[2]; float4 g_After; };
cbuffer CB_Extra : register(b0) { float4 g_Add; };
Texture2D g_Base : register(t0);
Texture2D g_Mask : register(t3);
SamplerState g_Linear : register(s0);
SamplerState g_Point : register(s1);
struct PSIn { float4 pos : SV_Position; float2 uv : TEXCOORD1; float4 col : COLOR0; };
float4 main(PSIn i) : SV_Target0 {
    return g_Base.Sample(g_Linear, i.uv) * g_Mask.Sample(g_Point, i.uv) * i.col * g_Tint + g_Add;
}
)";

const char kVertexShader[] = R"(
cbuffer CB_VS_0 : register(b0) { float4 g_Scale; };
struct VSIn { float2 pos : POSITION; float2 uv : TEXCOORD1; float4 col : COLOR0; };
struct VSOut { float4 pos : SV_Position; float4 col : COLOR0; float2 uv : TEXCOORD1; };
VSOut main(VSIn i) {
    VSOut o;
    o.pos = float4(i.pos * g_Scale.xy, 0, 1);
    o.uv = i.uv;
    o.col = i.col;
    return o;
}
)";

using NamedSlots = std::vector<std::pair<std::string, uint32_t>>;
template <class T> NamedSlots Slots(const std::vector<T>& resources) {
    NamedSlots out;
    for (const T& r : resources)
        out.emplace_back(r.name, r.slot);
    return out;
}

bool Compile(const char* source, sys::ShaderStage stage, std::vector<uint32_t>& spirv,
             std::string& log) {
    return sys::CompileHlslToSpirv(source, std::strlen(source), stage, "main", spirv, log);
}

TEST(Shader, ReflectsResourcesByNameWithTheirRegisters) {
    std::vector<uint32_t> spirv;
    std::string log;
    ASSERT_TRUE(Compile(kPixelShader, sys::ShaderStage::Pixel, spirv, log)) << log;
    sys::ShaderReflection r;
    ASSERT_TRUE(sys::ReflectSpirv(spirv.data(), spirv.size() * 4, r, log)) << log;
    EXPECT_EQ(r.stage, sys::ShaderStage::Pixel);
    EXPECT_EQ(Slots(r.constantBuffers), (NamedSlots{{"CB_Extra", 0}, {"CB_Material", 2}}));
    EXPECT_EQ(Slots(r.textures), (NamedSlots{{"g_Base", 0}, {"g_Mask", 3}}));
    EXPECT_EQ(Slots(r.samplers), (NamedSlots{{"g_Linear", 0}, {"g_Point", 1}}));
    // Every member of a buffer, used or not, at its packed offset.
    std::vector<std::string> constants;
    for (const sys::ShaderConstant& c : r.constants)
        constants.push_back(c.buffer + "." + c.name + "@" + std::to_string(c.offset));
    const std::vector<std::string> expected = {"CB_Material.g_Tint@0", "CB_Material.g_M@16",
                                               "CB_Material.g_Rows@80", "CB_Material.g_After@112",
                                               "CB_Extra.g_Add@0"};
    EXPECT_THAT(constants, testing::UnorderedElementsAreArray(expected));
}

TEST(Shader, GlslHasStageBindingsCombinedSamplersAndSemanticLocations) {
    std::vector<uint32_t> spirv;
    std::string log, glsl;
    ASSERT_TRUE(Compile(kPixelShader, sys::ShaderStage::Pixel, spirv, log)) << log;
    sys::ShaderReflection r;
    ASSERT_TRUE(sys::TranslateSpirvToGlsl(spirv.data(), spirv.size() * 4, glsl, r, log)) << log;
    EXPECT_NE(glsl.find("#version 450"), std::string::npos);
    // Pixel-stage registers land in the pixel range of the GL bindings, so b0
    // of the pixel shader never meets b0 of the vertex shader.
    EXPECT_NE(glsl.find("binding = 18, std140) uniform CB_Material"), std::string::npos) << glsl;
    EXPECT_NE(glsl.find("binding = 16, std140) uniform CB_Extra"), std::string::npos) << glsl;
    ASSERT_EQ(r.combined.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(r.combined[i].unit, 16u + i); // t0 with s0, then t3 with s1
        EXPECT_EQ(r.combined[i].textureSlot, i * 3);
        EXPECT_EQ(r.combined[i].samplerSlot, i);
    }
    const int uv = sys::SemanticLocation("TEXCOORD", 1);
    const int col = sys::SemanticLocation("COLOR", 0);
    EXPECT_NE(glsl.find("layout(location = " + std::to_string(uv) + ") in vec2"), std::string::npos)
        << glsl;
    EXPECT_NE(glsl.find("layout(location = " + std::to_string(col) + ") in vec4"),
              std::string::npos);
    EXPECT_NE(glsl.find("layout(location = 0) out vec4"), std::string::npos);
}

TEST(Shader, VertexOutputsMeetPixelInputsBySemanticWhateverTheirOrder) {
    std::vector<uint32_t> spirv;
    std::string log, glsl;
    ASSERT_TRUE(Compile(kVertexShader, sys::ShaderStage::Vertex, spirv, log)) << log;
    sys::ShaderReflection r;
    ASSERT_TRUE(sys::TranslateSpirvToGlsl(spirv.data(), spirv.size() * 4, glsl, r, log)) << log;
    EXPECT_EQ(r.stage, sys::ShaderStage::Vertex);
    const std::string pos = std::to_string(sys::SemanticLocation("POSITION", 0));
    const std::string uv = std::to_string(sys::SemanticLocation("TEXCOORD", 1));
    const std::string col = std::to_string(sys::SemanticLocation("COLOR", 0));
    EXPECT_NE(glsl.find("layout(location = " + pos + ") in vec2"), std::string::npos) << glsl;
    EXPECT_NE(glsl.find("layout(location = " + uv + ") out vec2"), std::string::npos) << glsl;
    EXPECT_NE(glsl.find("layout(location = " + col + ") out vec4"), std::string::npos) << glsl;
    EXPECT_NE(glsl.find("binding = 0, std140) uniform CB_VS_0"), std::string::npos) << glsl;
    EXPECT_NE(glsl.find("gl_PerVertex"), std::string::npos); // separable program
    ASSERT_EQ(r.inputs.size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        const char* semantic = i ? "TEXCOORD" : "POSITION";
        EXPECT_EQ(r.inputs[i].semantic, semantic);
        EXPECT_EQ(r.inputs[i].semanticIndex, i);
        EXPECT_EQ(r.inputs[i].location, static_cast<uint32_t>(sys::SemanticLocation(semantic, i)));
    }
}

TEST(Shader, SemanticTableIsCaseBlindAndBounded) {
    EXPECT_EQ(sys::SemanticLocation("POSITION", 0), 0);
    EXPECT_EQ(sys::SemanticLocation("texcoord3"), sys::SemanticLocation("TEXCOORD", 3));
    EXPECT_EQ(sys::SemanticLocation("TEXTURE1"), sys::SemanticLocation("TEXCOORD", 1));
    EXPECT_EQ(sys::SemanticLocation("COLOR"), sys::SemanticLocation("COLOR", 0));
    EXPECT_EQ(sys::SemanticLocation("COLOR", 4), -1);
    EXPECT_EQ(sys::SemanticLocation("WHATEVER", 0), -1);
    EXPECT_EQ(sys::SemanticLocation(nullptr), -1);
    EXPECT_EQ(sys::SemanticLocation("TEXCOORD123456789"), -1);
    for (int i = 0; i < 8; ++i)
        EXPECT_LT(sys::SemanticLocation("TEXCOORD", i), 32);
}

// The vertex inputs of the effects' materials, morph targets included, each
// get a location of their own within the 16 attributes GL guarantees.
TEST(Shader, EffectInputsHaveDistinctLocationsBelowSixteen) {
    const char* const semantics[] = {"POSITION0", "POSITION1", "NORMAL0",  "NORMAL1",   "TANGENT0",
                                     "TANGENT1",  "COLOR0",    "COLOR1",   "TEXCOORD0", "TEXCOORD1",
                                     "TEXCOORD2", "TEXCOORD3", "TEXCOORD4"};
    std::vector<int> seen;
    for (const char* s : semantics) {
        const int location = sys::SemanticLocation(s);
        EXPECT_GE(location, 0) << s;
        EXPECT_LT(location, 16) << s;
        for (int other : seen)
            EXPECT_NE(location, other) << s;
        seen.push_back(location);
    }
    EXPECT_EQ(sys::SemanticLocation("NORMAL", 2), -1);
    EXPECT_EQ(sys::SemanticLocation("TANGENT", 2), -1);
}

TEST(Shader, CompileErrorsComeBackAsText) {
    std::vector<uint32_t> spirv;
    std::string log;
    const char broken[] = "float4 main() : SV_Target0 { return undeclared_thing; }";
    EXPECT_FALSE(Compile(broken, sys::ShaderStage::Pixel, spirv, log));
    EXPECT_TRUE(spirv.empty());
    EXPECT_NE(log.find("undeclared_thing"), std::string::npos) << log;

    EXPECT_FALSE(sys::CompileHlslToSpirv(kPixelShader, std::strlen(kPixelShader),
                                         sys::ShaderStage::Pixel, "no_such_entry", spirv, log));
    EXPECT_FALSE(log.empty());
    EXPECT_FALSE(sys::CompileHlslToSpirv(nullptr, 10, sys::ShaderStage::Pixel, "main", spirv, log));
}

TEST(Shader, UnknownSemanticIsReportedNotGuessed) {
    const char odd[] = "struct I { float4 p : SV_Position; float4 x : MYSTERY0; };"
                       "float4 main(I i) : SV_Target0 { return i.x; }";
    std::vector<uint32_t> spirv;
    std::string log, glsl;
    ASSERT_TRUE(Compile(odd, sys::ShaderStage::Pixel, spirv, log)) << log;
    sys::ShaderReflection r;
    EXPECT_FALSE(sys::TranslateSpirvToGlsl(spirv.data(), spirv.size() * 4, glsl, r, log));
    EXPECT_NE(log.find("MYSTERY"), std::string::npos) << log;
}

TEST(Shader, GarbageCodeIsRefused) {
    sys::ShaderReflection r;
    std::string log, glsl;
    const uint32_t junk[8] = {0x07230203, 0x00010000, 0, 100, 0, 0xFFFFFFFF, 0x12345678, 3};
    EXPECT_FALSE(sys::ReflectSpirv(junk, sizeof junk, r, log));
    EXPECT_FALSE(log.empty());
    EXPECT_FALSE(sys::TranslateSpirvToGlsl(junk, 7, glsl, r, log)); // not whole words
    EXPECT_FALSE(sys::TranslateSpirvToGlsl(nullptr, 0, glsl, r, log));
    const uint32_t notSpirv[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(sys::TranslateSpirvToGlsl(notSpirv, sizeof notSpirv, glsl, r, log));
}

} // namespace
