// The HLSL source generator: the lines each key's programs must hold or
// lack, the targets without text, the refusal of keys past the tables and
// the bounded append.
#include "support/effects/ShaderKeyCorpus.h"

#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "effects/render/ShaderSourceGenerator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using FulgorCore::ShaderKey;
using FulgorCore::ShaderSourceBuffer;
using FulgorCore::ShaderSourceGenerator;
using K = FulgorCore::ShaderKey;
using testsupport::KeyOf;

using Program = testsupport::ShaderProgram;
constexpr Program kVertex = Program::kVertex;
constexpr Program kPixel = Program::kPixel;

std::string Generate(Program program, uint32_t target, const ShaderKey& key) {
    return testsupport::GeneratedText(program, target, key);
}

constexpr const char* kFirstLine = "float3 mul_normalmap(float3 l,float3x3 r){return mul(l,r);}\n";

struct TextCase {
    const char* name;
    uint32_t target;
    ShaderKey key;
    Program program;
    std::vector<std::string> holds;
    std::vector<std::string> lacks;
};

class GeneratedText : public testing::TestWithParam<TextCase> {};

TEST_P(GeneratedText, HoldsAndLacksItsLines) {
    const TextCase& c = GetParam();
    const std::string text = Generate(c.program, c.target, c.key);
    EXPECT_EQ(text.find('\0'), std::string::npos); // the length ends the text
    EXPECT_EQ(text.rfind(kFirstLine, 0), 0u) << text;
    for (const std::string& line : c.holds)
        EXPECT_NE(text.find(line), std::string::npos) << "missing:\n" << line << "\nin:\n" << text;
    for (const std::string& line : c.lacks)
        EXPECT_EQ(text.find(line), std::string::npos) << "unwanted:\n" << line << "\nin:\n" << text;
}

const std::string kSoftParticleEmpty =
    "void ApplySoftParticle(inout float4 Color,PixelShaderParameter Parameter,"
    "float3 WorldPosition)\n{\n}\n";
const std::string kAlphaLightEmpty =
    "void ApplyAlphaLight(inout float4 Color,PixelShaderParameter Parameter,"
    "float3 WorldPosition)\n{\n}\n";

const TextCase kTextCases[] = {
    {"ZeroKeyBillboardVertex",
     1,
     KeyOf(K::kSimple),
     kVertex,
     {"cbuffer CBUFFER_VERTEX_SHADER:register(b0)\n{\nfloat4x4 g_VS_BillboardMatrix;\n",
      "float4 g_VS_VFXLightColor;\n};\n", "int4 Color:TEXCOORD3;\n};\n",
      "float3 WorldPosition:TEXCOORD2;\nfloat4 OutputPosition:SV_Position;\n};\n",
      "BasePosition=mul(BasePosition,mRotA);\nBasePosition=mul(BasePosition,mRotB);\n"
      "BasePosition=mul(BasePosition,mRotC);\n"
      "BasePosition=mul((float3x3)g_VS_BillboardMatrix,BasePosition*0.5)+I.Position.xyz;\n",
      "float4 Color=I.Color*0.001*g_VS_RootColor;\nfloat PolygonOffset=I.Offset.z;\n{\n"
      "float Bias=max(0.0,WorldViewProjectionPosition.w)*PolygonOffset;\n"
      "WorldViewProjectionPosition.z=max(0.0,WorldViewProjectionPosition.z+Bias);\n}\n"},
     {"float3 LightColor", "g_VS_BillboardParameter.xy", "register(c"}},
    {"ZeroKeyBillboardPixelCallsOnlyTheCommonSteps",
     1,
     KeyOf(K::kSimple),
     kPixel,
     {"cbuffer CBUFFER_PIXEL_SHADER:register(b0)\n{\nfloat4x4 g_PS_InverseViewProjectionMatrix;\n",
      "float4 g_PS_PointLightParameter[8];\n};\n",
      "TextureCube g_TextureReflection:register(t7);\n",
      "SamplerState g_SamplerDepth:register(s8);\n", "float4 PixelPosition:SV_Position;\n};\n",
      kSoftParticleEmpty, kAlphaLightEmpty,
      "float4 GetFinalColor(float4 Color,float AlphaOffset,float AlphaThreshold)\n{\n"
      "Color.a=saturate(Color.a);\n\nreturn Color;\n}\n",
      "float4 Color=Input.Color;\nApplySoftParticle(Color, Parameter, Input.WorldPosition);\n"
      "ApplyAlphaLight(Color, Parameter, Input.WorldPosition);\n"
      "return GetFinalColor(Color, 0.0, 0.5/255.0);\n}\n"},
     {"SampleColor1(Input", "ApplyTextureProperty", "ApplyLight"}},
    {"LitBillboardAddsBothLights",
     1,
     KeyOf(K::kSimple, {{K::kLightingEnable, 1}, {K::kSceneLight, 1}, {K::kVfxLight, 1}}),
     kVertex,
     {"float3 LightColor=g_VS_SceneAmbientColor.rgb;\n"
      "LightColor+=((dot(-g_VS_SceneLightDirection.xyz,Normal)*0.5)+0.5)"
      "*g_VS_SceneLightColor.rgb;\n"
      "LightColor+=((dot(-g_VS_VFXLightDirection.xyz,Normal)*0.5)+0.5)*g_VS_VFXLightColor.rgb;\n"
      "Color.rgb*=LightColor.rgb;\n"},
     {}},
    {"LightingWithoutALightLightsNothing",
     1,
     KeyOf(K::kSimple, {{K::kLightingEnable, 1}}),
     kVertex,
     {},
     {"float3 LightColor"}},
    {"BillboardSamplesColor1WithChannelAndScale",
     2,
     KeyOf(K::kSimple, {{K::kColor1Enable, 1}, {K::kColor1Channel, 9}, {K::kColor1Scale, 3}}),
     kPixel,
     {"float4 SrcColor=SampleColor1(Input.TexCoord);\nSrcColor.a=1.0\n;SrcColor.rgb*=0.5;\n"
      "Color*=SrcColor;\n"},
     {}},
    {"ShapeWithThreeSetsDeclaresTwoAttributes",
     1,
     KeyOf(K::kShape, {{K::kUvSetCount, 3}}),
     kVertex,
     {"float4 Parameters:TEXCOORD1;\nint4 UvSet_1_2:TEXCOORD2;\nint4 UvSet_3_4:TEXCOORD3;\n};\n",
      "float3 WorldPosition:TEXCOORD2;\nfloat4 UvSet_1_2:TEXCOORD3;\nfloat4 UvSet_3_4:TEXCOORD4;\n"
      "float4 OutputPosition:SV_Position;\n",
      "O.UvSet_1_2=I.UvSet_1_2*0.001;\nO.UvSet_3_4=I.UvSet_3_4*0.001;\nreturn O;\n}\n"},
     {"UvSet_5_6"}},
    {"ShapeWithThreeSetsRepeatsTheThirdPair",
     1,
     KeyOf(K::kShape, {{K::kUvSetCount, 3}}),
     kPixel,
     {"float4 UvSet_3_4:TEXCOORD4;\nfloat4 PixelPosition:SV_Position;\n",
      "CreatePixelShaderParameterForShapeTexCoord(\nParameter,\nInput.UvSet_1_2.xy,\n"
      "Input.UvSet_1_2.zw,\nInput.UvSet_3_4.xy,\nInput.UvSet_3_4.xy,\nInput.UvSet_3_4.xy,\n"
      "Input.UvSet_3_4.xy,\nInput.Parameters.x);\n",
      "ApplyTextureProperty_Palette(Color,Parameter,Input.Parameters.y);\n"
      "ApplyTextureProperty_Color3(Color,Parameter);\n",
      "return GetFinalColor(Color*Input.Color,Input.Parameters.z,Input.Parameters.w);\n}\n"},
     {"UvSet_5_6"}},
    {"ShapeWithoutSetsGetsZeros",
     1,
     KeyOf(K::kShape),
     kPixel,
     {"Parameter,\nfloat2(0.0, 0.0),\nfloat2(0.0, 0.0),\nfloat2(0.0, 0.0),\nfloat2(0.0, 0.0),\n"
      "float2(0.0, 0.0),\nfloat2(0.0, 0.0),\nInput.Parameters.x);\n",
      "Parameter.TexCoord[5]=float2(0.0,0.0);\n"},
     {"UvSet"}},
    {"ADisabledLayerKeepsItsSignature",
     1,
     KeyOf(K::kShape),
     kPixel,
     {"void ApplyTextureProperty_Color1(out float4 Color,PixelShaderParameter Parameter)\n{\n"
      "Color=float4(1.0,1.0,1.0,1.0);\n}\n",
      "void ApplyTextureProperty_Color2(inout float4 Color,PixelShaderParameter Parameter)\n{\n}\n",
      "void ApplyTextureProperty_Palette(inout float4 Color,PixelShaderParameter Parameter,"
      "float Offset)\n{\n}\n",
      "void ApplyTexCoordDistortion1(inout PixelShaderParameter Parameter,"
      "float DistortionPower)\n{\n}\n"},
     {"SampleColor1(Tex"}},
    {"EqualSetsSampleOnceAndNeutralOpsChangeNothing",
     1,
     KeyOf(K::kShape, {{K::kColor2Enable, 1},
                       {K::kColor2RgbUvSet, 2},
                       {K::kColor2AlphaUvSet, 2},
                       {K::kColor2RgbOp, 5},
                       {K::kColor2AlphaOp, 3}}),
     kPixel,
     {"{\nfloat2 TexCoord=Parameter.TexCoord[2];\nfloat4 SrcColor=SampleColor2(TexCoord);\n"
      "\n\n\n\n}\n"},
     {"TexCoordRGB"}},
    {"UnequalSetsSampleTwice",
     1,
     KeyOf(K::kShape, {{K::kColor3Enable, 1},
                       {K::kColor3RgbUvSet, 1},
                       {K::kColor3AlphaUvSet, 4},
                       {K::kColor3RgbOp, 3},
                       {K::kColor3AlphaOp, 1},
                       {K::kColor3Channel, 5}}),
     kPixel,
     {"float2 TexCoordRGB=Parameter.TexCoord[1];\nfloat2 TexCoordA=Parameter.TexCoord[4];\n"
      "float4 SrcColor=float4(SampleColor3(TexCoordRGB).rgb,SampleColor3(TexCoordA).a);\n"
      "SrcColor=float4(1.0,1.0,1.0,SrcColor.r);\n\nColor.rgb=min(Color.rgb,SrcColor.rgb);\n"
      "Color.a=min(Color.a,SrcColor.a);\n}\n"},
     {}},
    {"ScreenSetReadsTheScreenCoordinate",
     1,
     KeyOf(K::kShape, {{K::kUvSetCount, 2}, {K::kUvSourceMask, 0x3D}}),
     kPixel,
     {"Parameter.TexCoord[0]=SourceTexCoord1;\nParameter.TexCoord[1]=Parameter.ScreenTexCoord;\n"
      "Parameter.TexCoord[2]=SourceTexCoord2;\nParameter.TexCoord[3]=SourceTexCoord2;\n"
      "Parameter.TexCoord[4]=SourceTexCoord2;\nParameter.TexCoord[5]=SourceTexCoord2;\n\n"
      "ApplyTexCoordDistortion1(Parameter,DistortionPower);\n}\n"},
     {}},
    {"DistortionWithTheBlueOfItsOwnSample",
     1,
     KeyOf(K::kShape, {{K::kDistortion1Enable, 1},
                       {K::kDistortion1UvSet, 3},
                       {K::kDistortion1BlueScale, 1},
                       {K::kDistortion1BlueUvSet, 3},
                       {K::kDistortion1TargetMask, 0x21}}),
     kPixel,
     {"{\n{\nfloat3 TexDistortion=SampleDistortion1(Parameter.TexCoord[3]).rgb;\n"
      "float2 Value=(TexDistortion.rg-128.0/255.0)*DistortionPower;\nValue*=TexDistortion.b;\n"
      "Parameter.TexCoord[0]-=Value;\nParameter.TexCoord[5]-=Value;\n}\n}\n"},
     {"TexDistortion.b=", "TexCoord[1]-=", "TexCoord[4]-="}},
    {"ModelSetsThroughTheirTransformRows",
     1,
     KeyOf(K::kModel, {{K::kUvSetCount, 6}, {K::kUvSourceMask, 0x1F}}),
     kPixel,
     {"Source=float4(SourceTexCoord5,0.0,1.0);\nParameter.TexCoord[4].x=dot(Source,"
      "g_PS_UvTransform[8]);\nParameter.TexCoord[4].y=dot(Source,g_PS_UvTransform[9]);\n"
      "Source=float4(Parameter.ScreenTexCoord,0.0,1.0);\nSource.xy-=g_PS_ScreenPosition.xy;\n"
      "Parameter.TexCoord[5].x=dot(Source,g_PS_UvTransform[10]);\n"
      "Parameter.TexCoord[5].y=dot(Source,g_PS_UvTransform[11]);\n"
      "Parameter.TexCoord[5]+=g_PS_ScreenPosition.xy;\nApplyTexCoordDistortion1(",
      "Input.UvSet_5_6.xy,\nInput.UvSet_5_6.zw);\n"},
     {}},
    {"ModelLightingCallsOnlyTheDirectionalLights",
     1,
     KeyOf(K::kModel, {{K::kLightingEnable, 1},
                       {K::kSceneLight, 1},
                       {K::kPointLightMask, 8},
                       {K::kPointLight4Mode, 3},
                       {K::kFalloffMode, 5}}),
     kPixel,
     {"void ApplyFalloff(inout float4 Color,PixelShaderParameter Parameter)\n{\n}\n",
      "return LightColor*saturate(dot(-LightDirection,Normal));\n",
      "Parameter.Normal,\nParameter.EyeVector,\nParameter.SpecularMask);\n}\n",
      // Mode 3 declares the light and adds nothing.
      "float ParameterAttenuation=g_PS_PointLightParameter[7].w;\n"
      "float3 Direction=ParameterPosition-WorldPosition;\nfloat Length=length(Direction);\n}\n",
      "{\nfloat3 LightColor=float3(0.0,0.0,0.0);\nApplyDirectionLight(LightColor,Parameter);\n"
      "Color.rgb=sqrt((Color.rgb*Color.rgb)*LightColor);\n}\n"},
     {"g_PS_VFXLightDirection.xyz,\n", "ApplyPointLight1(LightColor", "ApplyPointLight4(Light"}},
    {"MorphDeclaresTheColourTarget",
     1,
     KeyOf(K::kModel, {{K::kMorphTarget, 1}}),
     kVertex,
     {"float4 Color:COLOR0;\n", "float4 ColorTarget:COLOR1;\n",
      "float4 LColor=lerp(I.Color,I.ColorTarget,g_VS_Parameters.y);\n"},
     {"float4 Color:COLOR;\n"}},
    {"ModelVertexColourFromBlue",
     1,
     KeyOf(K::kModel, {{K::kVertexColorMode, 4}}),
     kVertex,
     {"float4 LColor=I.Color;\nLColor = float4(1.0,1.0,1.0,LColor.b);\nLTangent-=0.5;\n"},
     {"COLOR1"}},
    {"DiscDecal",
     1,
     KeyOf(K::kProjection, {{K::kDecalShape, 1}}),
     kPixel,
     {"LocalTexCoord.x=Radius*2.0;\n"
      "LocalTexCoord.y=Radian/3.1415926535897932384626433832795*0.5+0.5;\n",
      "Color.a*=min(0.1,0.5-abs(LocalPosition.y))*10.0;\nif(Radius>0.5)discard;\n"},
     {"+=0.5;", "ApplySoftParticle"}},
    {"SquareDecal",
     1,
     KeyOf(K::kProjection),
     kPixel,
     {"Parameter.TexCoord[5]+=0.5;\n",
      "if((-0.5>LocalPosition.x)||(LocalPosition.x>+0.5)||(-0.5>LocalPosition.z)||"
      "(LocalPosition.z>+0.5))discard;\n"},
     {"Radius"}},
    {"RegisterProfileVertex",
     0,
     KeyOf(K::kSimple),
     kVertex,
     {"float4x4 g_VS_BillboardMatrix:register(c0);\n", "float4 g_VS_VFXLightColor:register(c20);\n",
      "float4 Color:TEXCOORD3;\n",
      "struct VertexOut\n{\nfloat4 OutputPosition:POSITION;\nfloat4 Color:TEXCOORD0;\n",
      "WorldViewProjectionPosition.xy+=g_VS_BillboardParameter.xy;\n"},
     {"cbuffer", "int4", "SV_Position"}},
    {"RegisterProfilePixel",
     0,
     KeyOf(K::kShape, {{K::kColor1Enable, 1}}),
     kPixel,
     {"float4 g_PS_UvTransform[12]:register(c18);\n",
      "float4 g_PS_PointLightParameter[8]:register(c40);\n",
      "samplerCUBE g_SamplerReflection:register(s7);\n", "float4 PixelPosition:VPOS;\n",
      "{return tex2D(g_SamplerColor1,uv);}\n", "{return texCUBElod(g_SamplerReflection,",
      "(PixelPosition.xy+0.5)*g_PS_ScreenParameter.xy;\n"},
     {"Texture2D", "cbuffer", "SV_Position", ".Sample("}},
};

INSTANTIATE_TEST_SUITE_P(Keys, GeneratedText, testing::ValuesIn(kTextCases),
                         [](const testing::TestParamInfo<TextCase>& i) { return i.param.name; });

TEST(GeneratedTextTargets, KindsFourToSevenGetOnlyTheFirstLine) {
    for (uint32_t kind = 4; kind < 8; ++kind)
        for (uint32_t target = 0; target < 3; ++target)
            for (Program program : {kVertex, kPixel}) {
                const std::string text =
                    Generate(program, target, KeyOf(kind, {{K::kColor1Enable, 1}}));
                EXPECT_EQ(text, kFirstLine) << kind << " " << target;
                EXPECT_EQ(text.size(), 60u);
            }
}

// The flip fields are for GLSL: HLSL text is the same with and without.
TEST(GeneratedTextTargets, HlslIgnoresTheFlipFields) {
    for (uint32_t kind = 0; kind < 4; ++kind) {
        const ShaderKey plain = testsupport::shader_key_corpus::AllOn(kind, true, false);
        ShaderKey flipped = plain;
        for (K::Field flip : {K::kColor1FlipV, K::kColor2FlipV, K::kColor3FlipV})
            flipped.Set(flip, 1);
        for (Program program : {kVertex, kPixel})
            EXPECT_EQ(Generate(program, 1, flipped), Generate(program, 1, plain)) << kind;
    }
}

// Targets past the languages leave the buffer as it was; the GLSL targets
// write no text yet.
TEST(GeneratedTextTargets, OtherTargetsLeaveTheBufferOrWriteNothing) {
    auto buffer = std::make_unique<ShaderSourceBuffer>();
    const ShaderKey key = KeyOf(K::kShape);
    for (uint32_t target = 3; target < 8; ++target)
        for (Program program : {kVertex, kPixel}) {
            std::memset(buffer->text, 'x', sizeof buffer->text);
            buffer->length = 1234;
            if (program == kVertex)
                ShaderSourceGenerator::GenerateVertexShader(target, &key, buffer.get());
            else
                ShaderSourceGenerator::GeneratePixelShader(target, &key, buffer.get());
            if (target >= 5) {
                EXPECT_EQ(buffer->length, 1234u) << target;
                EXPECT_EQ(buffer->text[0], 'x');
                EXPECT_EQ(buffer->text[sizeof buffer->text - 1], 'x');
            } else {
                EXPECT_EQ(buffer->length, 0u) << target;
                EXPECT_EQ(buffer->text[0], '\0');
            }
        }
}

// Fault: the key's bit fields can hold values past the text tables (a
// channel of 11-15, an operation of 6-7, decal shape 3, set count 7), which
// would index past them. Such a key gets no text at all, in any profile.
TEST(GeneratedTextRefusal, AKeyPastTheTablesGetsEmptyText) {
    struct Case {
        K::Field field;
        uint32_t first, last;
    };
    const Case cases[] = {
        {K::kColor1Channel, 11, 15}, {K::kColor2Channel, 11, 15}, {K::kColor3Channel, 11, 15},
        {K::kColor2RgbOp, 6, 7},     {K::kColor3RgbOp, 6, 7},     {K::kReflectionOp, 6, 7},
        {K::kDecalShape, 3, 3},      {K::kUvSetCount, 7, 7},
    };
    for (const Case& c : cases)
        for (uint32_t value = c.first - 1; value <= c.last; ++value)
            for (uint32_t kind = 0; kind < 4; ++kind) {
                // All layers on, so every field is read.
                ShaderKey key = testsupport::shader_key_corpus::AllOn(kind, true, true);
                key.Set(c.field, value);
                const bool inTable = value == c.first - 1;
                EXPECT_EQ(ShaderSourceGenerator::DescribesProgram(key), inTable);
                for (uint32_t target = 0; target < 3; ++target)
                    for (Program program : {kVertex, kPixel}) {
                        const std::string text = Generate(program, target, key);
                        EXPECT_EQ(text.empty(), !inTable)
                            << "field at bit " << int(c.field.shift) << " value " << value
                            << " kind " << kind << " target " << target;
                    }
            }
}

// Fault guard: text that would not fit with its NUL is dropped and marks the
// buffer; the program then ends as empty text.
TEST(GeneratedTextAppend, TextPastTheCapacityEmptiesTheProgram) {
    auto buffer = std::make_unique<ShaderSourceBuffer>();
    constexpr uint32_t kCapacity = ShaderSourceBuffer::kCapacity;
    const std::string fill(kCapacity - 11, 'a');
    ShaderSourceGenerator::Begin(buffer.get());
    ASSERT_TRUE(ShaderSourceGenerator::Append(buffer.get(), fill.c_str()));
    // Ten chars and the NUL fill it exactly.
    EXPECT_TRUE(ShaderSourceGenerator::Append(buffer.get(), "0123456789"));
    EXPECT_EQ(buffer->length, kCapacity - 1);
    EXPECT_EQ(buffer->text[kCapacity - 1], '\0');
    EXPECT_EQ(buffer->text[kCapacity - 2], '9');
    ShaderSourceGenerator::End(buffer.get());
    EXPECT_EQ(buffer->length, kCapacity - 1);

    ShaderSourceGenerator::Begin(buffer.get());
    ASSERT_TRUE(ShaderSourceGenerator::Append(buffer.get(), fill.c_str()));
    EXPECT_FALSE(ShaderSourceGenerator::Append(buffer.get(), "01234567890"));
    EXPECT_EQ(buffer->text[kCapacity - 11], '\0'); // nothing of it written
    // Later text, even text that fits, is dropped too.
    EXPECT_FALSE(ShaderSourceGenerator::Append(buffer.get(), "x"));
    EXPECT_FALSE(ShaderSourceGenerator::AppendNumber(buffer.get(), 7));
    ShaderSourceGenerator::End(buffer.get());
    EXPECT_EQ(buffer->length, 0u);
    EXPECT_EQ(buffer->text[0], '\0');

    // Numbers in decimal.
    ShaderSourceGenerator::Begin(buffer.get());
    for (uint32_t v : {0u, 11u, 4294967295u})
        ShaderSourceGenerator::AppendNumber(buffer.get(), v);
    EXPECT_STREQ(buffer->text, "0114294967295");
}

} // namespace
