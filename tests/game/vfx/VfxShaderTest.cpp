// The device's shader pairs on the null backend: the cache by key, the
// compile from installed text, and the input layouts of the four kinds.
#include "support/vfx/VfxDeviceRig.h"

#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/VertexLayout.h"
#include "game/vfx/Shader.h"
#include "game/vfx/ShaderObject.h"
#include "game/vfx/VfxDevice.h"
#include "sys/gpu/objects.h"
#include "sys/shader.h"

#include <string>
#include <vector>

namespace {

namespace G = Mireku::Graphics;
using FulgorCore::IShader;
using FulgorCore::ShaderKey;

class VfxShaderTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.Start(sys::gpu::Backend::Null, 64, 64)); }
    static ShaderKey Key(uint32_t word0) {
        ShaderKey key;
        key.words[0] = word0;
        return key;
    }
    Shader* Create(uint32_t word0, uint32_t word4 = 0) {
        return static_cast<Shader*>(rig.Shader(word0, word4));
    }
    // The program objects' element semantics as the device made them.
    static std::vector<std::string> LayoutSemantics(const Shader& shader) {
        std::vector<std::string> out;
        const auto* layout = shader.Get()->GetLayout()->GetLayout();
        for (const auto& e : layout->elements)
            out.push_back(e.semantic + std::to_string(e.element.semanticIndex) + "@" +
                          std::to_string(e.element.inputSlot));
        return out;
    }

    testsupport::VfxDeviceRig rig;
    testsupport::SampleShaders& shaders = rig.shaders;
};

TEST_F(VfxShaderTest, ASecondRequestForAKeyGetsTheSameShaderWithAReferenceOfItsOwn) {
    Shader* first = Create(ShaderKey::kShape, 7);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetRefCount(), 2u); // the caller's and the cache's
    Shader* second = Create(ShaderKey::kShape, 7);
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->GetRefCount(), 3u);
    EXPECT_EQ(shaders.VertexRequests(), 1);
    EXPECT_EQ(shaders.PixelRequests(), 1);
    // Any word of the key tells materials apart.
    Shader* other = Create(ShaderKey::kShape, 8);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(shaders.VertexRequests(), 2);
}

// Five or six texture-coordinate sets: all three attributes.
constexpr uint32_t kSixSets = 6u << 12;

TEST_F(VfxShaderTest, TheMorphBitGivesAPairWithItsOwnLayout) {
    Shader* plain = Create(ShaderKey::kModel | kSixSets);
    Shader* morph = Create(ShaderKey::kModel | kSixSets | ShaderKey::kMorphTargetBit);
    ASSERT_TRUE(plain && morph);
    EXPECT_NE(plain, morph);
    EXPECT_NE(plain->Get()->GetLayout(), morph->Get()->GetLayout());
    EXPECT_EQ(plain->Get()->GetLayout()->GetStreamMask(), 1u);
    EXPECT_EQ(morph->Get()->GetLayout()->GetStreamMask(), 3u);
    const std::vector<std::string> expected = {
        "POSITION0@0", "TANGENT0@0",  "NORMAL0@0",   "COLOR0@0",   "TEXCOORD0@0",
        "TEXCOORD1@0", "TEXCOORD2@0", "POSITION1@1", "TANGENT1@1", "NORMAL1@1", "COLOR1@1"};
    EXPECT_EQ(LayoutSemantics(*morph), expected);
    const auto* elements = &morph->Get()->GetLayout()->GetLayout()->elements;
    EXPECT_EQ((*elements)[8].element.alignedByteOffset, 16u); // tangent after the normal
    EXPECT_EQ((*elements)[9].element.alignedByteOffset, 12u);
    EXPECT_EQ((*elements)[10].element.alignedByteOffset, 20u); // the target's colour
}

// Every kind's layout matches its sample programs: the engine makes a device
// layout only when each element meets an input of the vertex program. The
// texture-coordinate attributes follow the key's set count, two sets each.
TEST_F(VfxShaderTest, AllFourLayoutsMatchTheirPrograms) {
    struct Case {
        uint32_t word0;
        std::vector<std::string> semantics;
        std::vector<uint32_t> offsets;
        std::vector<sys::gpu::Format> formats;
    };
    using F = sys::gpu::Format;
    const Case cases[] = {
        {ShaderKey::kSimple,
         {"POSITION0@0", "TEXCOORD0@0", "TEXCOORD1@0", "TEXCOORD2@0", "TEXCOORD3@0"},
         {0, 12, 24, 36, 40},
         {F::R32G32B32_FLOAT, F::R32G32B32_FLOAT, F::R32G32B32_FLOAT, F::R16G16_SNORM,
          F::R16G16B16A16_SINT}},
        {ShaderKey::kShape | kSixSets,
         {"POSITION0@0", "TEXCOORD0@0", "TEXCOORD1@0", "TEXCOORD2@0", "TEXCOORD3@0", "TEXCOORD4@0"},
         {0, 16, 24, 28, 36, 44},
         {F::R32G32B32A32_FLOAT, F::R16G16B16A16_SINT, F::R8G8B8A8_UNORM, F::R16G16B16A16_SINT,
          F::R16G16B16A16_SINT, F::R16G16B16A16_SINT}},
        {ShaderKey::kShape | 2u << 12,
         {"POSITION0@0", "TEXCOORD0@0", "TEXCOORD1@0", "TEXCOORD2@0"},
         {0, 16, 24, 28},
         {F::R32G32B32A32_FLOAT, F::R16G16B16A16_SINT, F::R8G8B8A8_UNORM, F::R16G16B16A16_SINT}},
        {ShaderKey::kModel, {"POSITION0@0", "TANGENT0@0", "NORMAL0@0", "COLOR0@0"}, {}, {}},
        {ShaderKey::kModel | kSixSets,
         {"POSITION0@0", "TANGENT0@0", "NORMAL0@0", "COLOR0@0", "TEXCOORD0@0", "TEXCOORD1@0",
          "TEXCOORD2@0"},
         {0, 12, 16, 20, 24, 32, 40},
         {F::R32G32B32_FLOAT, F::R8G8B8A8_UNORM, F::R8G8B8A8_UNORM, F::R8G8B8A8_UNORM,
          F::R16G16B16A16_SINT, F::R16G16B16A16_SINT, F::R16G16B16A16_SINT}},
        {ShaderKey::kProjection, {"POSITION0@0"}, {0}, {F::R32G32B32_FLOAT}},
    };
    for (const Case& c : cases) {
        Shader* shader = Create(c.word0);
        ASSERT_NE(shader, nullptr) << c.word0;
        ShaderObject* program = shader->Get();
        ASSERT_NE(program->GetLayout()->GetLayout(), nullptr) << c.word0;
        EXPECT_NE(program->GetVertexShader()->GetShader(), nullptr);
        EXPECT_NE(program->GetPixelShader()->GetShader(), nullptr);
        EXPECT_EQ(LayoutSemantics(*shader), c.semantics) << c.word0;
        const auto& elements = program->GetLayout()->GetLayout()->elements;
        for (size_t i = 0; i < elements.size() && i < c.offsets.size(); ++i) {
            EXPECT_EQ(elements[i].element.alignedByteOffset, c.offsets[i]) << c.word0 << " " << i;
            EXPECT_EQ(elements[i].element.format, c.formats[i]) << c.word0 << " " << i;
            EXPECT_EQ(elements[i].element.perInstance, 0u);
        }
    }
}

// The programs name their resources as the device binds them.
TEST_F(VfxShaderTest, ProgramsBindByTheDevicesNames) {
    Shader* shader = Create(ShaderKey::kSimple);
    ASSERT_NE(shader, nullptr);
    const G::ShaderBase& vs = *shader->Get()->GetVertexShader();
    const G::ShaderBase& ps = *shader->Get()->GetPixelShader();
    ASSERT_EQ(vs.GetConstantBuffers().size(), 1u);
    EXPECT_EQ(vs.GetConstantBuffers()[0].id, G::GetConstantBufferId("CBUFFER_VERTEX_SHADER"));
    ASSERT_EQ(ps.GetConstantBuffers().size(), 1u);
    EXPECT_EQ(ps.GetConstantBuffers()[0].id, G::GetConstantBufferId("CBUFFER_PIXEL_SHADER"));
    ASSERT_FALSE(ps.GetTextures().empty());
    EXPECT_EQ(ps.GetTextures()[0].id, G::GetTextureId("g_TextureColor1"));
    EXPECT_EQ(ps.GetSamplers()[0].id, G::GetSamplerId("g_SamplerColor1"));
}

// What the compiler says of the text the device is given for a program,
// once broken.
std::string CompilerLog(ShaderSource::Program program, const ShaderKey& key) {
    const std::string text = testsupport::SampleShaders::Text(program, key) + "this is not HLSL\n";
    std::vector<uint32_t> code;
    std::string log;
    EXPECT_FALSE(sys::CompileHlslToSpirv(text.c_str(), static_cast<uint32_t>(text.size()),
                                         program == ShaderSource::kPixel ? sys::ShaderStage::Pixel
                                                                         : sys::ShaderStage::Vertex,
                                         "main", code, log));
    EXPECT_FALSE(log.empty());
    return log;
}

TEST_F(VfxShaderTest, AFailedCompileIsCompiledAgainOnTheNextRequest) {
    // The program's name and the compiler's own text, printed once.
    const std::string vertexLog = CompilerLog(ShaderSource::kVertex, Key(ShaderKey::kProjection));
    shaders.BreakVertex(1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Create(ShaderKey::kProjection), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "VS_Projection: " + vertexLog + "\n");
    EXPECT_EQ(shaders.PixelRequests(), 0); // the pixel program is not tried
    Shader* shader = Create(ShaderKey::kProjection);
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(shaders.VertexRequests(), 2);
    EXPECT_EQ(shader->GetRefCount(), 2u);

    // The same for the pixel program; the vertex program made before it is
    // let go with the pair.
    const std::string pixelLog = CompilerLog(ShaderSource::kPixel, Key(ShaderKey::kShape));
    shaders.BreakPixel(1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Create(ShaderKey::kShape), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "PS_Shape: " + pixelLog + "\n");
    EXPECT_NE(Create(ShaderKey::kShape), nullptr);
    EXPECT_EQ(shaders.PixelRequests(), 3);
}

TEST_F(VfxShaderTest, AProgramItsLayoutDoesNotMatchMakesNoShader) {
    shaders.ReplaceInVertex("int4 Color:TEXCOORD3;", "int4 Color:TEXCOORD5;");
    testing::internal::CaptureStderr();
    EXPECT_EQ(Create(ShaderKey::kSimple), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // it compiled
    EXPECT_EQ(shaders.PixelRequests(), 0);
    shaders.ReplaceInVertex("", "");
    EXPECT_NE(Create(ShaderKey::kSimple), nullptr);
}

TEST_F(VfxShaderTest, KindsFourToSevenAreRefusedBeforeAnyWork) {
    struct Sentinel : IShader {
        uint32_t Release() override { return 1; }
        uint32_t AddRef() override { return 1; }
    } sentinel;
    for (uint32_t kind = 4; kind < 8; ++kind) {
        IShader* shader = &sentinel; // the refusal stores null
        const ShaderKey key = Key(kind);
        EXPECT_FALSE(rig.device->CreateShader(&key, &shader)) << kind;
        EXPECT_EQ(shader, nullptr);
    }
    EXPECT_EQ(shaders.VertexRequests(), 0);
    EXPECT_EQ(shaders.PixelRequests(), 0);
    EXPECT_FALSE(rig.device->CreateShader(nullptr, nullptr));
}

// Without installed text the device compiles what the runtime's generator
// writes: every kind makes its pair quietly. A key past the generator's
// tables gets no text, and its request fails as quietly.
TEST(VfxShaderDefault, TheGeneratorWritesEveryKindAndNothingForAKeyPastItsTables) {
    testing_graphics::GraphicsStack stack;
    ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 64, 64));
    VfxDevice* device = new VfxDevice();
    testing::internal::CaptureStderr();
    for (uint32_t kind = 0; kind < 5; ++kind) {
        ShaderKey key;
        key.words[0] = kind;
        key.words[1] = kind == 4 ? 0 : 11; // kind 4: channel 0, but no program
        for (uint32_t word1 : {0u, key.words[1]}) {
            key.words[1] = word1;
            IShader* shader = nullptr;
            const bool made = device->CreateShader(&key, &shader);
            EXPECT_EQ(made, kind < 4 && word1 == 0) << kind << " " << word1;
            EXPECT_EQ(shader != nullptr, made);
            if (shader)
                shader->Release();
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    device->Release();
    stack.Stop();
}

} // namespace
