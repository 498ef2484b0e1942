// The runtime's generated HLSL for a corpus of keys (and every key the
// game's effect files compose): both programs compile, translate to GLSL
// and name their resources where the device binds them, and on the GL
// backend the device makes each pair and draws with it.
#include "support/effects/GameEffectKeys.h"
#include "support/effects/ShaderKeyCorpus.h"
#include "support/vfx/EffectVertices.h"
#include "support/vfx/VfxDeviceRig.h"

#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "effects/render/ShaderSourceGenerator.h"
#include "game/vfx/IndexBuffer.h"
#include "game/vfx/ShaderSource.h"
#include "game/vfx/VertexBuffer.h"
#include "sys/shader.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using FulgorCore::ShaderKey;
using FulgorCore::ShaderSourceBuffer;
using FulgorCore::ShaderSourceGenerator;
using K = FulgorCore::ShaderKey;
using testsupport::NamedKey;

const std::vector<NamedKey>& Corpus() {
    return testsupport::ShaderKeyCorpusWithGameKeys();
}

using Program = testsupport::ShaderProgram;
constexpr Program kVertex = Program::kVertex;
constexpr Program kPixel = Program::kPixel;

std::string Generate(Program program, uint32_t target, const ShaderKey& key) {
    return testsupport::GeneratedText(program, target, key);
}

// The texture stages a key's pixel program samples, by the stated rules.
std::vector<uint32_t> UsedStages(const ShaderKey& key) {
    const uint32_t kind = key.GetKind();
    const bool layered = kind != K::kSimple;
    std::vector<uint32_t> stages;
    auto use = [&](bool on, uint32_t stage) {
        if (on)
            stages.push_back(stage);
    };
    use(key.Get(K::kColor1Enable), 0);
    use(layered && key.Get(K::kColor2Enable), 1);
    use(layered && key.Get(K::kColor3Enable), 2);
    use(layered && key.Get(K::kDistortion1Enable), 3);
    use((kind == K::kModel || kind == K::kProjection) && key.Get(K::kDistortion2Enable), 4);
    use(layered && key.Get(K::kPaletteEnable) && key.Get(K::kPaletteChannelMask), 5);
    use(kind == K::kModel && key.Get(K::kNormalMapEnable), 6);
    use(kind == K::kModel && key.Get(K::kReflectionEnable), 7);
    use(kind == K::kProjection || key.Get(K::kSoftParticle), 8);
    return stages;
}

constexpr const char* kStageNames[9] = {"Color1",      "Color2",      "Color3",
                                        "Distortion1", "Distortion2", "Palette",
                                        "Normal",      "Reflection",  "Depth"};

// Registers of the constants, as the device writes them (16 bytes each).
const std::map<std::string, uint32_t> kVertexRegisters = {
    {"g_VS_BillboardMatrix", 0},      {"g_VS_WorldMatrix", 4},
    {"g_VS_ViewProjectionMatrix", 8}, {"g_VS_BillboardParameter", 12},
    {"g_VS_RootColor", 13},           {"g_VS_BaseColor", 14},
    {"g_VS_Parameters", 15},          {"g_VS_SceneAmbientColor", 16},
    {"g_VS_SceneLightDirection", 17}, {"g_VS_SceneLightColor", 18},
    {"g_VS_VFXLightDirection", 19},   {"g_VS_VFXLightColor", 20},
};
const std::map<std::string, uint32_t> kPixelRegisters = {
    {"g_PS_InverseViewProjectionMatrix", 0},
    {"g_PS_WorldInverseMatrix", 4},
    {"g_PS_AlphaLightMatrix", 8},
    {"g_PS_AlphaLightParameter", 12},
    {"g_PS_EyePosition", 13},
    {"g_PS_ScreenParameter", 14},
    {"g_PS_Parameters", 15},
    {"g_PS_ScreenPosition", 17},
    {"g_PS_UvTransform", 18},
    {"g_PS_FalloffParameter", 30},
    {"g_PS_SpecularParameter", 34},
    {"g_PS_SceneAmbientColor", 35},
    {"g_PS_SceneLightDirection", 36},
    {"g_PS_SceneLightColor", 37},
    {"g_PS_VFXLightDirection", 38},
    {"g_PS_VFXLightColor", 39},
    {"g_PS_PointLightParameter", 40},
};

// Compiles, reflects and translates one program; false (with a failure)
// when any step fails.
bool CheckProgram(Program program, const ShaderKey& key, const std::string& text) {
    const sys::ShaderStage stage =
        program == kPixel ? sys::ShaderStage::Pixel : sys::ShaderStage::Vertex;
    std::vector<uint32_t> code;
    std::string log;
    if (!sys::CompileHlslToSpirv(text.c_str(), text.size(), stage, "main", code, log)) {
        ADD_FAILURE() << log << "\n" << text;
        return false;
    }
    std::string glsl;
    sys::ShaderReflection r;
    if (!sys::TranslateSpirvToGlsl(code.data(), code.size() * 4, glsl, r, log)) {
        ADD_FAILURE() << log;
        return false;
    }
    const char* buffer = program == kPixel ? "CBUFFER_PIXEL_SHADER" : "CBUFFER_VERTEX_SHADER";
    EXPECT_EQ(r.constantBuffers.size(), 1u);
    if (!r.constantBuffers.empty()) {
        EXPECT_EQ(r.constantBuffers[0].name, buffer);
        EXPECT_EQ(r.constantBuffers[0].slot, 0u);
    }
    const auto& registers = program == kPixel ? kPixelRegisters : kVertexRegisters;
    EXPECT_EQ(r.constants.size(), registers.size());
    for (const sys::ShaderConstant& c : r.constants) {
        const auto at = registers.find(c.name);
        if (at == registers.end())
            ADD_FAILURE() << "unknown constant " << c.name;
        else
            EXPECT_EQ(c.offset, 16 * at->second) << c.name;
    }
    if (program == kVertex)
        return true;
    // The pairs the code samples: each used stage's texture with its own
    // sampler, under the device's names.
    std::vector<uint32_t> sampled;
    for (const sys::ShaderCombinedSampler& pair : r.combined) {
        EXPECT_EQ(pair.samplerSlot, pair.textureSlot);
        sampled.push_back(pair.textureSlot);
    }
    std::sort(sampled.begin(), sampled.end());
    sampled.erase(std::unique(sampled.begin(), sampled.end()), sampled.end());
    EXPECT_EQ(sampled, UsedStages(key));
    for (uint32_t s : UsedStages(key)) {
        const std::string name = kStageNames[s];
        const auto texture = std::find_if(r.textures.begin(), r.textures.end(), [&](const auto& b) {
            return b.name == "g_Texture" + name;
        });
        const auto sampler = std::find_if(r.samplers.begin(), r.samplers.end(), [&](const auto& b) {
            return b.name == "g_Sampler" + name;
        });
        EXPECT_TRUE(texture != r.textures.end() && texture->slot == s) << name;
        EXPECT_TRUE(sampler != r.samplers.end() && sampler->slot == s) << name;
    }
    return true;
}

class GeneratedShaders : public testing::TestWithParam<NamedKey> {};

TEST_P(GeneratedShaders, CompileAndTranslate) {
    const ShaderKey& key = GetParam().key;
    ASSERT_TRUE(ShaderSourceGenerator::DescribesProgram(key));
    for (Program program : {kVertex, kPixel}) {
        const std::string text = Generate(program, 2, key);
        EXPECT_EQ(text, Generate(program, 1, key)) << "targets 1 and 2 differ";
        EXPECT_LT(text.size(), 14600u);
        CheckProgram(program, key, text);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, GeneratedShaders, testing::ValuesIn(Corpus()),
                         [](const testing::TestParamInfo<NamedKey>& i) { return i.param.name; });

// A GL device for each share of the corpus, showing the runtime's generated
// text: it makes every pair, and each draws a triangle without a GL error.
// The shares are cases of their own, so that they run side by side.
constexpr size_t kGlShares = 8;

class GeneratedShadersOnGl : public testsupport::VfxPixelTest,
                             public testing::WithParamInterface<size_t> {
protected:
    GeneratedShadersOnGl() { generatedShaders = true; }
    void SetUp() override {
        VfxPixelTest::SetUp();
        getError_ = reinterpret_cast<unsigned (*)()>(SDL_GL_GetProcAddress("glGetError"));
        ASSERT_TRUE(IsSkipped() || getError_);
    }
    // A triangle of the key's vertices (each begins with its position)
    // across the view; a morphing model reads its targets from stream 1.
    void DrawTriangle(FulgorCore::IShader* shader, const ShaderKey& key) {
        const uint32_t strides[K::kKindCount] = {
            sizeof(testsupport::SimpleVertex), sizeof(testsupport::ShapeVertex),
            sizeof(testsupport::ModelVertex), sizeof(testsupport::ProjectionVertex)};
        const uint32_t stride = strides[key.GetKind()];
        const float corners[3][2] = {{-1, -1}, {1, -1}, {0, 1}};
        uint8_t bytes[3 * sizeof(testsupport::ShapeVertex)] = {};
        for (uint32_t i = 0; i < 3; ++i) {
            const float position[3] = {corners[i][0], corners[i][1], 0.5f};
            std::memcpy(bytes + i * stride, position, sizeof position);
        }
        Begin(shader);
        device->SetVertexBuffer(1, key.HasMorphTarget() ? vertices : nullptr, 0,
                                sizeof(testsupport::ModelVertex));
        DrawVertices(bytes, 3, stride);
        const float clear[4] = {0, 0, 0, 1};
        rig.stack.Execute(clear);
    }
    unsigned (*getError_)() = nullptr;
};

TEST_P(GeneratedShadersOnGl, EveryPairIsMadeAndDraws) {
    const std::vector<NamedKey>& corpus = Corpus();
    for (size_t i = GetParam(); i < corpus.size(); i += kGlShares) {
        const NamedKey& k = corpus[i];
        testing::internal::CaptureStderr();
        FulgorCore::IShader* shader = nullptr;
        const bool made = device->CreateShader(&k.key, &shader);
        rig.Keep(shader);
        getError_(); // what came before is not this key's
        if (made)
            DrawTriangle(shader, k.key);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(made) << k.name << " " << printed;
        EXPECT_EQ(printed, "") << k.name;
        EXPECT_EQ(getError_(), 0u) << k.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Share, GeneratedShadersOnGl, testing::Range<size_t>(0, kGlShares));

// The corpus holds every key the game's effect files compose; the longest
// program is the pixel program of a model with everything on, and it stays
// well inside the buffer.
TEST(GeneratedShaderCorpus, HoldsTheGameKeysAndItsLongestProgramFits) {
    EXPECT_FALSE(testsupport::GameEffectShaderKeys().empty());
    size_t longest = 0;
    std::string longestName;
    for (const NamedKey& k : Corpus())
        for (Program program : {kVertex, kPixel}) {
            const size_t length = Generate(program, 2, k.key).size();
            if (length > longest) {
                longest = length;
                longestName = k.name + (program == kPixel ? " pixel" : " vertex");
            }
        }
    EXPECT_EQ(longestName.rfind("Model_AllOn", 0), 0u) << longestName;
    EXPECT_LT(longest, 14600u);
}

} // namespace
